// What a screen reader reads of the real Win32 window: names, roles and
// states through AccessibleObjectFromWindow, in this process (Wine does not
// marshal IAccessible between processes), after ticking and selecting.
#include "app/text/cp932.h"
#include "app/toolkit/win32/win32_application.h"
#include "app/toolkit/win32/win32_window.h"
#include "real_window.h"
#include "sheet/tform1.h"
#include "working_folder.h"

#include <doctest/doctest.h>
#include <oleacc.h>

#include <memory>
#include <string>

using namespace mirunea;

namespace {

// Spelled out: mingw-w64's liboleacc.a resolves IID_IAccessible to a jump stub.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string sjisLine(const char* utf8)
{
    return cp932::fromUtf8(utf8) + "\r\n";
}

VARIANT childId(long id)
{
    VARIANT child;
    ::VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A window's client object as a reader gets it.
struct Accessible
{
    explicit Accessible(HWND window)
    {
        REQUIRE(window);
        REQUIRE(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                             reinterpret_cast<void**>(&object))
                == S_OK);
        REQUIRE(object);
    }
    ~Accessible() { object->Release(); }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    std::wstring name(long child = CHILDID_SELF) const
    {
        BSTR text = nullptr;
        const HRESULT result = object->get_accName(childId(child), &text);
        CHECK(SUCCEEDED(result));
        std::wstring copy = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
        ::SysFreeString(text);
        return copy;
    }
    long role(long child = CHILDID_SELF) const { return number(&IAccessible::get_accRole, child); }
    long state(long child = CHILDID_SELF) const { return number(&IAccessible::get_accState, child); }
    long childCount() const
    {
        long count = -1;
        REQUIRE(object->get_accChildCount(&count) == S_OK);
        return count;
    }

    IAccessible* object = nullptr;

private:
    // A property the object gives as a VT_I4 variant.
    long number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long child) const
    {
        VARIANT value;
        ::VariantInit(&value);
        REQUIRE((object->*get)(childId(child), &value) == S_OK);
        REQUIRE(value.vt == VT_I4);
        return value.lVal;
    }
};

bool has(long state, long flag)
{
    return (state & flag) != 0;
}

} // namespace

