#pragma once

#include <windows.h>

#include <string>

// Screen readers (MSAA): each control window answers WM_GETOBJECT with an
// IAccessible of its own that gives its name, role and state, and those of
// the items drawn inside it (radio items, check-list rows) as child
// elements 1 to n. Everything else (place, parent, navigation, value) comes
// from the system's standard object for the window. oleacc.dll is loaded on
// the first request, so a program nobody reads pays nothing at start.
namespace mirunea::win32 {

// What a control tells about itself (child 0) and its items (1 to n).
class AccessibleSource
{
public:
    virtual ~AccessibleSource() = default;
    [[nodiscard]] virtual std::wstring accessibleName(long child) const = 0;
    [[nodiscard]] virtual long accessibleRole(long child) const = 0;
    // States beyond the window's own (shown, focused, enabled): checked,
    // selected, and an item's focus.
    [[nodiscard]] virtual long accessibleState(long child) const = 0;
    [[nodiscard]] virtual long accessibleChildCount() const { return 0; }
    // An item's place on the screen; false for none.
    [[nodiscard]] virtual bool accessibleChildPlace(long /*child*/, RECT& /*screen*/) const { return false; }
};

// Subclasses the window to answer WM_GETOBJECT for its client object from
// source, which must outlive the window's handle.
void makeAccessible(HWND window, const AccessibleSource& source);

// A caption as read out: "&" marks taken out, "&&" as one "&".
[[nodiscard]] std::wstring withoutAccessKeyMarks(const std::wstring& caption);

} // namespace mirunea::win32
