#include "app/toolkit/win32/win32_window.h"

#include "app/toolkit/design_look.h"
#include "app/toolkit/failure_report.h"
#include "app/toolkit/win32/container_window.h"
#include "app/toolkit/win32/dpi.h"
#include "app/toolkit/win32/win32_application.h"
#include "app/toolkit/win32/win32_text.h"
#include "app/toolkit/window_rules.h"

#include <algorithm>
#include <stdexcept>

namespace mirunea::win32 {

namespace {

constexpr const wchar_t* kFrameClass = L"MiruneaForm";
constexpr COLORREF kSilver = RGB(toolkit::design::kSilver.red, toolkit::design::kSilver.green,
                                 toolkit::design::kSilver.blue);
constexpr int kWheelStep = 48; // at 96 dots per inch
// A long cut text wraps at about a panel's width rather than run off the screen.
constexpr int kTipWidth = 480; // at 96 dots per inch

void registerFrameClassOnce(WNDPROC procedure)
{
    static const ATOM atom = [procedure] {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIconId));
        windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kApplicationIconId),
                                                              IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                              ::GetSystemMetrics(SM_CYSMICON), 0));
        windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kFrameClass;
        return ::RegisterClassExW(&windowClass);
    }();
    static_cast<void>(atom);
}

[[nodiscard]] bool isKind(const toolkit::ControlSpec& design, toolkit::ControlKind kind)
{
    return design.kind == kind;
}

} // namespace

Win32Window::Win32Window(const toolkit::WindowSpec& design, Win32Application& app)
    : m_app(app)
    , m_design(design)
    , m_background(RGB(design.background.red, design.background.green, design.background.blue))
{
    registerFrameClassOnce(&Win32Window::frameProc);
    // Placed as designed, not centred; the frame is resizable, normal state.
    m_frame = ::CreateWindowExW(0, kFrameClass, toWide(design.caption).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                design.left, design.top, design.outerWidth, design.outerHeight, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    if (!m_frame)
        throw std::runtime_error("cannot create the main window");
    // Its density is known once it exists, on its monitor; still hidden, it
    // takes the place and size scaled to it, fitted to the monitor's work area.
    m_dpi = windowDpi(m_frame);
    const toolkit::WindowSpec placed = toolkit::rules::scaled(design, m_dpi);
    placeFrame({placed.left, placed.top, placed.outerWidth, placed.outerHeight});
    m_cutTextTips = std::make_unique<CutTextTips>(m_frame);
    RECT client{};
    ::GetClientRect(m_frame, &client);
    m_client = createContainer(ContainerKind::ClientArea, m_frame, client, m_background,
                               m_app.font(toolkit::rules::scaled(design.fontPixels, m_dpi), false), nullptr, m_dpi);
    m_containerColours[m_client] = m_background;
    m_app.setMainWindow(m_frame);
}

Win32Window::~Win32Window()
{
    if (::IsWindow(m_frame)) {
        ::SetWindowLongPtrW(m_frame, GWLP_USERDATA, 0);
        ::DestroyWindow(m_frame);
    }
}

// The controls exist at once; each one's window is made when first needed
// (Win32Control), with the state given to the control until then.
std::unique_ptr<toolkit::Control> Win32Window::makeControl(const toolkit::ControlSpec& design)
{
    switch (design.kind) {
    case toolkit::ControlKind::Label:
        return std::make_unique<Win32Label>(*this);
    case toolkit::ControlKind::Edit:
        return std::make_unique<Win32Edit>(*this);
    case toolkit::ControlKind::GroupBox:
        return std::make_unique<Win32GroupBox>(*this);
    case toolkit::ControlKind::RadioGroup:
        return std::make_unique<Win32RadioGroup>(*this);
    case toolkit::ControlKind::CheckListBox:
        return std::make_unique<Win32CheckListBox>(*this);
    case toolkit::ControlKind::Button:
        return std::make_unique<Win32Button>(*this);
    }
    throw std::logic_error("unknown control kind");
}

toolkit::Control& Win32Window::addControl(const toolkit::ControlSpec& design)
{
    Entry* parent = nullptr;
    if (!design.parent.empty()) {
        const auto found = m_byName.find(design.parent);
        if (found == m_byName.end())
            throw std::logic_error("no parent named " + design.parent);
        parent = found->second;
    }
    auto entry = std::make_unique<Entry>(Entry{design, parent, makeControl(design), nullptr});
    Entry* added = entry.get();
    added->native = dynamic_cast<Win32Control*>(added->control.get());
    m_entries.push_back(std::move(entry));
    m_byName.emplace(design.name, added);
    m_byControl.emplace(added->native, added);
    return *added->control;
}

HWND Win32Window::createHandle(const Entry& entry, HWND parent, COLORREF parentColour)
{
    const toolkit::ControlSpec design = toolkit::rules::scaled(entry.design, m_dpi);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const HFONT font = m_app.font(design.fontPixels, design.bold);
    const RECT place{design.left, design.top, design.left + design.width, design.top + design.height};
    const bool visible = entry.native->isShownBeforeCreation();
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    const std::wstring& text = entry.native->textBeforeCreation();
    const COLORREF background = design.background == toolkit::Background::Silver ? kSilver : parentColour;
    HWND handle = nullptr;
    switch (design.kind) {
    case toolkit::ControlKind::Label: {
        // Made at its caption's size; no SS_NOTIFY: its access key is drawn
        // but, with no dialog manager behind it, moves no focus.
        const bool fitted = static_cast<const Win32Label&>(*entry.control).isSizedToCaption();
        const CaptionSize size = fitted ? captionSize(font, text) : CaptionSize{design.width, design.height};
        handle = ::CreateWindowExW(0, L"STATIC", text.c_str(), child | SS_LEFTNOWORDWRAP, design.left, design.top,
                                   size.width, size.height, parent, nullptr, instance, nullptr);
        break;
    }
    case toolkit::ControlKind::Edit:
        handle = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                                   child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, design.left, design.top, design.width,
                                   design.height, parent, nullptr, instance, nullptr);
        // An edit takes 30,000 characters by default and drops the rest of a
        // paste without a word; 0 lifts the limit.
        if (handle)
            ::SendMessageW(handle, EM_SETLIMITTEXT, 0, 0);
        break;
    case toolkit::ControlKind::GroupBox:
        handle = createContainer(ContainerKind::Panel, parent, place, background, font, text.c_str(), m_dpi, visible);
        break;
    case toolkit::ControlKind::RadioGroup:
        handle = createContainer(ContainerKind::RadioFrame, parent, place, background, font, nullptr, m_dpi, visible);
        break;
    case toolkit::ControlKind::CheckListBox:
        handle = ::CreateWindowExW(
            WS_EX_CLIENTEDGE, L"LISTBOX", L"",
            child | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
            design.left, design.top, design.width, design.height, parent, nullptr, instance, nullptr);
        break;
    case toolkit::ControlKind::Button:
        // A plain push button, never the default one: Enter reaches it only
        // while it has the focus.
        handle = ::CreateWindowExW(0, L"BUTTON", text.c_str(), child | WS_TABSTOP | BS_PUSHBUTTON, design.left,
                                   design.top, design.width, design.height, parent, nullptr, instance, nullptr);
        break;
    }
    if (!handle)
        throw std::runtime_error("cannot create control " + design.name);
    ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return handle;
}

