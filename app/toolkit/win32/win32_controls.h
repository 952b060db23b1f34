#pragma once

#include "app/toolkit.h"
#include "app/toolkit/win32/accessibility.h"
#include "app/toolkit/win32/container_window.h"

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mirunea::win32 {

// What the controls tell their window: the scrolled extent follows the
// visible controls.
class ControlHost
{
public:
    virtual ~ControlHost() = default;
    virtual void controlVisibilityChanged() = 0;
    virtual void deliverClick(const std::function<void()>& handler) = 0;
};

// Every control answers screen readers (accessibility.h): by default its
// name is the one given, else its caption without the "&" marks.
template<class Interface>
class WindowControl : public Interface, public ChildHandler, public AccessibleSource
{
public:
    WindowControl(HWND window, ControlHost& host)
        : m_window(window)
        , m_host(host)
    {
    }
    void show() override;
    void hide() override;
    void setAccessibleName(const std::string& text) override;
    [[nodiscard]] HWND handle() const { return m_window; }

    [[nodiscard]] std::wstring accessibleName(long child) const override;
    [[nodiscard]] long accessibleState(long child) const override;

protected:
    HWND m_window;
    ControlHost& m_host;
    std::wstring m_accessibleName;
};

class Win32Label : public WindowControl<toolkit::Label>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    // Sizes the label to its caption in its present font.
    void fitToCaption();
    [[nodiscard]] long accessibleRole(long /*child*/) const override { return ROLE_SYSTEM_STATICTEXT; }
};

class Win32GroupBox : public WindowControl<toolkit::GroupBox>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    [[nodiscard]] wchar_t accessKey() const;
    [[nodiscard]] long accessibleRole(long /*child*/) const override { return ROLE_SYSTEM_GROUPING; }
};

class Win32RadioGroup : public WindowControl<toolkit::RadioGroup>
{
public:
    Win32RadioGroup(HWND frame, ControlHost& host, HFONT font, int dpi);
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

    void arrangeItems();

    HFONT m_font;
    int m_dpi;
    std::vector<HWND> m_items;
    std::vector<std::unique_ptr<ItemSource>> m_itemSources;
};

class Win32CheckListBox : public WindowControl<toolkit::CheckListBox>
{
public:
    Win32CheckListBox(HWND list, ControlHost& host, int itemHeight, int dpi);
    ~Win32CheckListBox() override;
    void appendItem(const std::string& text) override;
    [[nodiscard]] int itemCount() const override;
    [[nodiscard]] bool isItemTicked(int item) const override;
    void onDrawItem(const DRAWITEMSTRUCT& item) override;
    // The rows' height and the density the check boxes are drawn at.
    void setItemHeight(int itemHeight, int dpi);

    // The list, its rows as check boxes: an owner-drawn list box tells
    // neither their texts nor their ticks by itself.
    [[nodiscard]] std::wstring accessibleName(long child) const override;
    [[nodiscard]] long accessibleRole(long child) const override;
    [[nodiscard]] long accessibleState(long child) const override;
    [[nodiscard]] long accessibleChildCount() const override { return itemCount(); }
    [[nodiscard]] bool accessibleChildPlace(long child, RECT& screen) const override;

private:
    static LRESULT CALLBACK listProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void toggle(int index);
    [[nodiscard]] int boxWidth() const;

    WNDPROC m_listProc;
    int m_itemHeight;
    int m_dpi;
};

class Win32Edit : public WindowControl<toolkit::Edit>
{
public:
    using WindowControl::WindowControl;
    void setText(const std::string& text) override;
    [[nodiscard]] std::string text() const override;
    // Its text is its value, not its name: the question or prompt only.
    [[nodiscard]] std::wstring accessibleName(long /*child*/) const override { return m_accessibleName; }
    [[nodiscard]] long accessibleRole(long /*child*/) const override { return ROLE_SYSTEM_TEXT; }
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
