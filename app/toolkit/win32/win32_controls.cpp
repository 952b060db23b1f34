#include "app/toolkit/win32/win32_controls.h"

#include "app/toolkit/text_rules.h"
#include "app/toolkit/win32/dpi.h"
#include "app/toolkit/win32/win32_text.h"
#include "app/toolkit/window_rules.h"

#include <imm.h>

#include <algorithm>

namespace mirunea::win32 {

namespace {

// One memory DC for every measurement: a window's DC costs Wine several
// server round trips each time, and the extent depends on the font alone.
HDC measuringDc()
{
    static const HDC dc = ::CreateCompatibleDC(nullptr);
    return dc;
}

[[nodiscard]] HFONT fontOf(HWND window)
{
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

} // namespace

CaptionSize captionSize(HFONT font, const std::wstring& text)
{
    const HDC dc = measuringDc();
    const HGDIOBJ oldFont = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT measured{0, 0, 0, 0};
    if (!text.empty())
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, oldFont);
    return {measured.right, std::max<int>(measured.bottom, metrics.tmHeight)};
}

std::wstring Win32Control::currentText() const
{
    return m_window ? windowText(m_window) : m_textBeforeCreation;
}

void Win32Control::setCurrentText(const std::wstring& text)
{
    if (m_window)
        ::SetWindowTextW(m_window, text.c_str());
    else
        m_textBeforeCreation = text;
}

// Before its window is made, a control only notes whether it is to be shown;
// the window makes what is to be seen once it is shown itself.
template<class Interface>
void WindowControl<Interface>::show()
{
    if (m_window)
        ::ShowWindow(m_window, SW_SHOWNA);
    else
        m_shownBeforeCreation = true;
    m_host.controlVisibilityChanged();
}

template<class Interface>
void WindowControl<Interface>::hide()
{
    if (!m_window) {
        m_shownBeforeCreation = false;
        return;
    }
    const HWND focus = ::GetFocus();
    const bool hadFocus = focus == m_window || ::IsChild(m_window, focus);
    ::ShowWindow(m_window, SW_HIDE);
    // Windows leaves the focus on a hidden control; the window passes it on
    // to the first control still shown.
    if (hadFocus)
        ::SetFocus(::GetAncestor(m_window, GA_ROOT));
    m_host.controlVisibilityChanged();
}

template<class Interface>
void WindowControl<Interface>::setAccessibleName(const std::string& text)
{
    m_accessibleName = withoutAccessKeyMarks(toShownWide(text));
}

template<class Interface>
std::wstring WindowControl<Interface>::accessibleName(long /*child*/) const
{
    return m_accessibleName.empty() ? withoutAccessKeyMarks(currentText()) : m_accessibleName;
}

template<class Interface>
long WindowControl<Interface>::accessibleState(long /*child*/) const
{
    return (::GetWindowLongW(handle(), GWL_STYLE) & WS_TABSTOP) ? STATE_SYSTEM_FOCUSABLE : 0;
}

template class WindowControl<toolkit::Label>;
template class WindowControl<toolkit::GroupBox>;
template class WindowControl<toolkit::RadioGroup>;
template class WindowControl<toolkit::CheckListBox>;
template class WindowControl<toolkit::Edit>;
template class WindowControl<toolkit::Button>;

void Win32Label::setCaption(const std::string& text)
{
    m_sizedToCaption = true;
    setCurrentText(toShownWide(text));
    if (m_window)
        fitToCaption();
}

void Win32Label::fitToCaption()
{
    const CaptionSize size = captionSize(fontOf(m_window), windowText(m_window));
    ::SetWindowPos(m_window, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_window, nullptr, TRUE);
    m_host.controlVisibilityChanged();
}

void Win32GroupBox::setCaption(const std::string& text)
{
    setCurrentText(toShownWide(text));
    if (m_window)
        m_host.controlTextChanged();
}

void Win32GroupBox::collectCutTexts(int dpi, std::vector<CutText>& texts) const
{
    if (!m_window)
        return;
    RECT panel{};
    ::GetClientRect(m_window, &panel);
    // Measured with its marks, as the panel draws it.
    const CaptionSize caption = captionSize(fontOf(m_window), currentText());
    if (toolkit::rules::isCut(caption.width, toolkit::rules::panelCaptionRoom(panel.right, dpi)))
        texts.push_back({m_window, {0, 0, panel.right, caption.height}, withoutAccessKeyMarks(currentText())});
}

wchar_t Win32GroupBox::accessKey() const
{
    return accessKeyOf(currentText());
}

// Radio buttons: one column inside the frame, each as wide as its text (so a
// click beside the text selects nothing), spread over the height.
namespace {
constexpr int kButtonGap = 6; // between the circle and the text
} // namespace

void Win32RadioGroup::setFont(HFONT font, int dpi)
{
    m_font = font;
    m_dpi = dpi;
    if (!m_window)
        return;
    for (HWND item : m_items)
        ::SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    arrangeItems();
}

// The items given before the frame was made are made at their places.
void Win32RadioGroup::attach(HWND frame)
{
    WindowControl::attach(frame);
    const auto places = itemPlaces(m_itemsBeforeCreation);
    for (std::size_t i = 0; i < places.size(); ++i)
        createItem(m_itemsBeforeCreation[i], places[i]);
    m_itemsBeforeCreation.clear();
}

void Win32RadioGroup::appendItem(const std::string& text)
{
    if (!m_window) {
        m_itemsBeforeCreation.push_back(toShownWide(text));
        return;
    }
    createItem(toShownWide(text), {});
    arrangeItems();
    m_host.controlTextChanged();
}

void Win32RadioGroup::createItem(const std::wstring& text, const toolkit::rules::Rect& place)
{
    // Auto radio buttons check themselves on a click and clear the others of
    // the group (WS_GROUP on the first). None is a tab stop: the window's own
    // Tab handling goes to the selected one.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_AUTORADIOBUTTON;
    if (m_items.empty())
        style |= WS_GROUP;
    const HWND item = ::CreateWindowExW(0, L"BUTTON", text.c_str(), style, place.left, place.top, place.width,
                                        place.height, m_window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    m_items.push_back(item);
    m_itemSources.push_back(std::make_unique<ItemSource>(*this, static_cast<long>(m_items.size())));
    makeAccessible(item, *m_itemSources.back());
}

std::vector<int> Win32RadioGroup::itemWidths(const std::vector<std::wstring>& texts) const
{
    // The circle as the button draws it at this density.
    const int circle = systemMetricForDpi(SM_CXMENUCHECK, m_dpi);
    const int margins = toolkit::rules::scaled(kButtonGap, m_dpi) + toolkit::rules::scaled(2, m_dpi);
    std::vector<int> widths;
    for (const std::wstring& text : texts)
        widths.push_back(circle + margins + captionSize(m_font, text).width);
    return widths;
}

std::vector<toolkit::rules::Rect> Win32RadioGroup::itemPlaces(const std::vector<std::wstring>& texts) const
{
    RECT frame{};
    ::GetClientRect(m_window, &frame);
    return toolkit::rules::radioItemPlaces(frame.right, frame.bottom, itemWidths(texts), m_dpi);
}

void Win32RadioGroup::collectCutTexts(int /*dpi*/, std::vector<CutText>& texts) const
{
    std::vector<std::wstring> captions;
    for (HWND item : m_items)
        captions.push_back(windowText(item));
    const std::vector<int> widths = itemWidths(captions);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        RECT place{};
        ::GetClientRect(m_items[i], &place);
        if (toolkit::rules::isCut(widths[i], place.right))
            texts.push_back({m_items[i], place, withoutAccessKeyMarks(captions[i])});
    }
}

void Win32RadioGroup::arrangeItems()
{
    std::vector<std::wstring> texts;
    for (HWND item : m_items)
        texts.push_back(windowText(item));
    const auto places = itemPlaces(texts);
    for (std::size_t i = 0; i < m_items.size(); ++i)
        ::MoveWindow(m_items[i], places[i].left, places[i].top, places[i].width, places[i].height, TRUE);
}

int Win32RadioGroup::itemCount() const
{
    return static_cast<int>(m_window ? m_items.size() : m_itemsBeforeCreation.size());
}

// Items are made unchecked: nothing is chosen before the window is made.
std::optional<int> Win32RadioGroup::selectedItem() const
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (::SendMessageW(m_items[i], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

HWND Win32RadioGroup::selectedButton() const
{
    const auto selected = selectedItem();
    return selected ? m_items[static_cast<std::size_t>(*selected - 1)] : nullptr;
}

int Win32RadioGroup::indexOf(HWND item) const
{
    const auto found = std::find(m_items.begin(), m_items.end(), item);
    return found == m_items.end() ? -1 : static_cast<int>(found - m_items.begin());
}

std::wstring Win32RadioGroup::accessibleName(long child) const
{
    if (child >= 1 && child <= itemCount())
        return withoutAccessKeyMarks(windowText(m_items[static_cast<std::size_t>(child - 1)]));
    return m_accessibleName;
}

long Win32RadioGroup::accessibleRole(long child) const
{
    return child == CHILDID_SELF ? ROLE_SYSTEM_GROUPING : ROLE_SYSTEM_RADIOBUTTON;
}

long Win32RadioGroup::accessibleState(long child) const
{
    if (child < 1 || child > itemCount())
        return 0;
    const HWND item = m_items[static_cast<std::size_t>(child - 1)];
    long state = STATE_SYSTEM_FOCUSABLE;
    if (::SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED)
        state |= STATE_SYSTEM_CHECKED;
    if (::GetFocus() == item)
        state |= STATE_SYSTEM_FOCUSED;
    return state;
}

bool Win32RadioGroup::accessibleChildPlace(long child, RECT& screen) const
{
    return child >= 1 && child <= itemCount() && ::GetWindowRect(m_items[static_cast<std::size_t>(child - 1)], &screen);
}

void Win32RadioGroup::selectAndFocus(int index)
{
    if (m_items.empty())
        return;
    const int count = static_cast<int>(m_items.size());
    const int target = ((index % count) + count) % count;
    for (int i = 0; i < count; ++i)
        ::SendMessageW(m_items[static_cast<std::size_t>(i)], BM_SETCHECK, i == target ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SetFocus(m_items[static_cast<std::size_t>(target)]);
}

// The check-list box: an owner-drawn list box whose items carry their tick
// in the item data; a click on the box or Space toggles it.
void Win32CheckListBox::attach(HWND list)
{
    WindowControl::attach(list);
    setChildHandler(list, this); // before the subclass below looks for it
    ::SendMessageW(list, LB_SETITEMHEIGHT, 0, m_itemHeight);
    m_listProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32CheckListBox::listProc)));
    for (const std::wstring& text : m_itemsBeforeCreation)
        addItem(text);
    m_itemsBeforeCreation.clear();
}

Win32CheckListBox::~Win32CheckListBox()
{
    if (m_window && ::IsWindow(m_window)) {
        ::SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_listProc));
        setChildHandler(m_window, nullptr);
    }
}