// What a control's window takes once it is made, beyond its style and text.
void Win32Window::configure(Entry& entry, HWND handle)
{
    const toolkit::ControlSpec placed = toolkit::rules::scaled(entry.design, m_dpi);
    switch (entry.design.kind) {
    case toolkit::ControlKind::Label:
    case toolkit::ControlKind::Edit:
    case toolkit::ControlKind::Button:
        setChildHandler(handle, dynamic_cast<ChildHandler*>(entry.control.get()));
        break;
    case toolkit::ControlKind::GroupBox:
        break;
    case toolkit::ControlKind::RadioGroup:
        static_cast<Win32RadioGroup&>(*entry.control).setFont(m_app.font(placed.fontPixels, placed.bold), m_dpi);
        break;
    case toolkit::ControlKind::CheckListBox:
        static_cast<Win32CheckListBox&>(*entry.control)
            .setItemHeight(toolkit::rules::checkListRowHeight(placed.fontPixels), m_dpi);
        break;
    }
    entry.native->attach(handle);
    if (const auto* source = dynamic_cast<const AccessibleSource*>(entry.control.get()))
        makeAccessible(handle, *source);
}

HWND Win32Window::createWindowOf(const Win32Control& control)
{
    const auto found = m_byControl.find(&control);
    if (found == m_byControl.end())
        throw std::logic_error("a control of another window");
    Entry& entry = *found->second;
    if (const HWND existing = entry.handle())
        return existing;
    const HWND parent = entry.parent ? entry.parent->native->handle() : m_client;
    const auto colour = m_containerColours.find(parent);
    const COLORREF parentColour = colour != m_containerColours.end() ? colour->second : m_background;

    const HWND handle = createHandle(entry, parent, parentColour);
    if (isKind(entry.design, toolkit::ControlKind::GroupBox) || isKind(entry.design, toolkit::ControlKind::RadioGroup))
        m_containerColours[handle] = entry.design.background == toolkit::Background::Silver ? kSilver : parentColour;
    m_byHandle.emplace(handle, &entry);
    configure(entry, handle);
    if (m_layoutFinished)
        placeInStack(entry, true);
    // Made one after another, they take their scroll range once, after the last.
    if (!m_creatingShown)
        updateExtent();
    return handle;
}