TEST_CASE("each control tells a screen reader its name, role and state; the items inside theirs")
{
    REQUIRE(SUCCEEDED(::CoInitialize(nullptr)));
    test::WorkingFolder folder;
    test::writeFileBytes("data.txt",
                         sjisLine("校内アンケート") + sjisLine("説明") + sjisLine("氏名(&N)")
                             + sjisLine("[R]好きな季節(&S)") + sjisLine("春(&1)") + sjisLine("夏") + sjisLine("秋")
                             + sjisLine("") + sjisLine("[C]好きな教科") + sjisLine("国語") + sjisLine("数&学")
                             + sjisLine("") + sjisLine("[T]ご意見"));
    win32::Win32Application app;
    app.setTitle(cp932::fromUtf8("ミルネア"));
    auto form = std::make_unique<TForm1>(app);
    auto& window = static_cast<win32::Win32Window&>(form->window());
    window.show();
    test::pumpMessages();

    {
        const Accessible name(window.handleOf("Ename"));
        CHECK(name.name() == L"氏名(N)");
        CHECK(name.role() == ROLE_SYSTEM_TEXT);
        CHECK(has(name.state(), STATE_SYSTEM_FOCUSABLE));
        CHECK(has(name.state(), STATE_SYSTEM_FOCUSED)); // the first in tab order
        CHECK_FALSE(has(name.state(), STATE_SYSTEM_INVISIBLE));

        const Accessible button(window.handleOf("Button1"));
        CHECK(button.name() == L"入力終了（送信）");
        CHECK(button.role() == ROLE_SYSTEM_PUSHBUTTON);

        const Accessible panel(window.handleOf("GroupBox1"));
        CHECK(panel.name() == L"好きな季節(S)");
        CHECK(panel.role() == ROLE_SYSTEM_GROUPING);
        CHECK(Accessible(window.handleOf("GroupBox2")).name() == L"好きな教科");

        const Accessible text(window.handleOf("Edit3"));
        CHECK(text.name() == L"ご意見");
        CHECK(text.role() == ROLE_SYSTEM_TEXT);
        // The answer controls a question does not use stay unseen.
        CHECK(has(Accessible(window.handleOf("Edit1")).state(), STATE_SYSTEM_INVISIBLE));
    }

    SUBCASE("radio items: their texts, and which one is chosen")
    {
        const Accessible group(window.handleOf("RadioGroup1"));
        CHECK(group.name() == L"好きな季節(S)");
        CHECK(group.role() == ROLE_SYSTEM_GROUPING);
        REQUIRE(group.childCount() == 3);
        CHECK(group.name(1) == L"春(1)");
        CHECK(group.name(3) == L"秋");
        for (long item = 1; item <= 3; ++item) {
            CAPTURE(item);
            CHECK(group.role(item) == ROLE_SYSTEM_RADIOBUTTON);
            CHECK_FALSE(has(group.state(item), STATE_SYSTEM_CHECKED));
        }

        // Chosen as the arrow keys do: selected and focused.
        auto& radio = dynamic_cast<win32::Win32RadioGroup&>(form->window().control<toolkit::RadioGroup>("RadioGroup1"));
        radio.selectAndFocus(1);
        CHECK_FALSE(has(group.state(1), STATE_SYSTEM_CHECKED));
        CHECK(has(group.state(2), STATE_SYSTEM_CHECKED));
        CHECK(has(group.state(2), STATE_SYSTEM_FOCUSED));
        CHECK_FALSE(has(group.state(3), STATE_SYSTEM_CHECKED));

        // The item's own window, as a reader finds it by the focus, says the same.
        REQUIRE(radio.items().size() == 3);
        const Accessible chosen(radio.items()[1]);
        CHECK(chosen.name() == L"夏");
        CHECK(chosen.role() == ROLE_SYSTEM_RADIOBUTTON);
        CHECK(has(chosen.state(), STATE_SYSTEM_CHECKED));
        CHECK(has(chosen.state(), STATE_SYSTEM_FOCUSED));
        const Accessible first(radio.items()[0]);
        CHECK(first.name() == L"春(1)");
        CHECK_FALSE(has(first.state(), STATE_SYSTEM_CHECKED));
    }

    SUBCASE("check-list rows: their texts as shown, ticked or not, the selected one")
    {
        const HWND listWindow = window.handleOf("CheckListBox2");
        const Accessible list(listWindow);
        CHECK(list.name() == L"好きな教科");
        CHECK(list.role() == ROLE_SYSTEM_LIST);
        REQUIRE(list.childCount() == 2);
        CHECK(list.name(1) == L"国語");
        CHECK(list.name(2) == L"数&学"); // an item's "&" is shown, so it is read
        CHECK(list.role(1) == ROLE_SYSTEM_CHECKBUTTON);
        CHECK_FALSE(has(list.state(1), STATE_SYSTEM_CHECKED));

        // A click on the first row's box ticks it; the second row is selected after.
        RECT row{};
        ::SendMessageW(listWindow, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        const LPARAM box = MAKELPARAM(row.left + 3, (row.top + row.bottom) / 2);
        ::SendMessageW(listWindow, WM_LBUTTONDOWN, MK_LBUTTON, box);
        ::SendMessageW(listWindow, WM_LBUTTONUP, 0, box);
        ::SendMessageW(listWindow, LB_SETCURSEL, 1, 0);
        REQUIRE(form->window().control<toolkit::CheckListBox>("CheckListBox2").isItemTicked(1));
        CHECK(has(list.state(1), STATE_SYSTEM_CHECKED));
        CHECK_FALSE(has(list.state(1), STATE_SYSTEM_SELECTED));
        CHECK_FALSE(has(list.state(2), STATE_SYSTEM_CHECKED));
        CHECK(has(list.state(2), STATE_SYSTEM_SELECTED));
    }

    // Left to the end of the process: Wine waits 2 s for each top-level
    // window it unmaps without a window manager.
    static_cast<void>(form.release());
}
