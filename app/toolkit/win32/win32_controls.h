#pragma once

#include "app/toolkit/toolkit.h"
#include "app/toolkit/win32/accessibility.h"
#include "app/toolkit/win32/container_window.h"
#include "app/toolkit/win32/cut_text_tips.h"
#include "app/toolkit/window_rules.h"

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mirunea::win32 {

class Win32Control;

struct CaptionSize
{
    int width;
    int height;
};

// The size of a one-line caption in the font, "&" marks taken out.
[[nodiscard]] CaptionSize captionSize(HFONT font, const std::wstring& text);

// What the controls tell their window: the scrolled extent follows the
// visible controls, and a control's window is made when it is first needed.
class ControlHost
{
public:
    virtual ~ControlHost() = default;
    virtual void controlVisibilityChanged() = 0;
    virtual void deliverClick(const std::function<void()>& handler) = 0;
    // A caption or the items of a made window changed: what is cut may have.
    virtual void controlTextChanged() = 0;
    // Makes the control's window (its container's first) and returns it.
    virtual HWND createWindowOf(const Win32Control& control) = 0;
};

// A control whose window is made only when it is first needed: when it is to
// be seen in the shown frame, or is asked for anything but showing, hiding,
// its text and its accessible name. Each window costs Wine several server
// round trips, and a sheet never shows most of its hidden answer controls and
// unused panels.
class Win32Control
{
public:
    explicit Win32Control(ControlHost& host)
        : m_host(host)
    {
    }
    virtual ~Win32Control() = default;
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    // The control's window, made now if it is not yet.
    [[nodiscard]] HWND handle() const { return m_window ? m_window : m_host.createWindowOf(*this); }
    // Null while it is not made.
    [[nodiscard]] HWND existingHandle() const { return m_window; }
    // What the window takes when it is made.
    [[nodiscard]] bool isShownBeforeCreation() const { return m_shownBeforeCreation; }
    [[nodiscard]] const std::wstring& textBeforeCreation() const { return m_textBeforeCreation; }
    // The host's call once the window is made.
    virtual void attach(HWND window) { m_window = window; }
    // The texts its made window draws cut by its width, drawn at dpi.
    virtual void collectCutTexts(int /*dpi*/, std::vector<CutText>& /*texts*/) const { }

protected:
    // The caption or text, from the window once it is made.
    [[nodiscard]] std::wstring currentText() const;
    void setCurrentText(const std::wstring& text);

    HWND m_window = nullptr;
    ControlHost& m_host;
    bool m_shownBeforeCreation = true;
    std::wstring m_textBeforeCreation;
};

// Every control answers screen readers (accessibility.h): by default its
// name is the one given, else its caption without the "&" marks.
template<class Interface>
class WindowControl : public Interface, public Win32Control, public ChildHandler, public AccessibleSource
{
public:
    using Win32Control::Win32Control;
    void show() override;
    void hide() override;
    void setAccessibleName(const std::string& text) override;

    [[nodiscard]] std::wstring accessibleName(long child) const override;
    [[nodiscard]] long accessibleState(long child) const override;

protected:
    std::wstring m_accessibleName;
};

class Win32Label : public WindowControl<toolkit::Label>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    // Sizes the label to its caption in its present font.
    void fitToCaption();
    // Its size is its caption's, not its design's: a caption was given.
    [[nodiscard]] bool isSizedToCaption() const { return m_sizedToCaption; }
    [[nodiscard]] long accessibleRole(long /*child*/) const override { return ROLE_SYSTEM_STATICTEXT; }

private:
    bool m_sizedToCaption = false;
};

class Win32GroupBox : public WindowControl<toolkit::GroupBox>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    [[nodiscard]] wchar_t accessKey() const;
    [[nodiscard]] long accessibleRole(long /*child*/) const override { return ROLE_SYSTEM_GROUPING; }
    void collectCutTexts(int dpi, std::vector<CutText>& texts) const override;
};

class Win32RadioGroup : public WindowControl<toolkit::RadioGroup>
{
public:
    using WindowControl::WindowControl;
    void attach(HWND frame) override;
    void appendItem(const std::string& text) override;
    [[nodiscard]] int itemCount() const override;
    [[nodiscard]] std::optional<int> selectedItem() const override;

    [[nodiscard]] const std::vector<HWND>& items() const { return m_items; }
    [[nodiscard]] HWND selectedButton() const;
    // Focuses the item at the index (wrapping around) and selects it.
    void selectAndFocus(int index);
    [[nodiscard]] int indexOf(HWND item) const;
    // The items' font and the density they are spaced at; rearranges them.
    void setFont(HFONT font, int dpi);
    void collectCutTexts(int dpi, std::vector<CutText>& texts) const override;

