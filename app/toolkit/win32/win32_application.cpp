#include "app/toolkit/win32/win32_application.h"

#include "app/toolkit/win32/message_boxes.h"
#include "app/toolkit/win32/win32_text.h"
#include "app/toolkit/win32/win32_window.h"

namespace mirunea::win32 {

Win32Application::Win32Application() = default;

Win32Application::~Win32Application()
{
    for (const auto& [key, font] : m_fonts)
        ::DeleteObject(font);
}

HFONT Win32Application::font(int pixels, bool bold)
{
    const auto key = std::make_pair(pixels, bold);
    if (const auto found = m_fonts.find(key); found != m_fonts.end())
        return found->second;
    // A negative height asks for the character height, as the layout gives it.
    const HFONT created = ::CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                        SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        VARIABLE_PITCH | FF_SWISS, m_fontFace.c_str());
    m_fonts.emplace(key, created);
    return created;
}

std::unique_ptr<toolkit::Window> Win32Application::createWindow(const toolkit::WindowSpec& design)
{
    setFontFace(toWide(design.fontFace));
    return std::make_unique<Win32Window>(design, *this);
}

void Win32Application::run(toolkit::Window& mainWindow)
{
    auto& window = dynamic_cast<Win32Window&>(mainWindow);
    window.show();
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.preTranslateMessage(message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void Win32Application::showErrorBox(const std::string& caption, const std::string& text)
{
    showModalBox(m_mainWindow, toWide(caption), toWide(text), BoxKind::Error);
}

void Win32Application::showMessageDialog(const std::string& caption, const std::string& text)
{
    showModalBox(m_mainWindow, toWide(caption), toWide(text), BoxKind::CentredMessage);
}

void Win32Application::releaseMouseCapture()
{
    ::ReleaseCapture();
}

} // namespace mirunea::win32
