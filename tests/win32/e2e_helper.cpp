// What xdotool cannot do to the program under Wine, done from inside: put a
// Japanese text into an edit, read back the texts of a message box.
//   e2e_helper set-edit <n> <UTF-8 as hex>   edit n (0 = the name field, n = panel n's edit)
//   e2e_helper message-box                   prints caption, text, "icon" or "no icon"
//   e2e_helper scroll-bars                   prints which scroll bars the sheet shows
//   e2e_helper state                         prints what the sheet's controls hold: "edit <n> <text>",
//                                            "list <n> <ticks as 0/1>" (panel n+1's list),
//                                            "button <n> <checked 0/1> <text>", "focus <class> <n>"
//                                            (buttons counted in the order they were made; line breaks
//                                            in texts shown as \r and \n)
// The program makes a control's window only when it is first needed, so the
// edits and lists are named by the panel that holds them, not counted.
// Output is UTF-8, one item a line; exit code 1 when the window is not there.
#include "tests/win32/utf8_text.h"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

using mirunea::test::utf8;

namespace {

std::wstring fromUtf8Hex(const std::wstring& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::wcstoul(hex.substr(i, 2).c_str(), nullptr, 16));
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring textOf(HWND window)
{
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

void print(const std::string& line)
{
    const std::string withBreak = line + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), withBreak.data(), static_cast<DWORD>(withBreak.size()), &written,
                nullptr);
}

std::vector<HWND> childrenOfClass(HWND parent, const wchar_t* className)
{
    struct Search
    {
        const wchar_t* className;
        std::vector<HWND> found;
    } search{className, {}};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (::lstrcmpiW(classOf(child).c_str(), s->className) == 0)
                s->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The sheet's controls of a class in the order they were created: the window
// stacks the later created above the earlier, and a depth-first walk from the
// top of the stacking meets them in exactly the reverse order.
std::vector<HWND> formControls(HWND form, const wchar_t* className)
{
    std::vector<HWND> found = childrenOfClass(form, className);
    std::reverse(found.begin(), found.end());
    return found;
}

// The panel a control stands in, from the panel's place in the scrolled content
// (the layout at 96 dots per inch: two columns of five, 120 pixels apart); 0
// for a control of the content itself, such as the name field.
int panelOf(HWND control)
{
    const HWND panel = ::GetParent(control);
    const HWND content = ::GetParent(panel);
    if (classOf(panel) != L"MiruneaContainer" || classOf(content) != L"MiruneaContainer")
        return 0;
    RECT place{};
    ::GetWindowRect(panel, &place);
    ::MapWindowPoints(HWND_DESKTOP, content, reinterpret_cast<POINT*>(&place), 2);
    return (place.left < 496 ? 1 : 6) + (place.top - 88) / 120;
}

// The edits and lists by their number: an edit by its panel (0: the name
// field), a list by its panel less one.
std::vector<std::pair<int, HWND>> numbered(HWND form, const wchar_t* className, int offset)
{
    std::vector<std::pair<int, HWND>> found;
    for (HWND control : formControls(form, className))
        found.emplace_back(panelOf(control) + offset, control);
    std::sort(found.begin(), found.end());
    return found;
}

int setEdit(int index, const std::wstring& hex)
{
    const HWND form = ::FindWindowW(L"MiruneaForm", nullptr);
    if (!form)
        return 1;
    HWND edit = nullptr;
    for (const auto& [number, control] : numbered(form, L"Edit", 0)) {
        if (number == index)
            edit = control;
    }
    if (!edit)
        return 1;
    const std::wstring text = fromUtf8Hex(hex);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

int describeMessageBox()
{
    HWND box = nullptr;
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (::IsWindowVisible(window) && classOf(window) == L"#32770") {
                *reinterpret_cast<HWND*>(data) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box)
        return 1;
    print(utf8(textOf(box)));
    std::wstring text;
    bool icon = false;
    for (HWND label : childrenOfClass(box, L"Static")) {
        if ((::GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            // Wine keeps the icon's place in every box; only a shown icon counts.
            icon = icon || (::IsWindowVisible(label) && ::SendMessageW(label, STM_GETICON, 0, 0) != 0);
        } else if (!textOf(label).empty()) {
            text = textOf(label);
        }
    }
    print(utf8(text));
    print(icon ? "icon" : "no icon");
    return 0;
}

int describeScrollBars()
{
    const HWND form = ::FindWindowW(L"MiruneaForm", nullptr);
    if (!form)
        return 1;
    const LONG style = ::GetWindowLongW(form, GWL_STYLE);
    print(style & WS_HSCROLL ? "horizontal" : "no horizontal");
    print(style & WS_VSCROLL ? "vertical" : "no vertical");
    return 0;
}

std::string textOfControl(HWND control)
{
    // WM_GETTEXT, unlike GetWindowText, reads an edit of another process.
    wchar_t text[1024] = {};
    ::SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    std::string shown;
    for (const char c : utf8(text))
        shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return shown;
}

int describeState()
{
    const HWND form = ::FindWindowW(L"MiruneaForm", nullptr);
    if (!form)
        return 1;
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &thread);
    std::string focus = "focus none";
    const auto buttons = formControls(form, L"Button");
    for (const auto& [number, edit] : numbered(form, L"Edit", 0)) {
        print("edit " + std::to_string(number) + " " + textOfControl(edit));
        if (edit == thread.hwndFocus)
            focus = "focus edit " + std::to_string(number);
    }
    for (const auto& [number, list] : numbered(form, L"ListBox", -1)) {
        std::string ticks;
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT item = 0; item < count; ++item)
            ticks += ::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(item), 0) != 0 ? '1' : '0';
        print("list " + std::to_string(number) + " " + ticks);
        if (list == thread.hwndFocus)
            focus = "focus list " + std::to_string(number);
    }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool checked = ::SendMessageW(buttons[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
        print("button " + std::to_string(i) + (checked ? " 1 " : " 0 ") + textOfControl(buttons[i]));
        if (buttons[i] == thread.hwndFocus)
            focus = "focus button " + std::to_string(i);
    }
    print(focus);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"set-edit" && argc == 4)
        return setEdit(static_cast<int>(std::wcstol(argv[2], nullptr, 10)), argv[3]);
    if (command == L"message-box" && argc == 2)
        return describeMessageBox();
    if (command == L"scroll-bars" && argc == 2)
        return describeScrollBars();
    if (command == L"state" && argc == 2)
        return describeState();
    std::fputs("usage: e2e_helper set-edit <n> <hex> | message-box | scroll-bars | state\n", stderr);
    return 2;
}