bool Win32Window::isToBeSeen(const Entry& entry) const
{
    for (const Entry* current = &entry; current; current = current->parent) {
        if (const HWND handle = current->handle())
            return isEffectivelyVisible(handle);
        if (!current->native->isShownBeforeCreation())
            return false;
    }
    return true;
}

void Win32Window::createShownWindows()
{
    if (m_creatingShown)
        return;
    struct Creating
    {
        bool& flag;
        explicit Creating(bool& creating)
            : flag(creating)
        {
            flag = true;
        }
        ~Creating() { flag = false; }
        Creating(const Creating&) = delete;
        Creating& operator=(const Creating&) = delete;
    } creating(m_creatingShown);
    // Parents first, as added.
    for (const auto& entry : m_entries) {
        if (!entry->handle() && isToBeSeen(*entry))
            static_cast<void>(entry->native->handle());
    }
}

std::vector<toolkit::ControlSpec> Win32Window::designs() const
{
    std::vector<toolkit::ControlSpec> designs;
    designs.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        designs.push_back(entry->design);
    return designs;
}

void Win32Window::finishLayout()
{
    const std::vector<toolkit::ControlSpec> all = designs();
    m_focusChain.clear();
    for (std::size_t index : toolkit::rules::focusChain(all))
        m_focusChain.push_back(m_entries[index].get());

    // Each container's children stacked as the rules say, topmost first.
    m_stacking.clear();
    for (const std::string& parent : toolkit::rules::containers(all)) {
        auto& stack = m_stacking[parent.empty() ? nullptr : m_byName.at(parent)];
        for (std::size_t index : toolkit::rules::stackingTopToBottom(all, parent))
            stack.push_back(m_entries[index].get());
    }
    m_layoutFinished = true;
    for (const auto& entry : m_entries) {
        if (entry->handle())
            placeInStack(*entry, false);
    }
}

