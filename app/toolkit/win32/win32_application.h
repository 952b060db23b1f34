#pragma once

#include "app/toolkit/toolkit.h"

#include <windows.h>

#include <map>
#include <string>
#include <utility>

namespace mirunea::win32 {

// The icon resource of mirunea.rc.
inline constexpr int kApplicationIconId = 1;

class Win32Application : public toolkit::Application
{
public:
    Win32Application();
    ~Win32Application() override;
    Win32Application(const Win32Application&) = delete;
    Win32Application& operator=(const Win32Application&) = delete;

    void setTitle(const std::string& title) override { m_title = title; }
    [[nodiscard]] const std::string& title() const override { return m_title; }
    [[nodiscard]] std::unique_ptr<toolkit::Window> createWindow(const toolkit::WindowSpec& design) override;
    void run(toolkit::Window& mainWindow) override;

    void showErrorBox(const std::string& caption, const std::string& text) override;
    void showMessageDialog(const std::string& caption, const std::string& text) override;
    void releaseMouseCapture() override;

    // The window's face at a character height in pixels; made once, kept.
    [[nodiscard]] HFONT font(int pixels, bool bold);
    void setFontFace(std::wstring face) { m_fontFace = std::move(face); }
    // The owner of the message boxes.
    void setMainWindow(HWND window) { m_mainWindow = window; }

private:
    std::string m_title;
    std::wstring m_fontFace;
    std::map<std::pair<int, bool>, HFONT> m_fonts;
    HWND m_mainWindow = nullptr;
};

} // namespace mirunea::win32
