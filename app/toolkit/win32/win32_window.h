#pragma once

#include "app/toolkit/toolkit.h"
#include "app/toolkit/win32/cut_text_tips.h"
#include "app/toolkit/win32/win32_controls.h"
#include "app/toolkit/window_rules.h"

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirunea::win32 {

class Win32Application;

// The top-level window: a frame whose client area holds one content window
// of fixed-place controls, scrolled when the frame is smaller than the
// controls need. Keyboard navigation (Tab, arrows in radio groups, access
// keys, Enter on the button) is the window's own, run from the message loop.
class Win32Window : public toolkit::Window, public ControlHost
{
public:
    Win32Window(const toolkit::WindowSpec& design, Win32Application& app);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    toolkit::Control& addControl(const toolkit::ControlSpec& design) override;
    void finishLayout() override;
    [[nodiscard]] toolkit::Control* findControl(std::string_view name) override;

    void controlVisibilityChanged() override;
    void deliverClick(const std::function<void()>& handler) override;
    void controlTextChanged() override;
    HWND createWindowOf(const Win32Control& control) override;

    [[nodiscard]] HWND frame() const { return m_frame; }
    // The density the layout is drawn at: the frame's monitor's.
    [[nodiscard]] int dpi() const { return m_dpi; }
    // The tooltip control of the cut texts; null while none is cut.
    [[nodiscard]] HWND cutTextTips() const { return m_cutTextTips->handle(); }
    // A control's window by its name, made now if it is not yet; null when
    // there is no such control.
    [[nodiscard]] HWND handleOf(std::string_view name) const;
    void show();
    // Keys the window handles itself; true when the message is used up.
    [[nodiscard]] bool preTranslateMessage(const MSG& message);

private:
    struct Entry
    {
        toolkit::ControlSpec design; // at 96 dots per inch
        Entry* parent;               // null: the window itself
        std::unique_ptr<toolkit::Control> control;
        Win32Control* native; // the same control; its window, once made
        [[nodiscard]] HWND handle() const { return native->existingHandle(); }
    };

    static LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);

    [[nodiscard]] std::unique_ptr<toolkit::Control> makeControl(const toolkit::ControlSpec& design);
    [[nodiscard]] HWND createHandle(const Entry& entry, HWND parent, COLORREF parentColour);
    void configure(Entry& entry, HWND handle);
    // Makes every window that is to be seen in the shown frame.
    void createShownWindows();
    // Shown, and every container up to the window too, made or not.
    [[nodiscard]] bool isToBeSeen(const Entry& entry) const;
    // Stacks a window among its made siblings as the rules say.
    void placeInStack(const Entry& entry, bool justMade);
    [[nodiscard]] std::vector<toolkit::ControlSpec> designs() const; // in creation order
    [[nodiscard]] std::size_t indexOf(const Entry& entry) const;
    [[nodiscard]] Entry* entryOf(HWND handle) const;
    [[nodiscard]] Entry* entryOwningFocus(HWND focus) const;
    [[nodiscard]] bool isEffectivelyVisible(HWND handle) const;
    [[nodiscard]] HWND focusTargetOf(const Entry& entry) const;
    [[nodiscard]] bool ownsWindow(HWND handle) const;

    void focusControl(HWND target, bool fromKeyboard);
    void focusFirst();
    void moveFocus(bool backwards);
    [[nodiscard]] bool handleArrow(HWND focus, int step);
    [[nodiscard]] bool handleAccessKey(wchar_t key);
    // Focuses where the rules send a panel's access key.
    void focusPanelAnswer(const Entry& answer);
    [[nodiscard]] std::optional<std::size_t> focusedPlace() const;

    // Lays the window out again at another density (WM_DPICHANGED).
    void applyDpi(int dpi);
    // The frame at the place and outer size wanted, fitted to the work area
    // of the monitor at its top-left corner (window_rules.h).
    void placeFrame(const toolkit::rules::Rect& wanted);
    // A tool over each text of a made window that is cut.
    void updateCutTextTips();

    void updateExtent();
    void updateScrollBars();
    void scrollTo(int x, int y);
    void scroll(int bar, WORD request);
    void ensureVisible(HWND control);

    Win32Application& m_app;
    toolkit::WindowSpec m_design;
    int m_dpi = toolkit::rules::kDesignDpi;
    COLORREF m_background;
    HWND m_frame = nullptr;
    HWND m_client = nullptr;
    std::vector<std::unique_ptr<Entry>> m_entries; // in creation order
    std::map<std::string, Entry*, std::less<>> m_byName;
    std::map<HWND, Entry*> m_byHandle;
    std::map<const Win32Control*, Entry*> m_byControl;
    std::map<const Entry*, std::vector<const Entry*>> m_stacking; // each container's children, topmost first
    bool m_layoutFinished = false;
    bool m_creatingShown = false;
    std::map<HWND, COLORREF> m_containerColours;
    std::vector<Entry*> m_focusChain; // the controls Tab goes through, in order
    SIZE m_extent{0, 0};
    POINT m_scroll{0, 0};
    bool m_updatingScrollBars = false;
    bool m_shown = false; // the frame shown once: the scroll range is kept from then on
    HWND m_lastFocus = nullptr;
    std::unique_ptr<CutTextTips> m_cutTextTips;
};

} // namespace mirunea::win32
