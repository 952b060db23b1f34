// The window behaviour suite's driver for the Win32 backend: the real HWNDs
// under Wine, keys through SendInput (so the key state the window reads is a
// real one), clicks as the mouse messages Windows posts, pixels read back
// from the screen.
#include "sheet_window_driver.h"
#include "tests/win32/utf8_text.h"

#include "app/text/cp932.h"
#include "app/toolkit/win32/win32_application.h"
#include "app/toolkit/win32/win32_controls.h"
#include "app/toolkit/win32/win32_text.h"
#include "app/toolkit/win32/win32_window.h"
#include "app/toolkit/window_rules.h"
#include "sheet/form1_layout.h"
#include "sheet/tform1.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <map>
#include <stdexcept>

namespace mirunea::test {

namespace {

// A caption as Win32 draws it: "&" marks taken out.
std::string shownCaption(const std::wstring& caption)
{
    const std::u16string text(caption.begin(), caption.end());
    const std::u16string shown = toolkit::rules::parseCaption(text).shown;
    return utf8(std::wstring(shown.begin(), shown.end()));
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// A control's window; null while the window has not made it.
HWND existingHandleOf(toolkit::Control* control)
{
    const auto* native = dynamic_cast<win32::Win32Control*>(control);
    return native ? native->existingHandle() : nullptr;
}

struct KeyCode
{
    WORD virtualKey;
    bool extended;
};

KeyCode keyCode(Key key)
{
    switch (key) {
    case Key::Tab:
        return {VK_TAB, false};
    case Key::Return:
        return {VK_RETURN, false};
    case Key::KeypadEnter:
        return {VK_RETURN, true};
    case Key::Escape:
        return {VK_ESCAPE, false};
    case Key::Space:
        return {VK_SPACE, false};
    case Key::Left:
        return {VK_LEFT, true};
    case Key::Right:
        return {VK_RIGHT, true};
    case Key::Up:
        return {VK_UP, true};
    case Key::Down:
        return {VK_DOWN, true};
    }
    throw std::logic_error("unknown key");
}

INPUT keyInput(WORD virtualKey, bool up, bool extended = false)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

class Win32WindowDriver;
Win32WindowDriver* g_driver = nullptr; // for the timer that closes message boxes

class Win32WindowDriver : public SheetWindowDriver
{
public:
    Win32WindowDriver()
    {
        m_app.setTitle(cp932::fromUtf8("ミルネア"));
        g_driver = this;
        // A thread timer: the message boxes' own modal loops dispatch it too.
        m_timer = ::SetTimer(nullptr, 0, 10, &Win32WindowDriver::onTimer);
    }

    ~Win32WindowDriver() override
    {
        ::KillTimer(nullptr, m_timer);
        g_driver = nullptr;
        closeWindow();
    }

    bool showActive() override
    {
        win32Window().show();
        ::SetForegroundWindow(frame());
        const bool active = waitUntil(
            *this, [this] { return ::GetForegroundWindow() == frame() && ::GetActiveWindow() == frame(); });
        // Drawn, children included, before anything reads the screen.
        ::RedrawWindow(frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pump(10);
        return active;
    }

    void processEvents() override { pump(1); }

    void press(Key key, Modifiers modifiers) override
    {
        const KeyCode code = keyCode(key);
        sendKeys(code.virtualKey, code.extended, modifiers);
    }

    void pressLetter(char letter, Modifiers modifiers) override
    {
        sendKeys(static_cast<WORD>(letter & ~0x20), false, modifiers);
    }

    void type(const std::string& text) override
    {
        // What a keyboard or an input method's commit delivers: one WM_CHAR a character.
        const HWND focus = ::GetFocus();
        for (wchar_t c : wide(text))
            ::PostMessageW(focus, WM_CHAR, c, 1);
        pump(5);
    }

    void paste(const std::string& text) override
    {
        const HWND focus = ::GetFocus();
        const std::wstring pasted = wide(text);
        if (!::OpenClipboard(focus))
            throw std::runtime_error("cannot open the clipboard");
        ::EmptyClipboard();
        const std::size_t bytes = (pasted.size() + 1) * sizeof(wchar_t);
        const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (memory) {
            std::memcpy(::GlobalLock(memory), pasted.c_str(), bytes);
            ::GlobalUnlock(memory);
        }
        const bool put = memory && ::SetClipboardData(CF_UNICODETEXT, memory);
        ::CloseClipboard();
        if (!put)
            throw std::runtime_error("cannot put the text on the clipboard");
        ::SendMessageW(focus, WM_PASTE, 0, 0);
        pump(5);
    }

    void click(Point client) override
    {
        // The mouse messages Windows posts to the window under the cursor.
        const HWND target = deepestAt(client);
        POINT point{client.x, client.y};
        ::MapWindowPoints(frame(), target, &point, 1);
        const LPARAM at = MAKELPARAM(point.x, point.y);
        POINT screen{client.x, client.y};
        ::ClientToScreen(frame(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(target, WM_LBUTTONUP, 0, at);
        pump(5);
    }

    std::string focused() override
    {
        const HWND focus = ::GetFocus();
        if (const std::string name = nameOf(focus); !name.empty())
            return name;
        return focus ? "(unnamed " + utf8(classOf(focus)) + ")" : std::string();
    }

    std::string shownText(const std::string& name) override
    {
        const HWND control = handle(name);
        const std::wstring text = win32::windowText(control);
        return classOf(control) == L"Edit" ? utf8(text) : shownCaption(text);
    }

    std::vector<std::string> itemTexts(const std::string& name) override
    {
        std::vector<std::string> texts;
        toolkit::Control* control = window().findControl(name);
        if (auto* group = dynamic_cast<win32::Win32RadioGroup*>(control)) {
            for (HWND item : group->items())
                texts.push_back(shownCaption(win32::windowText(item)));
            return texts;
        }
        const HWND list = handle(name);
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT row = 0; row < count; ++row) {
            std::wstring text(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
            text.resize(
                static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
            texts.push_back(utf8(text));
        }
        return texts;
    }

    bool isVisible(const std::string& name) override { return ::IsWindowVisible(handle(name)) != FALSE; }

    std::string parentOf(const std::string& name) override { return nameOf(::GetParent(handle(name))); }

    Rect geometry(const std::string& name) override
    {
        const HWND control = handle(name);
        return placeIn(control, ::GetParent(control));
    }

    Rect placeInClient(const std::string& name) override { return placeIn(handle(name), frame()); }

    Point checkBoxOf(const std::string& name, int row) override
    {
        const HWND list = handle(name);
        RECT item{};
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item));
        // The box is drawn square, one row high, at the row's left end.
        const int side = item.bottom - item.top;
        POINT centre{item.left + side / 2, item.top + side / 2};
        ::MapWindowPoints(list, frame(), &centre, 1);
        return {centre.x, centre.y};
    }

    FontInfo font(const std::string& name) override
    {
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(handle(name), WM_GETFONT, 0, 0));
        LOGFONTW description{};
        if (!font || !::GetObjectW(font, sizeof description, &description))
            return {0, false, {}};
        return {-description.lfHeight, description.lfWeight >= FW_BOLD, utf8(description.lfFaceName)};
    }

    std::string topmostAt(Point client) override
    {
        for (HWND hit = deepestAt(client); hit && hit != frame(); hit = ::GetParent(hit)) {
            if (const std::string name = nameOf(hit); !name.empty() && name.find('/') == std::string::npos)
                return name;
        }
        return {};
    }

    std::vector<toolkit::Rgb> pixels(Rect client) override
    {
        pump(2);
        POINT origin{client.left, client.top};
        ::ClientToScreen(frame(), &origin);
        const HDC screen = ::GetDC(nullptr);
        const HDC memory = ::CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client.width;
        info.bmiHeader.biHeight = -client.height; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, client.width, client.height, screen, origin.x, origin.y, SRCCOPY);
        ::GdiFlush();
        std::vector<toolkit::Rgb> colours;
        const auto* pixel = static_cast<const DWORD*>(bits);
        for (int i = 0; i < client.width * client.height; ++i)
            colours.push_back({static_cast<int>((pixel[i] >> 16) & 0xFF), static_cast<int>((pixel[i] >> 8) & 0xFF),
                               static_cast<int>(pixel[i] & 0xFF)});
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        return colours;
    }

    std::string toolTipAt(Point client) override
    {
        // The tool the window's tooltip control shows for the window under
        // that point; tst_win32_small_screen rests the real pointer there.
        const HWND tips = win32Window().cutTextTips();
        if (!tips)
            return {};
        const HWND target = deepestAt(client);
        POINT point{client.x, client.y};
        ::MapWindowPoints(frame(), target, &point, 1);
        std::wstring text(8192, L'\0');
        TTHITTESTINFOW hit{};
        hit.hwnd = target;
        hit.pt = point;
        hit.ti.cbSize = TTTOOLINFOW_V2_SIZE;
        hit.ti.lpszText = text.data();
        if (!::SendMessageW(tips, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)))
            return {};
        text.resize(std::wcslen(text.c_str()));
        return utf8(text);
    }

    std::string windowCaption() override { return utf8(win32::windowText(frame())); }

    Point framePosition() override
    {
        RECT place{};
        ::GetWindowRect(frame(), &place);
        return {place.left, place.top};
    }

    Point clientSize() override
    {
        RECT client{};
        ::GetClientRect(frame(), &client);
        return {client.right, client.bottom};
    }

    void resizeClient(int width, int height) override
    {
        RECT outer{0, 0, width, height};
        ::AdjustWindowRectEx(&outer,
                             static_cast<DWORD>(::GetWindowLongW(frame(), GWL_STYLE)) & ~(WS_HSCROLL | WS_VSCROLL),
                             FALSE, static_cast<DWORD>(::GetWindowLongW(frame(), GWL_EXSTYLE)));
        ::SetWindowPos(frame(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        pump(5);
    }

    bool horizontalBarShown() override { return (::GetWindowLongW(frame(), GWL_STYLE) & WS_HSCROLL) != 0; }
    bool verticalBarShown() override { return (::GetWindowLongW(frame(), GWL_STYLE) & WS_VSCROLL) != 0; }

    Point scrollPosition() override { return {::GetScrollPos(frame(), SB_HORZ), ::GetScrollPos(frame(), SB_VERT)}; }

    void scrollToEnd() override
    {
        ::SendMessageW(frame(), WM_HSCROLL, SB_BOTTOM, 0);
        ::SendMessageW(frame(), WM_VSCROLL, SB_BOTTOM, 0);
        pump(5);
    }

    void scrollToStart() override
    {
        ::SendMessageW(frame(), WM_HSCROLL, SB_TOP, 0);
        ::SendMessageW(frame(), WM_VSCROLL, SB_TOP, 0);
        pump(5);
    }

private:
    toolkit::Application& application() override { return m_app; }
    win32::Win32Window& win32Window() { return static_cast<win32::Win32Window&>(window()); }
    HWND frame() { return win32Window().frame(); }

    // Asking for a control's window makes it, as any question to the control does.
    HWND handle(const std::string& name)
    {
        const auto slash = name.find('/');
        if (slash != std::string::npos) {
            auto& group = window().control<toolkit::RadioGroup>(name.substr(0, slash));
            const auto item = static_cast<std::size_t>(std::stoi(name.substr(slash + 1)));
            if (item < 1 || item > static_cast<std::size_t>(group.itemCount()))
                throw std::logic_error("no radio item " + name);
            return dynamic_cast<win32::Win32RadioGroup&>(group).items()[item - 1];
        }
        const HWND found = win32Window().handleOf(name);
        if (!found)
            throw std::logic_error("no control named " + name);
        return found;
    }

    // A made window's control name, radio items as "RadioGroupN/i"; empty for
    // any other window.
    std::string nameOf(HWND handle)
    {
        if (!handle || !hasWindow())
            return {};
        for (const toolkit::ControlSpec& design : form1Controls()) {
            toolkit::Control* control = window().findControl(design.name);
            if (existingHandleOf(control) == handle)
                return design.name;
            if (const auto* radio = dynamic_cast<win32::Win32RadioGroup*>(control)) {
                for (std::size_t i = 0; i < radio->items().size(); ++i) {
                    if (radio->items()[i] == handle)
                        return design.name + "/" + std::to_string(i + 1);
                }
            }
        }
        return {};
    }

    Rect placeIn(HWND control, HWND container)
    {
        RECT place{};
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(HWND_DESKTOP, container, reinterpret_cast<POINT*>(&place), 2);
        return {place.left, place.top, place.right - place.left, place.bottom - place.top};
    }

    // The visible window on top at a client point, as Win32 hit-tests it:
    // down through the containers to a control.
    HWND deepestAt(Point client)
    {
        HWND current = frame();
        POINT point{client.x, client.y};
        for (;;) {
            const HWND child = ::ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == current)
                return current;
            ::MapWindowPoints(current, child, &point, 1);
            current = child;
        }
    }

    // As the application's loop does: the window's own keys first.
    void pump(int rounds)
    {
        MSG message;
        for (int round = 0; round < rounds; ++round) {
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (hasWindow() && win32Window().preTranslateMessage(message))
                    continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            ::Sleep(5);
        }
    }

    void sendKeys(WORD virtualKey, bool extended, Modifiers modifiers)
    {
        std::vector<INPUT> inputs;
        const std::pair<Modifier, WORD> held[] = {{Ctrl, VK_CONTROL}, {Alt, VK_MENU}, {Shift, VK_SHIFT}};
        for (const auto& [modifier, key] : held) {
            if (modifiers & modifier)
                inputs.push_back(keyInput(key, false));
        }
        inputs.push_back(keyInput(virtualKey, false, extended));
        inputs.push_back(keyInput(virtualKey, true, extended));
        for (auto it = std::rbegin(held); it != std::rend(held); ++it) {
            if (modifiers & it->first)
                inputs.push_back(keyInput(it->second, true));
        }
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        pump(10);
    }

    static BOOL CALLBACK findBox(HWND window, LPARAM found)
    {
        if (::IsWindowVisible(window) && classOf(window) == L"#32770") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        if (g_driver)
            g_driver->closeBox();
    }

    // Reads the box's caption and text, then presses its OK button.
    void closeBox()
    {
        HWND box = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &Win32WindowDriver::findBox, reinterpret_cast<LPARAM>(&box));
        if (!box)
            return;
        // Marked, so that a box that stays up a moment longer is counted once.
        if (!::GetPropW(box, L"MiruneaSeen")) {
            wchar_t text[1024] = {};
            ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
            m_seen.push_back({utf8(win32::windowText(box)), utf8(text)});
            ::SetPropW(box, L"MiruneaSeen", box);
        }
        ::SendMessageW(box, WM_COMMAND, IDOK, 0);
    }

    win32::Win32Application m_app;
    UINT_PTR m_timer = 0;
};

} // namespace

std::unique_ptr<WindowDriver> makeWindowDriver()
{
    return std::make_unique<Win32WindowDriver>();
}

} // namespace mirunea::test
