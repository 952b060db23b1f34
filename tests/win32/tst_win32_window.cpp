// What only the Win32 backend has of the real window under Wine: windows made
// only when needed, a long answer pasted as a respondent would, and the error
// box before the window.
// Hit-testing where grown labels run under other controls is a case of the
// window behaviour suite (tests/behaviour), run on both backends.
#include "app/text/cp932.h"
#include "app/toolkit/win32/win32_application.h"
#include "app/toolkit/win32/win32_controls.h"
#include "app/toolkit/win32/win32_text.h"
#include "app/toolkit/win32/win32_window.h"
#include "real_window.h"
#include "sheet/tform1.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <cstring>
#include <string>

using namespace mirunea;
using test::pumpMessages;

namespace {

std::string sjisLine(const char* utf8)
{
    return cp932::fromUtf8(utf8) + "\r\n";
}

HWND madeWindow(toolkit::Window& window, const std::string& name)
{
    return dynamic_cast<win32::Win32Control&>(*window.findControl(name)).existingHandle();
}

} // namespace

TEST_CASE("a sheet makes the windows it shows only; a control shown later is made with all it was given")
{
    test::WorkingFolder folder;
    test::writeFileBytes("data.txt",
                         sjisLine("t") + sjisLine("d") + sjisLine("") + sjisLine("[R]朝は") + sjisLine("早い")
                             + sjisLine("遅い") + sjisLine("") + sjisLine("[T]ご意見"));
    win32::Win32Application app;
    app.setTitle(cp932::fromUtf8("ミルネア"));
    TForm1 form(app);
    toolkit::Window& window = form.window();
    CHECK(madeWindow(window, "Label1") == nullptr); // nothing before the frame is shown
    CHECK(madeWindow(window, "RadioGroup1") == nullptr);
    static_cast<win32::Win32Window&>(window).show();
    pumpMessages();

    SUBCASE("what is shown is made, with its texts and items; the rest is not")
    {
        for (const char* shown :
             {"Label1", "Label3", "Button1", "GroupBox1", "Lbl1", "RadioGroup1", "GroupBox2", "Edit2"}) {
            CAPTURE(shown);
            const HWND made = madeWindow(window, shown);
            REQUIRE(made != nullptr);
            CHECK(::IsWindowVisible(made));
        }
        for (const char* hidden : {"Ename", "CheckListBox1", "Edit1", "RadioGroup2", "GroupBox3", "Edit10"}) {
            CAPTURE(hidden);
            CHECK(madeWindow(window, hidden) == nullptr);
        }
        CHECK(win32::windowText(madeWindow(window, "GroupBox1")) == L"朝は");
        const auto& radio = dynamic_cast<win32::Win32RadioGroup&>(window.control<toolkit::RadioGroup>("RadioGroup1"));
        REQUIRE(radio.items().size() == 2);
        CHECK(win32::windowText(radio.items()[1]) == L"遅い");
        // A label is made at its caption's size, as one captioned later is sized.
        RECT title{};
        ::GetWindowRect(madeWindow(window, "Label1"), &title);
        auto& label = window.control<toolkit::Label>("Label1");
        label.setCaption(cp932::fromUtf8("t"));
        RECT refitted{};
        ::GetWindowRect(madeWindow(window, "Label1"), &refitted);
        CHECK(refitted.right - refitted.left == title.right - title.left);
        CHECK(refitted.bottom - refitted.top == title.bottom - title.top);
        CHECK(title.right - title.left > 0);
    }

    SUBCASE("asking a hidden control for anything makes its window, still hidden")
    {
        auto& list = window.control<toolkit::CheckListBox>("CheckListBox1");
        CHECK(list.itemCount() == 0);
        CHECK(madeWindow(window, "CheckListBox1") == nullptr);
        const HWND made = static_cast<win32::Win32Window&>(window).handleOf("CheckListBox1");
        REQUIRE(made != nullptr);
        CHECK_FALSE(::IsWindowVisible(made));
        CHECK(::GetParent(made) == madeWindow(window, "GroupBox1"));
    }

    SUBCASE("an unused panel given a caption, an answer and items while not made shows them once shown")
    {
        window.control<toolkit::GroupBox>("GroupBox3").setCaption(cp932::fromUtf8("後で"));
        window.control<toolkit::Edit>("Edit3").setText(cp932::fromUtf8("あとから"));
        auto& list = window.control<toolkit::CheckListBox>("CheckListBox3");
        list.appendItem(cp932::fromUtf8("一"));
        list.appendItem(cp932::fromUtf8("二"));
        window.control<toolkit::RadioGroup>("RadioGroup3").hide();
        CHECK(list.itemCount() == 2);
        CHECK(madeWindow(window, "GroupBox3") == nullptr);

        window.control<toolkit::GroupBox>("GroupBox3").show();
        pumpMessages();
        const HWND panel = madeWindow(window, "GroupBox3");
        REQUIRE(panel != nullptr);
        CHECK(::IsWindowVisible(panel));
        CHECK(win32::windowText(panel) == L"後で");
        REQUIRE(madeWindow(window, "Edit3") != nullptr);
        CHECK(win32::windowText(madeWindow(window, "Edit3")) == L"あとから");
        const HWND listWindow = madeWindow(window, "CheckListBox3");
        REQUIRE(listWindow != nullptr);
        CHECK(::SendMessageW(listWindow, LB_GETCOUNT, 0, 0) == 2);
        CHECK(madeWindow(window, "RadioGroup3") == nullptr);
        // Stacked as designed: the edit over the list it overlaps.
        POINT middle{};
        RECT edit{};
        ::GetWindowRect(madeWindow(window, "Edit3"), &edit);
        middle = {(edit.left + edit.right) / 2, (edit.top + edit.bottom) / 2};
        ::ScreenToClient(panel, &middle);
        CHECK(::ChildWindowFromPointEx(panel, middle, CWP_SKIPINVISIBLE) == madeWindow(window, "Edit3"));
    }
}

