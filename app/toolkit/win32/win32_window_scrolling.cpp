#include "app/toolkit/win32/win32_window.h"

#include "app/toolkit/window_rules.h"

#include <algorithm>

// The client area scrolls: one content window holds the controls and moves
// under the frame; the scroll bars come and go with the visible extent.
namespace mirunea::win32 {

namespace {
constexpr int kLineStep = 16; // at 96 dots per inch
} // namespace

void Win32Window::updateExtent()
{
    // Nobody sees the scroll bars before the frame is first shown: one
    // reckoning then, not one per control created, captioned, shown or hidden.
    if (!m_shown)
        return;
    std::vector<toolkit::rules::Rect> visible;
    for (const auto& entry : m_entries) {
        if (!entry->design.parent.empty() || !entry->handle()
            || !(::GetWindowLongW(entry->handle(), GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT place{};
        ::GetWindowRect(entry->handle(), &place);
        ::MapWindowPoints(HWND_DESKTOP, m_client, reinterpret_cast<POINT*>(&place), 2);
        visible.push_back({place.left, place.top, place.right - place.left, place.bottom - place.top});
    }
    const toolkit::rules::Size range = toolkit::rules::scrollRange(visible);
    if (range.width == m_extent.cx && range.height == m_extent.cy)
        return;
    m_extent = {range.width, range.height};
    updateScrollBars();
}

void Win32Window::updateScrollBars()
{
    if (m_updatingScrollBars)
        return;
    m_updatingScrollBars = true;
    // Showing one bar narrows the client area, which may call for the other.
    for (int pass = 0; pass < 3; ++pass) {
        RECT client{};
        ::GetClientRect(m_frame, &client);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = std::max<LONG>(0, m_extent.cx - 1);
        info.nPage = static_cast<UINT>(client.right);
        ::SetScrollInfo(m_frame, SB_HORZ, &info, TRUE);
        info.nMax = std::max<LONG>(0, m_extent.cy - 1);
        info.nPage = static_cast<UINT>(client.bottom);
        ::SetScrollInfo(m_frame, SB_VERT, &info, TRUE);
        RECT after{};
        ::GetClientRect(m_frame, &after);
        if (after.right == client.right && after.bottom == client.bottom)
            break;
    }
    m_updatingScrollBars = false;
    scrollTo(m_scroll.x, m_scroll.y);
}

void Win32Window::scrollTo(int x, int y)
{
    RECT client{};
    ::GetClientRect(m_frame, &client);
    x = std::clamp<int>(x, 0, std::max<int>(0, m_extent.cx - client.right));
    y = std::clamp<int>(y, 0, std::max<int>(0, m_extent.cy - client.bottom));
    m_scroll = {x, y};
    ::SetScrollPos(m_frame, SB_HORZ, x, TRUE);
    ::SetScrollPos(m_frame, SB_VERT, y, TRUE);
    // The content window covers the whole client area however small the extent.
    const int width = std::max<int>(m_extent.cx, client.right + x);
    const int height = std::max<int>(m_extent.cy, client.bottom + y);
    ::SetWindowPos(m_client, nullptr, -x, -y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::scroll(int bar, WORD request)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_frame, bar, &info);
    int position = info.nPos;
    switch (request) {
    case SB_LINEUP:
        position -= toolkit::rules::scaled(kLineStep, m_dpi);
        break;
    case SB_LINEDOWN:
        position += toolkit::rules::scaled(kLineStep, m_dpi);
        break;
    case SB_PAGEUP:
        position -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        position += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    default:
        return;
    }
    if (bar == SB_HORZ)
        scrollTo(position, m_scroll.y);
    else
        scrollTo(m_scroll.x, position);
}

void Win32Window::ensureVisible(HWND control)
{
    if (!control)
        return;
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(HWND_DESKTOP, m_client, reinterpret_cast<POINT*>(&place), 2);
    RECT client{};
    ::GetClientRect(m_frame, &client);
    int x = m_scroll.x;
    int y = m_scroll.y;
    if (place.right > x + client.right)
        x = place.right - client.right;
    if (place.left < x)
        x = place.left;
    if (place.bottom > y + client.bottom)
        y = place.bottom - client.bottom;
    if (place.top < y)
        y = place.top;
    if (x != m_scroll.x || y != m_scroll.y)
        scrollTo(x, y);
}

} // namespace mirunea::win32
