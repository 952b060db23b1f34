// The real Win32 window on a 1280 x 1024 screen whose bottom 40 px a task
// bar keeps (the work area, _NET_WORKAREA on the X server), at the density
// Wine is set to (MIRUNEA_EXPECTED_DPI): the frame inside the work area,
// shrunk to it where the scaled frame is larger, the scroll bars there; a cut
// choice shows whole in a tooltip when the pointer rests on it; the send
// button reached by scrolling and pressed with the mouse; the answer file.
#include "app/text/cp932.h"
#include "app/toolkit/win32/win32_application.h"
#include "app/toolkit/win32/win32_controls.h"
#include "app/toolkit/win32/win32_window.h"
#include "app/toolkit/window_rules.h"
#include "real_window.h"
#include "sheet/form1_layout.h"
#include "sheet/tform1.h"
#include "tests/win32/utf8_text.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace mirunea;
using toolkit::rules::Rect;
using toolkit::rules::scaled;

namespace {

const Rect kWorkArea{0, 0, 1280, 984};
const char* const kName = "Taro";

std::string sjisLines(const std::vector<std::string>& utf8Lines)
{
    std::string bytes;
    for (const std::string& line : utf8Lines)
        bytes += cp932::fromUtf8(line) + "\r\n";
    return bytes;
}

// A cut choice in panel 1, a list to tick in panel 5, a text question in every other panel:
// the sheet's whole extent.
std::string longChoice()
{
    std::string text = "選";
    for (int i = 0; i < 39; ++i)
        text += "あ";
    return text;
}

std::vector<std::string> questionnaire()
{
    std::vector<std::string> lines{"校内アンケート", "説明", "氏名", "[R]好きな季節は？", "春", longChoice(), ""};
    for (int q = 2; q <= 10; ++q) {
        if (q == 5)
            lines.insert(lines.end(), {"[C]教科", "国語", "数学", ""});
        else
            lines.push_back("[T]質問" + std::to_string(q));
    }
    return lines;
}

std::vector<std::string> expectedAnswers()
{
    std::vector<std::string> lines{test::computerName(), kName, "[Q1R]", "0", "0"};
    for (int q = 2; q <= 10; ++q) {
        if (q == 5)
            lines.insert(lines.end(), {"[Q5C]", "0", "1"});
        else
            lines.insert(lines.end(), {"[Q" + std::to_string(q) + "T]", ""});
    }
    lines.push_back("[END]");
    return lines;
}

Rect screenRect(HWND window)
{
    RECT place{};
    ::GetWindowRect(window, &place);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

POINT centreOf(HWND window)
{
    const Rect place = screenRect(window);
    return {place.left + place.width / 2, place.top + place.height / 2};
}

// Real input, as the mouse gives it: the pointer moved to a point of the
// screen, then a left click there if asked.
void mouseTo(POINT screen, bool click)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(click ? 3 : 1);
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>((screen.x * 65535LL + width / 2) / width);
        input.mi.dy = static_cast<LONG>((screen.y * 65535LL + height / 2) / height);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    if (click) {
        inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    }
    REQUIRE(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size());
}

// A click on a scroll bar's track just inside its arrow at one end: a page
// that way. The bar's own tracking loop takes the press and the release.
void clickPage(HWND frame, LONG bar, bool towardsEnd)
{
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    REQUIRE(::GetScrollBarInfo(frame, bar, &info));
    const RECT& track = info.rcScrollBar;
    // The arrows are square: as long as the bar is thick.
    const bool horizontal = bar == OBJID_HSCROLL;
    const int inset = (horizontal ? track.bottom - track.top : track.right - track.left) + 2;
    const POINT at = horizontal
        ? POINT{towardsEnd ? track.right - inset : track.left + inset, (track.top + track.bottom) / 2}
        : POINT{(track.left + track.right) / 2, towardsEnd ? track.bottom - inset : track.top + inset};
    mouseTo(at, true);
}

// Runs the messages until the condition holds or about five seconds pass.
bool pumpUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        test::pumpMessages(1);
    }
    return true;
}

SCROLLINFO scrollInfo(HWND frame, int bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(frame, bar, &info);
    return info;
}

bool atEnd(HWND frame, int bar)
{
    const SCROLLINFO info = scrollInfo(frame, bar);
    return info.nPos + static_cast<int>(info.nPage) > info.nMax;
}

std::string toolTipText(HWND tips)
{
    std::wstring text(8192, L'\0');
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text.data();
    if (!::SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
        return {};
    text.resize(std::wcslen(text.c_str()));
    return test::utf8(text);
}

} // namespace

