// A bare Win32 window of the sheet's size and colour with one Japanese static
// in the sheet's face: what any Japanese Win32 window costs, the yardstick of
// the Windows start-up benchmark (scripts/bench-startup-windows.sh).
#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = ::CreateSolidBrush(RGB(192, 220, 192));
    windowClass.lpszClassName = L"MiruneaYardstick";
    ::RegisterClassExW(&windowClass);
    const HWND window = ::CreateWindowExW(0, L"MiruneaYardstick", L"校内アンケート", WS_OVERLAPPEDWINDOW, 9, 10, 1006,
                                          727, nullptr, nullptr, instance, nullptr);
    const HWND label = ::CreateWindowExW(0, L"STATIC", L"このアンケートの説明", WS_CHILD | WS_VISIBLE, 16, 32, 117, 13,
                                         window, nullptr, instance, nullptr);
    const HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                     L"ＭＳ Ｐゴシック");
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
