#pragma once

#include "app/toolkit/toolkit.h"

#include <QApplication>

#include <memory>
#include <string>

namespace mirunea::qt {

class UnmatchedAccessKeyFilter;

class QtApplication : public toolkit::Application
{
public:
    QtApplication();
    ~QtApplication() override;

    void setTitle(const std::string& title) override;
    [[nodiscard]] const std::string& title() const override { return m_title; }
    [[nodiscard]] std::unique_ptr<toolkit::Window> createWindow(const toolkit::WindowSpec& design) override;
    void run(toolkit::Window& mainWindow) override;
    void showErrorBox(const std::string& caption, const std::string& text) override;
    void showMessageDialog(const std::string& caption, const std::string& text) override;
    void releaseMouseCapture() override;

private:
    std::unique_ptr<QApplication> m_qt; // null when a QApplication existed already (tests)
    std::unique_ptr<UnmatchedAccessKeyFilter> m_accessKeyFilter;
    std::string m_title;
};

} // namespace mirunea::qt