void Win32CheckListBox::appendItem(const std::string& text)
{
    if (m_window) {
        addItem(toShownWide(text));
        m_host.controlTextChanged();
    } else
        m_itemsBeforeCreation.push_back(toShownWide(text));
}

void Win32CheckListBox::addItem(const std::wstring& text)
{
    const auto index = ::SendMessageW(m_window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0)
        ::SendMessageW(m_window, LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
}

int Win32CheckListBox::itemCount() const
{
    if (!m_window)
        return static_cast<int>(m_itemsBeforeCreation.size());
    return static_cast<int>(::SendMessageW(m_window, LB_GETCOUNT, 0, 0));
}

// Items are made unticked: nothing is ticked before the window is made.
bool Win32CheckListBox::isItemTicked(int item) const
{
    if (!m_window || item < 1 || item > itemCount())
        return false;
    return ::SendMessageW(m_window, LB_GETITEMDATA, static_cast<WPARAM>(item - 1), 0) != 0;
}

void Win32CheckListBox::setItemHeight(int itemHeight, int dpi)
{
    m_itemHeight = itemHeight;
    m_dpi = dpi;
    if (!m_window)
        return;
    ::SendMessageW(m_window, LB_SETITEMHEIGHT, 0, itemHeight);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

void Win32CheckListBox::collectCutTexts(int dpi, std::vector<CutText>& texts) const
{
    if (!m_window)
        return;
    const HDC dc = measuringDc();
    const HGDIOBJ oldFont = ::SelectObject(dc, fontOf(m_window));
    for (int row = 0; row < itemCount(); ++row) {
        RECT place{};
        if (::SendMessageW(m_window, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&place))
            == LB_ERR)
            continue;
        const std::wstring text = accessibleName(row + 1);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        // As onDrawItem draws it: the box, a gap, the text.
        const int room = place.right - place.left - boxWidth() - toolkit::rules::scaled(2, dpi);
        if (toolkit::rules::isCut(extent.cx, room))
            texts.push_back({m_window, place, text});
    }
    ::SelectObject(dc, oldFont);
}

int Win32CheckListBox::boxWidth() const
{
    return m_itemHeight + toolkit::rules::scaled(2, m_dpi);
}

void Win32CheckListBox::toggle(int index)
{
    if (index < 0 || index >= itemCount())
        return;
    const bool ticked = ::SendMessageW(m_window, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) != 0;
    ::SendMessageW(m_window, LB_SETITEMDATA, static_cast<WPARAM>(index), ticked ? 0 : 1);
    RECT itemRect{};
    ::SendMessageW(m_window, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&itemRect));
    ::InvalidateRect(m_window, &itemRect, TRUE);
}