// Put on the clipboard and pasted into the edit with WM_PASTE, which the
// edit's text limit applies to as it does to typing.
void pasteInto(HWND edit, const std::wstring& text)
{
    REQUIRE(::OpenClipboard(edit));
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    REQUIRE(memory);
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    REQUIRE(::SetClipboardData(CF_UNICODETEXT, memory));
    ::CloseClipboard();
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_PASTE, 0, 0);
}

TEST_CASE("an answer of 100,000 characters pasted into the edits reaches the answer file whole")
{
    test::WorkingFolder folder;
    test::writeFileBytes("data.txt", sjisLine("t") + sjisLine("d") + sjisLine("氏名") + sjisLine("[T]ご意見"));
    win32::Win32Application app;
    app.setTitle(cp932::fromUtf8("ミルネア"));
    TForm1 form(app);
    auto& window = static_cast<win32::Win32Window&>(form.window());
    window.show();
    pumpMessages();

    // 9,999 pieces of 10 characters, then ten digits that tell a cut text
    // from a whole one: far past the edit's default 30,000.
    const char* pieceUtf8 = "回答テキストabc、";
    const std::wstring piece = L"回答テキストabc、";
    std::string expectedUtf8;
    std::wstring pasted;
    for (int i = 0; i < 9999; ++i) {
        expectedUtf8 += pieceUtf8;
        pasted += piece;
    }
    expectedUtf8 += "0123456789";
    pasted += L"0123456789";
    REQUIRE(pasted.size() == 100'000);

    auto& name = dynamic_cast<win32::Win32Edit&>(form.window().control<toolkit::Edit>("Ename"));
    auto& answer = dynamic_cast<win32::Win32Edit&>(form.window().control<toolkit::Edit>("Edit1"));
    pasteInto(name.handle(), pasted);
    pasteInto(answer.handle(), pasted.substr(0, 99'999) + L"!");
    CHECK(::GetWindowTextLengthW(name.handle()) == 100'000);
    CHECK(::GetWindowTextLengthW(answer.handle()) == 100'000);

    test::MessageBoxCloser boxes;
    dynamic_cast<win32::Win32Button&>(form.window().control<toolkit::Button>("Button1")).click();
    REQUIRE(boxes.seen().size() == 1); // the confirmation, not an error box
    CHECK(boxes.seen()[0].owner == window.frame());
    const std::string whole = cp932::fromUtf8(expectedUtf8);
    const std::string lastCut = cp932::fromUtf8(expectedUtf8.substr(0, expectedUtf8.size() - 1)) + "!";
    const std::string written = test::answerFileBytes();
    const std::string expected = test::computerName() + "\r\n" + whole + "\r\n[Q1T]\r\n" + lastCut + "\r\n[END]\r\n";
    // Not the texts themselves in a failure message: 200 KB each.
    CHECK(written.size() == expected.size());
    CHECK_MESSAGE(written == expected, "the answer file differs from the pasted texts");
}

TEST_CASE("the error box shown before the window stands alone in the task bar, modal to the program")
{
    test::WorkingFolder folder; // no data.txt
    win32::Win32Application app;
    app.setTitle(cp932::fromUtf8("ミルネア"));
    test::MessageBoxCloser boxes;
    TForm1 form(app);
    REQUIRE(boxes.seen().size() == 1);
    const test::SeenWin32Box& box = boxes.seen()[0];
    CHECK(box.caption == "ミルネア");
    CHECK(box.text == "ファイルが見つかりません.");
    // A box without owner and no tool window gets a task-bar button.
    CHECK(box.owner == nullptr);
    CHECK((box.extendedStyle & WS_EX_TOOLWINDOW) == 0);
    CHECK(box.enabledWindows == 0); // the hidden main window among them
    const HWND frame = static_cast<win32::Win32Window&>(form.window()).frame();
    CHECK(::IsWindowEnabled(frame));
    CHECK_FALSE(::IsWindowVisible(frame));
}
