#include "app/toolkit/win32/cut_text_tips.h"

#include <commctrl.h>

namespace mirunea::win32 {

namespace {

// The size comctl32 5 knows, which also 6 takes: the program carries no
// manifest dependency on 6.
TTTOOLINFOW toolInfo(const CutText& text, UINT_PTR id)
{
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = text.window;
    info.uId = id;
    info.rect = text.area;
    info.lpszText = const_cast<wchar_t*>(text.text.c_str());
    return info;
}

} // namespace

CutTextTips::CutTextTips(HWND owner)
    : m_owner(owner)
{
}

CutTextTips::~CutTextTips()
{
    if (m_tips && ::IsWindow(m_tips))
        ::DestroyWindow(m_tips);
}

void CutTextTips::set(const std::vector<CutText>& texts, int maxWidth)
{
    if (!m_tips && texts.empty())
        return;
    if (!m_tips) {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&classes);
        // No prefix handling: the texts come shown, marks removed where captions have them.
        m_tips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_owner, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        if (!m_tips)
            return;
    }
    for (std::size_t id = 0; id < m_tools.size(); ++id) {
        TTTOOLINFOW info = toolInfo(m_tools[id], id);
        ::SendMessageW(m_tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    m_tools = texts;
    for (std::size_t id = 0; id < m_tools.size(); ++id) {
        TTTOOLINFOW info = toolInfo(m_tools[id], id);
        ::SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    ::SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, maxWidth);
}

} // namespace mirunea::win32
