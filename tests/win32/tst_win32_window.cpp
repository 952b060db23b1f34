// The real Win32 window under Wine: which control Win32 itself finds on top
// where the grown labels run under the name edit and the send button.
#include "app/cp932.h"
#include "app/toolkit/win32/win32_application.h"
#include "app/toolkit/win32/win32_window.h"
#include "sheet/tform1.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <string>

using namespace mirunea;

namespace {

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

void pumpMessages()
{
    MSG message;
    for (int round = 0; round < 20; ++round) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    }
}

// The topmost visible control under a point of the frame's client area, as
// Win32 hit-tests it: down through the containers to a control.
HWND topmostAt(HWND frame, POINT point)
{
    HWND current = frame;
    for (;;) {
        const HWND child = ::ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == current)
            return current;
        ::MapWindowPoints(current, child, &point, 1);
        current = child;
    }
}

std::string sjisLine(const char* utf8)
{
    return cp932::fromUtf8(utf8) + "\r\n";
}

} // namespace

TEST_CASE("grown labels lie beneath the name edit and the send button")
{
    test::WorkingFolder folder;
    // A name prompt longer than the gap before the edit, a description that
    // reaches under the send button.
    test::writeFileBytes("data.txt",
                         sjisLine("校内アンケート") + sjisLine(std::string(150, 'd').c_str())
                             + sjisLine("あなたの氏名を入力してください") + sjisLine("[T]感想"));
    win32::Win32Application app;
    app.setTitle(cp932::fromUtf8("ミルネア"));
    TForm1 form(app);
    auto& window = static_cast<win32::Win32Window&>(form.window());
    window.show();
    pumpMessages();
    const HWND frame = window.frame();

    struct Probe
    {
        const char* what;
        POINT point; // in the frame's client area
        const wchar_t* expectedClass;
    };
    const Probe probes[] = {
        {"name edit over the prompt", {84, 66}, L"Edit"},
        {"name edit's middle", {180, 66}, L"Edit"},
        {"send button over the description", {806, 43}, L"Button"},
        {"prompt where nothing covers it", {30, 62}, L"Static"},
        {"description where nothing covers it", {400, 38}, L"Static"},
    };
    for (const Probe& probe : probes) {
        CAPTURE(probe.what);
        CHECK(classOf(topmostAt(frame, probe.point)) == probe.expectedClass);
    }
}