TEST_CASE("on a small screen the frame fits the work area, scrolls, shows cut texts, and sends by the mouse")
{
    const int dpi = test::expectedDpi();
    test::WorkingFolder folder;
    test::writeFileBytes("data.txt", sjisLines(questionnaire()));
    test::MessageBoxCloser closer;
    win32::Win32Application app;
    app.setTitle(cp932::fromUtf8("ミルネア"));
    // Left to the end of the process: without a window manager Wine waits
    // 2 s for each top-level window it unmaps.
    auto* form = new TForm1(app);
    auto& window = static_cast<win32::Win32Window&>(form->window());
    window.show();
    test::pumpMessages();
    REQUIRE(closer.seen().empty());
    const HWND frame = window.frame();
    REQUIRE(window.dpi() == dpi);

    // The task bar's part is no place for the frame.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    REQUIRE(::GetMonitorInfoW(::MonitorFromWindow(frame, MONITOR_DEFAULTTONEAREST), &monitor));
    CAPTURE(monitor.rcWork.left);
    CAPTURE(monitor.rcWork.top);
    CAPTURE(monitor.rcWork.right);
    CAPTURE(monitor.rcWork.bottom);
    REQUIRE(Rect{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right - monitor.rcWork.left,
                 monitor.rcWork.bottom - monitor.rcWork.top}
            == kWorkArea);
    const Rect outer = screenRect(frame);
    const Rect designed = scaled(Rect{9, 10, 1006, 727}, dpi);
    CAPTURE(outer);
    CHECK(kWorkArea.contains(outer));
    CHECK(outer == toolkit::rules::fitFrame(designed, kWorkArea));
    const bool fits = kWorkArea.contains(designed);
    CHECK((outer == designed) == fits);

    // The sheet's extent, scaled: both bars where the frame was shrunk.
    const SCROLLINFO horizontal = scrollInfo(frame, SB_HORZ);
    const SCROLLINFO vertical = scrollInfo(frame, SB_VERT);
    CHECK(horizontal.nMax + 1 == scaled(504, dpi) + scaled(481, dpi));
    CHECK(vertical.nMax + 1 == scaled(568, dpi) + scaled(113, dpi));
    const LONG style = ::GetWindowLongW(frame, GWL_STYLE);
    CHECK(((style & WS_HSCROLL) != 0) == !fits);
    CHECK(((style & WS_VSCROLL) != 0) == !fits);

    // The pointer resting on the cut choice: its whole text in the tooltip.
    const HWND tips = window.cutTextTips();
    REQUIRE(tips);
    mouseTo(centreOf(window.handleOf("Edit3")), false);
    const auto& radioGroup = dynamic_cast<win32::Win32RadioGroup&>(window.control<toolkit::RadioGroup>("RadioGroup1"));
    REQUIRE(radioGroup.items().size() == 2);
    const HWND cutItem = radioGroup.items()[1];
    mouseTo(centreOf(cutItem), false);
    CHECK(pumpUntil([&] { return ::IsWindowVisible(tips) != FALSE; }));
    CHECK(toolTipText(tips) == longChoice());
    mouseTo(centreOf(window.handleOf("Edit3")), false);
    CHECK(pumpUntil([&] { return !::IsWindowVisible(tips); }));

    // Typed into the name field, which has the focus.
    for (const char* c = kName; *c; ++c)
        ::PostMessageW(::GetFocus(), WM_CHAR, static_cast<WPARAM>(*c), 1);
    test::pumpMessages(2);

    // To the bottom by clicks on the vertical bar: the second box of panel 5
    // ticked by a click.
    const HWND list = window.handleOf("CheckListBox5");
    for (int turn = 0; turn < 20 && !fits && !atEnd(frame, SB_VERT); ++turn) {
        clickPage(frame, OBJID_VSCROLL, true);
        test::pumpMessages(2);
    }
    CHECK(atEnd(frame, SB_VERT));
    RECT row{};
    REQUIRE(::SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)) != LB_ERR);
    POINT box{row.left + (row.bottom - row.top) / 2, (row.top + row.bottom) / 2};
    ::ClientToScreen(list, &box);
    RECT client{};
    ::GetClientRect(frame, &client);
    ::MapWindowPoints(frame, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    REQUIRE(::PtInRect(&client, box));
    mouseTo(box, true);
    CHECK(pumpUntil([&] { return ::SendMessageW(list, LB_GETITEMDATA, 1, 0) != 0; }));

    // Back to the top and to the right end by clicks on the bars: the send
    // button comes into view and is pressed.
    const HWND button = window.handleOf("Button1");
    for (int turn = 0; turn < 20 && scrollInfo(frame, SB_VERT).nPos > 0; ++turn) {
        clickPage(frame, OBJID_VSCROLL, false);
        test::pumpMessages(2);
    }
    for (int turn = 0; turn < 20 && !fits && !atEnd(frame, SB_HORZ); ++turn) {
        clickPage(frame, OBJID_HSCROLL, true);
        test::pumpMessages(2);
    }
    CHECK(scrollInfo(frame, SB_VERT).nPos == 0);
    CHECK(atEnd(frame, SB_HORZ));
    ::GetClientRect(frame, &client);
    ::MapWindowPoints(frame, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    REQUIRE(::PtInRect(&client, centreOf(button)));
    mouseTo(centreOf(button), true);
    CHECK(pumpUntil([&] { return !closer.seen().empty(); }));
    CHECK(test::answerFileBytes() == sjisLines(expectedAnswers()));

    // Moved to a monitor of another density: Windows suggests the frame
    // scaled to it, which is fitted to the work area again.
    const int other = dpi == 192 ? 120 : 192;
    const Rect scaledDesign = scaled(Rect{9, 10, 1006, 727}, other);
    RECT suggested{scaledDesign.left, scaledDesign.top, scaledDesign.right(), scaledDesign.bottom()};
    ::SendMessageW(frame, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    test::pumpMessages(2);
    CHECK(window.dpi() == other);
    CHECK(screenRect(frame) == toolkit::rules::fitFrame(scaledDesign, kWorkArea));
    static_cast<void>(form);
}