    // The group, its radio items as children.
    [[nodiscard]] std::wstring accessibleName(long child) const override;
    [[nodiscard]] long accessibleRole(long child) const override;
    [[nodiscard]] long accessibleState(long child) const override;
    [[nodiscard]] long accessibleChildCount() const override { return itemCount(); }
    [[nodiscard]] bool accessibleChildPlace(long child, RECT& screen) const override;

private:
    // A radio item's window, asked by itself (it holds the focus when chosen).
    class ItemSource : public AccessibleSource
    {
    public:
        ItemSource(const Win32RadioGroup& group, long child)
            : m_group(group)
            , m_child(child)
        {
        }
        [[nodiscard]] std::wstring accessibleName(long) const override { return m_group.accessibleName(m_child); }
        [[nodiscard]] long accessibleRole(long) const override { return m_group.accessibleRole(m_child); }
        [[nodiscard]] long accessibleState(long) const override { return m_group.accessibleState(m_child); }

    private:
        const Win32RadioGroup& m_group;
        long m_child;
    };

    void createItem(const std::wstring& text, const toolkit::rules::Rect& place);
    // Items of these texts in one column, spread over the frame.
    // Circle, gap and text: the width each item needs.
    [[nodiscard]] std::vector<int> itemWidths(const std::vector<std::wstring>& texts) const;
    [[nodiscard]] std::vector<toolkit::rules::Rect> itemPlaces(const std::vector<std::wstring>& texts) const;
    void arrangeItems();

    std::vector<std::wstring> m_itemsBeforeCreation;
    HFONT m_font = nullptr;
    int m_dpi = toolkit::rules::kDesignDpi;
    std::vector<HWND> m_items;
    std::vector<std::unique_ptr<ItemSource>> m_itemSources;
};

class Win32CheckListBox : public WindowControl<toolkit::CheckListBox>
{
public:
    using WindowControl::WindowControl;
    ~Win32CheckListBox() override;
    void attach(HWND window) override;
    void appendItem(const std::string& text) override;
    [[nodiscard]] int itemCount() const override;
    [[nodiscard]] bool isItemTicked(int item) const override;
    void onDrawItem(const DRAWITEMSTRUCT& item) override;
    // The rows' height and the density the check boxes are drawn at.
    void setItemHeight(int itemHeight, int dpi);
    void collectCutTexts(int dpi, std::vector<CutText>& texts) const override;

    // The list, its rows as check boxes: an owner-drawn list box tells
    // neither their texts nor their ticks by itself.
    [[nodiscard]] std::wstring accessibleName(long child) const override;
    [[nodiscard]] long accessibleRole(long child) const override;
    [[nodiscard]] long accessibleState(long child) const override;
    [[nodiscard]] long accessibleChildCount() const override { return itemCount(); }
    [[nodiscard]] bool accessibleChildPlace(long child, RECT& screen) const override;

private:
    static LRESULT CALLBACK listProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void addItem(const std::wstring& text);
    void toggle(int index);
    [[nodiscard]] int boxWidth() const;

    std::vector<std::wstring> m_itemsBeforeCreation;
    WNDPROC m_listProc = nullptr;
    int m_itemHeight = 0;
    int m_dpi = toolkit::rules::kDesignDpi;
};

// An edit holds what was typed, pasted or committed as the text rules say:
// one line, each character as it will be written. Never while an input
// method composes a word: what it committed is replaced once it is done.
class Win32Edit : public WindowControl<toolkit::Edit>
{
public:
    using WindowControl::WindowControl;
    void attach(HWND edit) override;
    void setText(const std::string& text) override;
    [[nodiscard]] std::string text() const override;
    void onCommand(WORD notification) override;
    // Its text is its value, not its name: the question or prompt only.
    [[nodiscard]] std::wstring accessibleName(long /*child*/) const override { return m_accessibleName; }
    [[nodiscard]] long accessibleRole(long /*child*/) const override { return ROLE_SYSTEM_TEXT; }

private:
    static LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool isComposing() const;
    // Once the focus left, a first half of a pair waits no longer.
    void applyTextRules(bool focusLeft = false);

    WNDPROC m_editProc = nullptr;
    bool m_applying = false;
};

class Win32Button : public WindowControl<toolkit::Button>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    void setClickHandler(std::function<void()> handler) override;
    void onCommand(WORD notification) override;
    void click();
    [[nodiscard]] long accessibleRole(long /*child*/) const override { return ROLE_SYSTEM_PUSHBUTTON; }

private:
    std::function<void()> m_handler;
};

} // namespace mirunea::win32
