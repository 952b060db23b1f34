#include "app/toolkit/win32/win32_window.h"

#include "app/toolkit/win32/win32_text.h"

// Keyboard navigation of the window, run from the message loop before
// dispatch: Tab and Shift+Tab through the answer controls in tab order, the
// arrows inside radio groups, access keys of panels and radio items, and
// Enter on the send button.
namespace mirunea::win32 {

namespace {

[[nodiscard]] bool keyHeld(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

[[nodiscard]] bool isKind(const toolkit::ControlSpec& design, toolkit::ControlKind kind)
{
    return design.kind == kind;
}

} // namespace

HWND Win32Window::focusTargetOf(const Entry& entry) const
{
    if (!isEffectivelyVisible(entry.handle))
        return nullptr;
    switch (entry.design.kind) {
    case toolkit::ControlKind::Edit:
    case toolkit::ControlKind::CheckListBox:
    case toolkit::ControlKind::Button:
        return entry.handle;
    case toolkit::ControlKind::RadioGroup:
        // Only a selected item is the group's tab stop.
        return static_cast<const Win32RadioGroup&>(*entry.control).selectedButton();
    default:
        return nullptr;
    }
}

void Win32Window::focusControl(HWND target, bool fromKeyboard)
{
    ::SetFocus(target);
    const Entry* entry = entryOf(target);
    if (fromKeyboard && entry && isKind(entry->design, toolkit::ControlKind::Edit))
        ::SendMessageW(target, EM_SETSEL, 0, -1);
    ensureVisible(target);
}

void Win32Window::focusFirst()
{
    for (const Entry* entry : m_tabOrder) {
        if (const HWND target = focusTargetOf(*entry)) {
            focusControl(target, true);
            return;
        }
    }
}

void Win32Window::moveFocus(bool backwards)
{
    if (m_tabOrder.empty())
        return;
    const auto count = static_cast<int>(m_tabOrder.size());
    const Entry* current = entryOwningFocus(::GetFocus());
    int index = -1;
    for (int i = 0; i < count; ++i) {
        if (m_tabOrder[static_cast<std::size_t>(i)] == current)
            index = i;
    }
    if (index < 0)
        index = backwards ? 0 : count - 1;
    for (int step = 1; step <= count; ++step) {
        const int next = ((index + (backwards ? -step : step)) % count + count) % count;
        if (const HWND target = focusTargetOf(*m_tabOrder[static_cast<std::size_t>(next)])) {
            focusControl(target, true);
            return;
        }
    }
}

bool Win32Window::handleArrow(HWND focus, int step)
{
    // An item of a radio group, or the group itself (reached by its panel's
    // access key): Down from the group selects the first item, Up the last.
    Entry* entry = entryOwningFocus(focus);
    if (!entry || !isKind(entry->design, toolkit::ControlKind::RadioGroup))
        return false;
    auto& group = static_cast<Win32RadioGroup&>(*entry->control);
    if (group.items().empty())
        return true;
    int index = group.indexOf(focus);
    if (index < 0)
        index = step > 0 ? -1 : 0;
    group.selectAndFocus(index + step);
    ensureVisible(::GetFocus());
    return true;
}

void Win32Window::focusPanelAnswer(const Entry& panel)
{
    for (const Entry* inner : m_tabOrder) {
        if (inner->design.parent != panel.design.name || !isEffectivelyVisible(inner->handle))
            continue;
        if (isKind(inner->design, toolkit::ControlKind::RadioGroup)) {
            // An unanswered radio question: the group as a whole, nothing selected.
            const HWND selected = static_cast<const Win32RadioGroup&>(*inner->control).selectedButton();
            focusControl(selected ? selected : inner->handle, true);
            return;
        }
        if (const HWND target = focusTargetOf(*inner)) {
            focusControl(target, true);
            return;
        }
    }
}

bool Win32Window::handleAccessKey(wchar_t key)
{
    if (key == 0 || m_tabOrder.empty())
        return false;
    // The first match after the focused control, as dialogs cycle through
    // controls that share a key.
    const auto count = static_cast<int>(m_tabOrder.size());
    const Entry* current = entryOwningFocus(::GetFocus());
    int start = 0;
    for (int i = 0; i < count; ++i) {
        if (m_tabOrder[static_cast<std::size_t>(i)] == current)
            start = i + 1;
    }
    for (int step = 0; step < count; ++step) {
        const Entry& entry = *m_tabOrder[static_cast<std::size_t>((start + step) % count)];
        if (!isEffectivelyVisible(entry.handle))
            continue;
        if (isKind(entry.design, toolkit::ControlKind::GroupBox)
            && static_cast<const Win32GroupBox&>(*entry.control).accessKey() == key) {
            focusPanelAnswer(entry);
            return true;
        }
        if (isKind(entry.design, toolkit::ControlKind::RadioGroup)) {
            auto& group = static_cast<Win32RadioGroup&>(*entry.control);
            for (std::size_t i = 0; i < group.items().size(); ++i) {
                if (accessKeyOf(windowText(group.items()[i])) == key) {
                    group.selectAndFocus(static_cast<int>(i));
                    ensureVisible(group.items()[i]);
                    return true;
                }
            }
        }
    }
    return false;
}

bool Win32Window::preTranslateMessage(const MSG& message)
{
    if (!ownsWindow(message.hwnd))
        return false;
    const HWND focus = ::GetFocus();
    if (message.message == WM_SYSCHAR)
        return handleAccessKey(upperCase(static_cast<wchar_t>(message.wParam)));
    if (message.message != WM_KEYDOWN)
        return false;

    const bool shift = keyHeld(VK_SHIFT);
    const bool control = keyHeld(VK_CONTROL);
    const bool alt = keyHeld(VK_MENU);
    switch (message.wParam) {
    case VK_TAB:
        if (control || alt)
            return false;
        moveFocus(shift);
        return true;
    case VK_LEFT:
    case VK_UP:
        return !shift && !control && !alt && handleArrow(focus, -1);
    case VK_RIGHT:
    case VK_DOWN:
        return !shift && !control && !alt && handleArrow(focus, 1);
    case VK_RETURN: {
        // Enter presses the send button only while it has the focus; it is
        // no default button, so Enter elsewhere does nothing.
        const Entry* entry = entryOf(focus);
        const bool repeated = (message.lParam & (1 << 30)) != 0;
        if (entry && isKind(entry->design, toolkit::ControlKind::Button) && !shift && !control && !alt && !repeated)
            static_cast<Win32Button&>(*entry->control).click();
        return true;
    }
    case VK_ESCAPE:
        return true; // nothing to cancel
    default:
        return false;
    }
}

} // namespace mirunea::win32
