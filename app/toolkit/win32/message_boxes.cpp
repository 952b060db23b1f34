#include "app/toolkit/win32/message_boxes.h"

namespace mirunea::win32 {

namespace {

HHOOK g_centringHook = nullptr;

// Moves the message box into the middle of the work area of its monitor as it
// is activated; the box itself would place itself over its owner.
LRESULT CALLBACK centreOnScreen(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        RECT place{};
        ::GetWindowRect(box, &place);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(box, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& area = monitor.rcWork;
        const LONG width = place.right - place.left;
        const LONG height = place.bottom - place.top;
        ::SetWindowPos(box, nullptr, area.left + (area.right - area.left - width) / 2,
                       area.top + (area.bottom - area.top - height) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::UnhookWindowsHookEx(g_centringHook);
        g_centringHook = nullptr;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void showModalBox(HWND owner, const std::wstring& caption, const std::wstring& text, BoxKind kind)
{
    UINT style = MB_OK | MB_SETFOREGROUND;
    if (kind == BoxKind::Error) {
        style |= MB_ICONSTOP;
    } else {
        g_centringHook = ::SetWindowsHookExW(WH_CBT, centreOnScreen, nullptr, ::GetCurrentThreadId());
    }
    // Before the window is first shown (the error box during its creation)
    // an owned box would have no task-bar button and no place in Alt+Tab:
    // it stands alone then, modal to every window of the program.
    if (!owner || !::IsWindowVisible(owner)) {
        owner = nullptr;
        style |= MB_TASKMODAL;
    }
    ::MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    if (g_centringHook) {
        ::UnhookWindowsHookEx(g_centringHook);
        g_centringHook = nullptr;
    }
}

} // namespace mirunea::win32