LRESULT CALLBACK Win32CheckListBox::listProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<Win32CheckListBox*>(
        reinterpret_cast<ChildHandler*>(::GetWindowLongPtrW(window, GWLP_USERDATA)));
    const WNDPROC original = self->m_listProc;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // Every click on the box toggles, the second of a double click too.
        const LRESULT result = ::CallWindowProcW(original, window, WM_LBUTTONDOWN, wParam, lParam);
        const auto hit = static_cast<DWORD>(::SendMessageW(window, LB_ITEMFROMPOINT, 0, lParam));
        const bool outside = HIWORD(hit) != 0;
        const int x = static_cast<short>(LOWORD(lParam));
        if (!outside && x < self->boxWidth())
            self->toggle(LOWORD(hit));
        return result;
    }
    case WM_CHAR:
        if (wParam == L' ') {
            self->toggle(static_cast<int>(::SendMessageW(window, LB_GETCARETINDEX, 0, 0)));
            return 0;
        }
        break;
    default:
        break;
    }
    return ::CallWindowProcW(original, window, message, wParam, lParam);
}

std::wstring Win32CheckListBox::accessibleName(long child) const
{
    if (child < 1 || child > itemCount())
        return m_accessibleName;
    const auto index = static_cast<WPARAM>(child - 1);
    const auto length = ::SendMessageW(m_window, LB_GETTEXTLEN, index, 0);
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        std::max<LRESULT>(0, ::SendMessageW(m_window, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())))));
    return text; // shown unchanged, "&" included
}

