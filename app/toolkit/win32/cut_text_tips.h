#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The tooltips of texts cut by their control's width: one tooltip control
// for the window, with a tool over each cut text that shows it whole.
namespace mirunea::win32 {

struct CutText
{
    HWND window; // the window the text is drawn in
    RECT area;   // where, in its client coordinates
    std::wstring text;
};

class CutTextTips
{
public:
    explicit CutTextTips(HWND owner);
    ~CutTextTips();
    CutTextTips(const CutTextTips&) = delete;
    CutTextTips& operator=(const CutTextTips&) = delete;

    // Replaces every tool by one for each text; longer tips wrap at maxWidth.
    void set(const std::vector<CutText>& texts, int maxWidth);
    // The tooltip control; null until a text was first cut.
    [[nodiscard]] HWND handle() const { return m_tips; }

private:
    HWND m_owner;
    HWND m_tips = nullptr;
    std::vector<CutText> m_tools; // as added, the tool's id its index
};

} // namespace mirunea::win32
