#include "app/toolkit/win32/dpi.h"

#include "app/toolkit/window_rules.h"

namespace mirunea::win32 {

namespace {

// A function of user32 looked up at run time, so that the program still
// starts where it is missing. void (*)() converts to any function pointer.
template<class Function>
[[nodiscard]] Function user32Function(const char* name)
{
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const FARPROC found = user32 ? ::GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

} // namespace

int windowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window); dpi > 0)
            return static_cast<int>(dpi);
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : toolkit::rules::kDesignDpi;
}

int systemMetricForDpi(int index, int dpi)
{
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto getSystemMetricsForDpi = user32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    return ::GetSystemMetrics(index);
}

} // namespace mirunea::win32
