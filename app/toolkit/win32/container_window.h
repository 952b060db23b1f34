#pragma once

#include <windows.h>

// The windows that hold controls: the scrolled client area of the form, the
// question panels and the frames of the radio groups. They paint their own
// background and pass their children's notifications to the children's
// handlers (ChildHandler in GWLP_USERDATA of the child).
namespace mirunea::win32 {

enum class ContainerKind { ClientArea, Panel, RadioFrame };

class ChildHandler
{
public:
    virtual ~ChildHandler() = default;
    virtual void onCommand(WORD /*notification*/) { }
    virtual void onDrawItem(const DRAWITEMSTRUCT& /*item*/) { }
};

void setChildHandler(HWND child, ChildHandler* handler);

// A new container; its font, caption (panels), colour, the density its frame
// is drawn at and whether it is shown are set at once.
[[nodiscard]] HWND createContainer(ContainerKind kind, HWND parent, const RECT& place, COLORREF background, HFONT font,
                                   const wchar_t* caption, int dpi, bool visible = true);
// The density the frame and caption margins are drawn at, after a move to
// another monitor; repaints.
void setContainerDpi(HWND container, int dpi);

} // namespace mirunea::win32