long Win32CheckListBox::accessibleRole(long child) const
{
    return child == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_CHECKBUTTON;
}

long Win32CheckListBox::accessibleState(long child) const
{
    if (child < 1 || child > itemCount())
        return WindowControl::accessibleState(child);
    long state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (isItemTicked(static_cast<int>(child)))
        state |= STATE_SYSTEM_CHECKED;
    if (::SendMessageW(m_window, LB_GETCURSEL, 0, 0) == child - 1)
        state |= STATE_SYSTEM_SELECTED;
    if (::GetFocus() == m_window && ::SendMessageW(m_window, LB_GETCARETINDEX, 0, 0) == child - 1)
        state |= STATE_SYSTEM_FOCUSED;
    return state;
}

bool Win32CheckListBox::accessibleChildPlace(long child, RECT& screen) const
{
    if (child < 1 || child > itemCount()
        || ::SendMessageW(m_window, LB_GETITEMRECT, static_cast<WPARAM>(child - 1), reinterpret_cast<LPARAM>(&screen))
            == LB_ERR)
        return false;
    ::MapWindowPoints(m_window, HWND_DESKTOP, reinterpret_cast<POINT*>(&screen), 2);
    return true;
}

void Win32CheckListBox::onDrawItem(const DRAWITEMSTRUCT& item)
{
    const HDC dc = item.hDC;
    RECT textRect = item.rcItem;
    textRect.left += boxWidth();
    if (item.itemID != static_cast<UINT>(-1)) {
        const int inset = toolkit::rules::scaled(1, m_dpi);
        RECT box{item.rcItem.left + inset, item.rcItem.top + inset, item.rcItem.left + m_itemHeight - inset,
                 item.rcItem.top + m_itemHeight - inset};
        RECT boxArea{item.rcItem.left, item.rcItem.top, textRect.left, item.rcItem.bottom};
        ::FillRect(dc, &boxArea, ::GetSysColorBrush(COLOR_WINDOW));
        const bool ticked = item.itemData != 0;
        ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (ticked ? DFCS_CHECKED : 0));

        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        ::FillRect(dc, &textRect, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const int length = static_cast<int>(::SendMessageW(m_window, LB_GETTEXTLEN, item.itemID, 0));
        std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(
            0, ::SendMessageW(m_window, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data())))));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT inner = textRect;
        inner.left += toolkit::rules::scaled(2, m_dpi);
        // The item text is shown as it is: "&" is no access key here.
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    }
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(dc, &textRect);
}

