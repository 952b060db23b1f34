// The real Win32 window at the screen density Wine is set to (LogPixels,
// MIRUNEA_EXPECTED_DPI names it): every control at its designed place times
// the scale, fonts at the scaled heights, radio and check-list rows high
// enough for their circles, boxes and text, the scroll range scaled; and
// laid out again when the density changes under it.
#include "app/text/cp932.h"
#include "app/toolkit/win32/dpi.h"
#include "app/toolkit/win32/win32_application.h"
#include "app/toolkit/win32/win32_window.h"
#include "app/toolkit/window_rules.h"
#include "real_window.h"
#include "sheet/form1_layout.h"
#include "sheet/tform1.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace mirunea;
using toolkit::rules::Rect;
using toolkit::rules::scaled;

namespace {

std::string sjisLine(const char* utf8)
{
    return cp932::fromUtf8(utf8) + "\r\n";
}

// A window's place in its parent's client area.
Rect placeInParent(HWND window)
{
    RECT place{};
    ::GetWindowRect(window, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

LOGFONTW fontOf(HWND window)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    REQUIRE(handle);
    REQUIRE(::GetObjectW(handle, sizeof font, &font) == sizeof font);
    return font;
}

struct TextExtent
{
    int width;
    int height; // the font's line height
};

TextExtent textExtent(HWND window)
{
    wchar_t text[512] = {};
    const int length = ::GetWindowTextW(window, text, 512);
    const HDC dc = ::GetDC(window);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT measured{0, 0, 0, 0};
    ::DrawTextW(dc, text, length, &measured, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return {measured.right, metrics.tmHeight};
}

std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Every window of the frame, down through the containers, with its place.
std::map<HWND, Rect> allPlaces(HWND frame)
{
    std::map<HWND, Rect> places;
    std::vector<HWND> pending{frame};
    while (!pending.empty()) {
        const HWND window = pending.back();
        pending.pop_back();
        for (HWND child : childrenOf(window)) {
            places[child] = placeInParent(child);
            pending.push_back(child);
        }
    }
    return places;
}

// A name prompt, a radio question of five choices, a check-list question of
// five and a text question: every kind of control shown.
class OpenSheet
{
public:
    OpenSheet()
    {
        test::writeFileBytes("data.txt",
                             sjisLine("校内アンケート") + sjisLine("説明") + sjisLine("氏名") + sjisLine("[R]一つ選択")
                                 + sjisLine("とても楽しい") + sjisLine("まあまあ楽しい") + sjisLine("ふつう")
                                 + sjisLine("あまり楽しくない") + sjisLine("楽しくない") + sjisLine("")
                                 + sjisLine("[C]複数選択") + sjisLine("国語") + sjisLine("数学") + sjisLine("理科")
                                 + sjisLine("社会") + sjisLine("英語") + sjisLine("") + sjisLine("[T]ご意見"));
        m_app.setTitle(cp932::fromUtf8("ミルネア"));
        m_form = std::make_unique<TForm1>(m_app);
        window().show();
        test::pumpMessages();
    }
    // Left to the end of the process: without a window manager Wine waits
    // 2 s for each top-level window it unmaps, and this program ends here.
    ~OpenSheet() { static_cast<void>(m_form.release()); }
    OpenSheet(const OpenSheet&) = delete;
    OpenSheet& operator=(const OpenSheet&) = delete;
    win32::Win32Window& window() { return static_cast<win32::Win32Window&>(m_form->window()); }

private:
    test::WorkingFolder m_folder;
    win32::Win32Application m_app;
    std::unique_ptr<TForm1> m_form;
};

// The whole layout as drawn at dpi.
void checkLayoutAt(win32::Win32Window& window, int dpi)
{
    CHECK(window.dpi() == dpi);
    for (const toolkit::ControlSpec& design : form1Controls()) {
        CAPTURE(design.name);
        const HWND handle = window.handleOf(design.name);
        REQUIRE(handle);
        const Rect place = placeInParent(handle);
        const Rect expected = scaled(Rect{design.left, design.top, design.width, design.height}, dpi);
        const LOGFONTW font = fontOf(handle);
        CHECK(font.lfHeight == -scaled(design.fontPixels, dpi));
        CHECK((font.lfWeight >= FW_BOLD) == design.bold);
        if (design.kind == toolkit::ControlKind::Label) {
            // Sized to its text: placed as designed, its text whole.
            CHECK(place.left == expected.left);
            CHECK(place.top == expected.top);
            const TextExtent text = textExtent(handle);
            CHECK(place.width >= text.width);
            CHECK(place.height >= text.height);
        } else {
            CHECK(place == expected);
        }
    }

    // Radio rows: the circle and the text fit, at the scaled font.
    const HWND radioGroup = window.handleOf("RadioGroup1");
    RECT frame{};
    ::GetClientRect(radioGroup, &frame);
    const std::vector<HWND> items = childrenOf(radioGroup);
    REQUIRE(items.size() == 5);
    const int circle = win32::systemMetricForDpi(SM_CYMENUCHECK, dpi);
    for (HWND item : items) {
        const Rect place = placeInParent(item);
        const TextExtent text = textExtent(item);
        CHECK(fontOf(item).lfHeight == -scaled(15, dpi));
        CHECK(place.height >= circle);
        CHECK(place.height >= scaled(15, dpi));
        CHECK(place.width >= circle + text.width);
        CHECK(place.bottom() <= frame.bottom);
    }
    // Check-list rows: one line of the scaled font.
    const HWND list = window.handleOf("CheckListBox2");
    CHECK(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0) == scaled(15, dpi));

    // The frame shrunk below the sheet: the range is the scaled sheet's.
    RECT outer{};
    ::GetWindowRect(window.frame(), &outer);
    ::SetWindowPos(window.frame(), nullptr, 0, 0, scaled(300, dpi), scaled(200, dpi), SWP_NOMOVE | SWP_NOZORDER);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    REQUIRE(::GetScrollInfo(window.frame(), SB_VERT, &info));
    CHECK(info.nMax + 1 == scaled(328, dpi) + scaled(113, dpi)); // the bottom of panel 3
    REQUIRE(::GetScrollInfo(window.frame(), SB_HORZ, &info));
    CHECK(info.nMax + 1 == scaled(800, dpi) + scaled(177, dpi)); // the right of the send button
    ::SetWindowPos(window.frame(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER);
}

void changeDpi(win32::Win32Window& window, int dpi)
{
    const toolkit::WindowSpec placed = toolkit::rules::scaled(form1WindowSpec(), dpi);
    RECT suggested{placed.left, placed.top, placed.left + placed.outerWidth, placed.top + placed.outerHeight};
    ::SendMessageW(window.frame(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    test::pumpMessages(4);
}

} // namespace

TEST_CASE("the window takes the screen's density, lays the sheet out in proportion, and again on a change")
{
    const int dpi = test::expectedDpi();
    OpenSheet sheet;
    win32::Win32Window& window = sheet.window();

    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    REQUIRE(static_cast<bool>(getDpiForWindow));
    CHECK(getDpiForWindow(window.frame()) == static_cast<UINT>(dpi));

    RECT outer{};
    ::GetWindowRect(window.frame(), &outer);
    CHECK(Rect{outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top}
          == scaled(Rect{9, 10, 1006, 727}, dpi));
    checkLayoutAt(window, dpi);

    // Moved to a monitor of another density, and back to the pixel.
    {
        const std::map<HWND, Rect> before = allPlaces(window.frame());
        const int other = dpi == 144 ? 120 : 144;
        changeDpi(window, other);
        ::GetWindowRect(window.frame(), &outer);
        CHECK(outer.right - outer.left == scaled(1006, other));
        CHECK(outer.bottom - outer.top == scaled(727, other));
        checkLayoutAt(window, other);

        changeDpi(window, dpi);
        checkLayoutAt(window, dpi);
        CHECK(allPlaces(window.frame()) == before);
    }
}
