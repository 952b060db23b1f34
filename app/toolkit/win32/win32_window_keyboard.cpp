#include "app/toolkit/win32/win32_window.h"

#include "app/toolkit/win32/win32_text.h"
#include "app/toolkit/window_rules.h"

#include <stdexcept>

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
    if (!isEffectivelyVisible(entry.handle()))
        return nullptr;
    switch (entry.design.kind) {
    case toolkit::ControlKind::Edit:
    case toolkit::ControlKind::CheckListBox:
    case toolkit::ControlKind::Button:
        return entry.handle();
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

std::size_t Win32Window::indexOf(const Entry& entry) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].get() == &entry)
            return i;
    }
    throw std::logic_error("control not in this window");
}

std::optional<std::size_t> Win32Window::focusedPlace() const
{
    const Entry* current = entryOwningFocus(::GetFocus());
    for (std::size_t place = 0; place < m_focusChain.size(); ++place) {
        if (m_focusChain[place] == current)
            return place;
    }
    return std::nullopt;
}

void Win32Window::focusFirst()
{
    const auto takesFocus = [this](std::size_t place) { return focusTargetOf(*m_focusChain[place]) != nullptr; };
    if (const auto place = toolkit::rules::firstFocus(m_focusChain.size(), takesFocus))
        focusControl(focusTargetOf(*m_focusChain[*place]), true);
}

void Win32Window::moveFocus(bool backwards)
{
    const auto takesFocus = [this](std::size_t place) { return focusTargetOf(*m_focusChain[place]) != nullptr; };
    if (const auto place = toolkit::rules::nextFocus(m_focusChain.size(), focusedPlace(), backwards, takesFocus))
        focusControl(focusTargetOf(*m_focusChain[*place]), true);
}

bool Win32Window::handleArrow(HWND focus, int step)
{
    // An item of a radio group, or the group itself (reached by its panel's
    // access key).
    Entry* entry = entryOwningFocus(focus);
    if (!entry || !isKind(entry->design, toolkit::ControlKind::RadioGroup))
        return false;
    auto& group = static_cast<Win32RadioGroup&>(*entry->control);
    const int index = group.indexOf(focus);
    const auto reached = toolkit::rules::radioArrow(static_cast<int>(group.items().size()),
                                                    index < 0 ? std::nullopt : std::optional<int>(index), step);
    if (reached) {
        group.selectAndFocus(*reached);
        ensureVisible(::GetFocus());
    }
    return true;
}

void Win32Window::focusPanelAnswer(const Entry& answer)
{
    if (isKind(answer.design, toolkit::ControlKind::RadioGroup)) {
        // An unanswered radio question: the group as a whole, nothing selected.
        const HWND selected = static_cast<const Win32RadioGroup&>(*answer.control).selectedButton();
        focusControl(selected ? selected : answer.handle(), true);
    } else if (const HWND target = focusTargetOf(answer)) {
        focusControl(target, true);
    }
}

bool Win32Window::handleAccessKey(wchar_t key)
{
    const Entry* focused = entryOwningFocus(::GetFocus());
    toolkit::rules::AccessKeyCandidates candidates;
    candidates.isShown = [this](std::size_t index) { return isEffectivelyVisible(m_entries[index]->handle()); };
    candidates.panelKey = [this](std::size_t index) {
        return static_cast<char16_t>(static_cast<const Win32GroupBox&>(*m_entries[index]->control).accessKey());
    };
    candidates.radioItemKeys = [this](std::size_t index) {
        std::vector<char16_t> keys;
        for (HWND item : static_cast<const Win32RadioGroup&>(*m_entries[index]->control).items())
            keys.push_back(static_cast<char16_t>(accessKeyOf(windowText(item))));
        return keys;
    };
    const auto target = toolkit::rules::accessKeyTarget(
        designs(), static_cast<char16_t>(key), focused ? std::optional<std::size_t>(indexOf(*focused)) : std::nullopt,
        candidates);
    Entry& entry = *m_entries[target.control];
    switch (target.kind) {
    case toolkit::rules::AccessKeyTarget::Kind::Nothing:
        return false;
    case toolkit::rules::AccessKeyTarget::Kind::PanelAnswer:
        if (target.answer)
            focusPanelAnswer(*m_entries[*target.answer]);
        return true;
    case toolkit::rules::AccessKeyTarget::Kind::RadioItem: {
        auto& group = static_cast<Win32RadioGroup&>(*entry.control);
        group.selectAndFocus(target.item);
        ensureVisible(group.items()[static_cast<std::size_t>(target.item)]);
        return true;
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
        return handleAccessKey(static_cast<wchar_t>(message.wParam));
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