void Win32Window::placeInStack(const Entry& entry, bool justMade)
{
    const auto found = m_stacking.find(entry.parent);
    if (found == m_stacking.end())
        return;
    const std::vector<const Entry*>& stack = found->second;
    const auto place = std::find(stack.begin(), stack.end(), &entry);
    if (place == stack.end())
        return;
    // Beneath the nearest made sibling above it, or on top.
    HWND above = HWND_TOP;
    for (auto it = place; it != stack.begin();) {
        --it;
        if (const HWND handle = (*it)->handle()) {
            above = handle;
            break;
        }
    }
    // Windows puts a child window it makes beneath its siblings: where it
    // belongs when no made sibling is to lie beneath it.
    const bool lowest = std::none_of(place + 1, stack.end(), [](const Entry* below) { return below->handle(); });
    if (justMade && lowest && !::GetWindow(entry.handle(), GW_HWNDNEXT))
        return;
    ::SetWindowPos(entry.handle(), above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

toolkit::Control* Win32Window::findControl(std::string_view name)
{
    const auto found = m_byName.find(name);
    return found == m_byName.end() ? nullptr : found->second->control.get();
}

HWND Win32Window::handleOf(std::string_view name) const
{
    const auto found = m_byName.find(name);
    return found == m_byName.end() ? nullptr : found->second->native->handle();
}

void Win32Window::controlVisibilityChanged()
{
    // Once the frame is shown, a control shown in a shown container is made.
    if (m_shown)
        createShownWindows();
    updateExtent();
    updateCutTextTips();
}

void Win32Window::controlTextChanged()
{
    updateCutTextTips();
}

void Win32Window::updateCutTextTips()
{
    // Measured once the frame is shown, as the scroll range is.
    if (!m_shown)
        return;
    std::vector<CutText> texts;
    for (const auto& entry : m_entries) {
        if (entry->handle())
            entry->native->collectCutTexts(m_dpi, texts);
    }
    m_cutTextTips->set(texts, toolkit::rules::scaled(kTipWidth, m_dpi));
}

void Win32Window::placeFrame(const toolkit::rules::Rect& wanted)
{
    toolkit::rules::Rect work{0, 0, 0, 0};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromPoint({wanted.left, wanted.top}, MONITOR_DEFAULTTONEAREST), &monitor))
        work = {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right - monitor.rcWork.left,
                monitor.rcWork.bottom - monitor.rcWork.top};
    const toolkit::rules::Rect fitted = toolkit::rules::fitFrame(wanted, work);
    RECT current{};
    ::GetWindowRect(m_frame, &current);
    if (fitted
        != toolkit::rules::Rect{current.left, current.top, current.right - current.left, current.bottom - current.top})
        ::SetWindowPos(m_frame, nullptr, fitted.left, fitted.top, fitted.width, fitted.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::deliverClick(const std::function<void()>& handler)
{
    deliverEvent(m_app, handler);
}

void Win32Window::applyDpi(int dpi)
{
    if (dpi <= 0 || dpi == m_dpi)
        return;
    const int previous = m_dpi;
    m_dpi = dpi;
    ::SendMessageW(m_client, WM_SETFONT,
                   reinterpret_cast<WPARAM>(m_app.font(toolkit::rules::scaled(m_design.fontPixels, dpi), false)),
                   FALSE);
    setContainerDpi(m_client, dpi);
    // Parents first, as created: a radio group's items are placed in its
    // frame's new size.
    // Windows not made yet are made at the new density.
    for (const auto& entry : m_entries) {
        const HWND handle = entry->handle();
        if (!handle)
            continue;
        const toolkit::ControlSpec placed = toolkit::rules::scaled(entry->design, dpi);
        const HFONT font = m_app.font(placed.fontPixels, placed.bold);
        ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SetWindowPos(handle, nullptr, placed.left, placed.top, placed.width, placed.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        switch (entry->design.kind) {
        case toolkit::ControlKind::Label:
            static_cast<Win32Label&>(*entry->control).fitToCaption();
            break;
        case toolkit::ControlKind::GroupBox:
            setContainerDpi(handle, dpi);
            break;
        case toolkit::ControlKind::RadioGroup:
            setContainerDpi(handle, dpi);
            static_cast<Win32RadioGroup&>(*entry->control).setFont(font, dpi);
            break;
        case toolkit::ControlKind::CheckListBox:
            static_cast<Win32CheckListBox&>(*entry->control)
                .setItemHeight(toolkit::rules::checkListRowHeight(placed.fontPixels), dpi);
            break;
        case toolkit::ControlKind::Edit:
        case toolkit::ControlKind::Button:
            break;
        }
    }
    // The same part of the sheet stays in view.
    m_scroll = {::MulDiv(m_scroll.x, dpi, previous), ::MulDiv(m_scroll.y, dpi, previous)};
    updateExtent();
    updateScrollBars();
    updateCutTextTips();
    ::RedrawWindow(m_frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::show()
{
    m_shown = true;
    createShownWindows();
    updateExtent();
    updateCutTextTips();
    ::ShowWindow(m_frame, SW_SHOWNORMAL);
    ::UpdateWindow(m_frame);
    if (!ownsWindow(::GetFocus()))
        focusFirst();
}

Win32Window::Entry* Win32Window::entryOf(HWND handle) const
{
    const auto found = m_byHandle.find(handle);
    return found == m_byHandle.end() ? nullptr : found->second;
}

// The control that holds the focus: a radio item stands for its group.
Win32Window::Entry* Win32Window::entryOwningFocus(HWND focus) const
{
    if (Entry* entry = entryOf(focus))
        return entry;
    return focus ? entryOf(::GetParent(focus)) : nullptr;
}

bool Win32Window::ownsWindow(HWND handle) const
{
    return handle && (handle == m_frame || ::IsChild(m_frame, handle));
}

// Visible as far as the window's own content goes, shown frame or not.
bool Win32Window::isEffectivelyVisible(HWND handle) const
{
    if (!handle)
        return false;
    for (HWND current = handle; current && current != m_client; current = ::GetParent(current)) {
        if (!(::GetWindowLongW(current, GWL_STYLE) & WS_VISIBLE))
            return false;
    }
    return true;
}

LRESULT CALLBACK Win32Window::frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->m_client)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return self->handleFrameMessage(message, wParam, lParam);
}

LRESULT Win32Window::handleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        updateScrollBars();
        return 0;
    case WM_HSCROLL:
        scroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        scroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        scrollTo(m_scroll.x,
                 m_scroll.y - GET_WHEEL_DELTA_WPARAM(wParam) * toolkit::rules::scaled(kWheelStep, m_dpi) / WHEEL_DELTA);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the content window covers the client area
    case WM_DPICHANGED: {
        // Moved to a monitor of another density: the layout follows, and the
        // frame takes the place Windows suggests for it, fitted to that
        // monitor's work area.
        applyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        placeFrame(
            {suggested->left, suggested->top, suggested->right - suggested->left, suggested->bottom - suggested->top});
        return 0;
    }
    case WM_ACTIVATE:
        // As dialogs do: keep the focused control while inactive, give it back after.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (ownsWindow(focus) && focus != m_frame)
                m_lastFocus = focus;
        } else if (!::IsIconic(m_frame)) {
            if (m_lastFocus && ::IsWindow(m_lastFocus) && isEffectivelyVisible(m_lastFocus))
                ::SetFocus(m_lastFocus);
            else
                focusFirst();
        }
        return 0;
    case WM_SETFOCUS:
        // The frame itself takes no keys: pass the focus on to a control.
        focusFirst();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(m_frame, message, wParam, lParam);
    }
}

} // namespace mirunea::win32
