#pragma once

#include "app/toolkit.h"
#include "app/toolkit/win32/container_window.h"

#include <windows.h>

#include <functional>
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

template<class Interface>
class WindowControl : public Interface, public ChildHandler
{
public:
    WindowControl(HWND window, ControlHost& host)
        : m_window(window)
        , m_host(host)
    {
    }
    void show() override;
    void hide() override;
    // Win32 has no property for it without COM accessibility servers; the
    // visible texts (captions, items) are what a screen reader reads.
    void setAccessibleName(const std::string& /*text*/) override { }
    [[nodiscard]] HWND handle() const { return m_window; }

protected:
    HWND m_window;
    ControlHost& m_host;
};

class Win32Label : public WindowControl<toolkit::Label>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    // Sizes the label to its caption in its present font.
    void fitToCaption();
};

class Win32GroupBox : public WindowControl<toolkit::GroupBox>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    [[nodiscard]] wchar_t accessKey() const;
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

private:
    void arrangeItems();

    HFONT m_font;
    int m_dpi;
    std::vector<HWND> m_items;
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
};

class Win32Button : public WindowControl<toolkit::Button>
{
public:
    using WindowControl::WindowControl;
    void setCaption(const std::string& text) override;
    void setClickHandler(std::function<void()> handler) override;
    void onCommand(WORD notification) override;
    void click();

private:
    std::function<void()> m_handler;
};

} // namespace mirunea::win32
