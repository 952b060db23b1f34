#include "app/toolkit/win32/container_window.h"

#include "app/toolkit/window_rules.h"

#include <stdexcept>
#include <string>

namespace mirunea::win32 {

namespace {

constexpr const wchar_t* kClassName = L"MiruneaContainer";

struct ContainerData
{
    ContainerKind kind;
    COLORREF background;
    HBRUSH brush;
    HFONT font;
    int dpi;
};

ContainerData* dataOf(HWND window)
{
    return reinterpret_cast<ContainerData*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

ChildHandler* handlerOf(HWND child)
{
    return child ? reinterpret_cast<ChildHandler*>(::GetWindowLongPtrW(child, GWLP_USERDATA)) : nullptr;
}

[[nodiscard]] int fontHeight(HDC dc)
{
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

// A group box: an etched frame whose top runs through the caption's middle,
// the caption (access key underlined) on the panel's colour.
void paintPanel(HWND window, HDC dc, const ContainerData& data)
{
    RECT client{};
    ::GetClientRect(window, &client);
    const HGDIOBJ oldFont = ::SelectObject(dc, data.font);
    const int textHeight = fontHeight(dc);
    RECT frame = client;
    frame.top = textHeight / 2;
    ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

    const std::wstring caption = [&] {
        const int length = ::GetWindowTextLengthW(window);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
        return text;
    }();
    if (!caption.empty()) {
        const int captionLeft = toolkit::rules::scaled(toolkit::rules::kPanelCaptionLeft, data.dpi);
        const int padding = toolkit::rules::scaled(toolkit::rules::kPanelCaptionPadding, data.dpi);
        RECT measured{0, 0, 0, 0};
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
        RECT captionRect{captionLeft, 0, captionLeft + measured.right + 2 * padding, textHeight};
        ::FillRect(dc, &captionRect, data.brush);
        captionRect.left += padding;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &captionRect,
                    DT_SINGLELINE | DT_LEFT | DT_VCENTER);
    }
    ::SelectObject(dc, oldFont);
}

// A caption-less frame; a focus mark while it has the focus itself (from its
// panel's access key, before any item is chosen).
void paintRadioFrame(HWND window, HDC dc, const ContainerData& data)
{
    RECT frame{};
    ::GetClientRect(window, &frame);
    frame.top = toolkit::rules::scaled(7, data.dpi);
    ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (::GetFocus() == window) {
        const int inset = toolkit::rules::scaled(3, data.dpi);
        ::InflateRect(&frame, -inset, -inset);
        ::DrawFocusRect(dc, &frame);
    }
}

LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ContainerData* data = dataOf(window);
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_NCDESTROY:
        if (data) {
            ::DeleteObject(data->brush);
            delete data;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        }
        break;
    case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(window, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, data->brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = ::BeginPaint(window, &paint);
        if (data->kind == ContainerKind::Panel)
            paintPanel(window, dc, *data);
        else if (data->kind == ContainerKind::RadioFrame)
            paintRadioFrame(window, dc, *data);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        ::InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_SETFONT:
        data->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(data->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (data->kind == ContainerKind::RadioFrame)
            ::InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Labels and radio buttons take the colour of what holds them.
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, data->background);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(data->brush);
    }
    case WM_COMMAND:
        if (ChildHandler* handler = handlerOf(reinterpret_cast<HWND>(lParam)))
            handler->onCommand(HIWORD(wParam));
        return 0;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (ChildHandler* handler = handlerOf(item->hwndItem)) {
            handler->onDrawItem(*item);
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void registerClassOnce()
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = containerProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass);
    }();
    static_cast<void>(atom);
}

} // namespace

void setChildHandler(HWND child, ChildHandler* handler)
{
    ::SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
}

HWND createContainer(ContainerKind kind, HWND parent, const RECT& place, COLORREF background, HFONT font,
                     const wchar_t* caption, int dpi, bool visible)
{
    registerClassOnce();
    auto* data = new ContainerData{kind, background, ::CreateSolidBrush(background), font, dpi};
    const HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, caption ? caption : L"",
                                          WS_CHILD | (visible ? WS_VISIBLE : 0) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                          place.left, place.top, place.right - place.left, place.bottom - place.top,
                                          parent, nullptr, ::GetModuleHandleW(nullptr), data);
    if (!window)
        throw std::runtime_error("cannot create a container window");
    return window;
}

void setContainerDpi(HWND container, int dpi)
{
    if (ContainerData* data = dataOf(container)) {
        data->dpi = dpi;
        ::InvalidateRect(container, nullptr, TRUE);
    }
}

} // namespace mirunea::win32
