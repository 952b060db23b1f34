#include "app/toolkit/qt/qt_application.h"

#include "app/toolkit/design_look.h"
#include "app/toolkit/qt/accessible_roles.h"
#include "app/toolkit/qt/app_icon.h"
#include "app/toolkit/qt/message_boxes.h"
#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/qt_window.h"
#include "app/toolkit/qt/unmatched_access_keys.h"

#include <QFont>
#include <QWidget>

namespace mirunea::qt {

namespace {

// The program reads no command line, so Qt is given none either.
int g_argc = 1;
char g_programName[] = "mirunea";
char* g_argv[] = {g_programName, nullptr};

} // namespace

QtApplication::QtApplication()
{
    if (!QApplication::instance())
        m_qt = std::make_unique<QApplication>(g_argc, g_argv);

    // The window's face is not on Linux; this one has the same proportions.
    const QString face = toQString(toolkit::design::fontFace());
    QFont::insertSubstitution(face, QStringLiteral("IPAPGothic"));
    QFont font(face);
    font.setPixelSize(toolkit::design::kFontPixels);
    QApplication::setFont(font);
    QApplication::setWindowIcon(applicationIcon());
    installAccessibleRoles();
    m_accessKeyFilter = std::make_unique<UnmatchedAccessKeyFilter>();
    QApplication::instance()->installEventFilter(m_accessKeyFilter.get());
}

QtApplication::~QtApplication() = default;

void QtApplication::setTitle(const std::string& title)
{
    // Not Qt's display name: Qt would append it to every window caption.
    m_title = title;
}

std::unique_ptr<toolkit::Window> QtApplication::createWindow(const toolkit::WindowSpec& design)
{
    return std::make_unique<QtWindow>(design, *this);
}

void QtApplication::run(toolkit::Window& mainWindow)
{
    auto& window = dynamic_cast<QtWindow&>(mainWindow);
    window.widget()->fitToScreen();
    window.widget()->show();
    QApplication::exec();
}

void QtApplication::showErrorBox(const std::string& caption, const std::string& text)
{
    showModalBox(toQString(caption), toQString(text), BoxIcon::Stop);
}

void QtApplication::showMessageDialog(const std::string& caption, const std::string& text)
{
    showModalBox(toQString(caption), toQString(text), BoxIcon::None);
}

void QtApplication::releaseMouseCapture()
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

} // namespace mirunea::qt