void Win32Edit::attach(HWND edit)
{
    WindowControl::attach(edit);
    setChildHandler(edit, this); // before the subclass below looks for it
    m_editProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Edit::editProc)));
}

void Win32Edit::setText(const std::string& text)
{
    setCurrentText(toWide(text));
}

std::string Win32Edit::text() const
{
    return toSjis(withoutLineBreaks(currentText()));
}

void Win32Edit::onCommand(WORD notification)
{
    // A change, or the focus gone after a composition was given up half
    // committed.
    if (notification == EN_CHANGE || notification == EN_KILLFOCUS)
        applyTextRules(notification == EN_KILLFOCUS);
}

LRESULT CALLBACK Win32Edit::editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<Win32Edit*>(reinterpret_cast<ChildHandler*>(::GetWindowLongPtrW(window, GWLP_USERDATA)));
    const LRESULT result = ::CallWindowProcW(self->m_editProc, window, message, wParam, lParam);
    // What a composition committed while it went on waited for its end.
    if (message == WM_IME_ENDCOMPOSITION)
        self->applyTextRules();
    return result;
}

bool Win32Edit::isComposing() const
{
    const HIMC context = ::ImmGetContext(m_window);
    if (!context)
        return false;
    const LONG size = ::ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0);
    ::ImmReleaseContext(m_window, context);
    return size > 0;
}

void Win32Edit::applyTextRules(bool focusLeft)
{
    // Setting the text would end the composition the input method shows.
    if (m_applying || !m_window || isComposing())
        return;
    const std::wstring current = windowText(m_window);
    const std::u16string typed(current.begin(), current.end());
    if (toolkit::rules::isOneLine(typed) && toolkit::rules::isAsWritten(typed))
        return;
    DWORD caret = 0;
    ::SendMessageW(m_window, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    if (!focusLeft && toolkit::rules::awaitsSecondHalf(typed, caret))
        return;
    const std::u16string shown = toolkit::rules::typedText(typed);
    const auto place = static_cast<WPARAM>(toolkit::rules::caretInTypedText(typed, caret));
    m_applying = true;
    ::SetWindowTextW(m_window, std::wstring(shown.begin(), shown.end()).c_str());
    ::SendMessageW(m_window, EM_SETSEL, place, static_cast<LPARAM>(place));
    m_applying = false;
}

void Win32Button::setCaption(const std::string& text)
{
    setCurrentText(toShownWide(text));
}

void Win32Button::setClickHandler(std::function<void()> handler)
{
    m_handler = std::move(handler);
}

void Win32Button::onCommand(WORD notification)
{
    if (notification == BN_CLICKED)
        click();
}

void Win32Button::click()
{
    if (m_handler)
        m_host.deliverClick(m_handler);
}

} // namespace mirunea::win32
