// The window behaviour suite's driver for the Qt backend: QTest's key and
// mouse events on the real widgets, under the offscreen platform.
#include "sheet_window_driver.h"

#include "app/text/cp932.h"
#include "app/toolkit/qt/qt_application.h"
#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/qt_window.h"
#include "app/toolkit/qt/radio_group_widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHelpEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>

#include <stdexcept>

namespace mirunea::test {

namespace {

std::string utf8(const QString& text)
{
    return text.toStdString();
}

Qt::Key qtKey(Key key)
{
    switch (key) {
    case Key::Tab:
        return Qt::Key_Tab;
    case Key::Return:
        return Qt::Key_Return;
    case Key::KeypadEnter:
        return Qt::Key_Enter;
    case Key::Escape:
        return Qt::Key_Escape;
    case Key::Space:
        return Qt::Key_Space;
    case Key::Left:
        return Qt::Key_Left;
    case Key::Right:
        return Qt::Key_Right;
    case Key::Up:
        return Qt::Key_Up;
    case Key::Down:
        return Qt::Key_Down;
    }
    throw std::logic_error("unknown key");
}

Qt::KeyboardModifiers qtModifiers(Modifiers modifiers)
{
    Qt::KeyboardModifiers result;
    if (modifiers & Shift)
        result |= Qt::ShiftModifier;
    if (modifiers & Ctrl)
        result |= Qt::ControlModifier;
    if (modifiers & Alt)
        result |= Qt::AltModifier;
    return result;
}

class QtWindowDriver : public SheetWindowDriver
{
public:
    QtWindowDriver()
    {
        m_app = std::make_unique<qt::QtApplication>();
        m_app->setTitle(cp932::fromUtf8("ミルネア"));
        // Polls, since a box is shown from inside the code under test and blocks it.
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { closeActiveBox(); });
        m_poll.start();
    }

    ~QtWindowDriver() override
    {
        m_poll.stop();
        closeWindow();
    }

    bool showActive() override
    {
        frame()->show();
        return QTest::qWaitForWindowActive(frame());
    }

    void processEvents() override { QTest::qWait(10); }

    void press(Key key, Modifiers modifiers) override
    {
        QTest::keyClick(keyTarget(), qtKey(key),
                        qtModifiers(modifiers) | (key == Key::KeypadEnter ? Qt::KeypadModifier : Qt::NoModifier));
    }

    void pressLetter(char letter, Modifiers modifiers) override
    {
        QTest::keyClick(keyTarget(), static_cast<Qt::Key>(Qt::Key_A + (letter & ~0x20) - 'A'), qtModifiers(modifiers));
    }

    void type(const std::string& text) override
    {
        const QString typed = QString::fromStdString(text);
        bool ascii = true;
        for (QChar c : typed)
            ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
        if (ascii) {
            QTest::keyClicks(keyTarget(), typed);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QApplication::sendEvent(keyTarget(), &commit);
        }
    }

    void paste(const std::string& text) override
    {
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
        QTest::keyClick(keyTarget(), Qt::Key_V, Qt::ControlModifier);
    }

    void click(Point client) override
    {
        QWidget* viewport = frame()->viewport();
        const QPoint point(client.x, client.y);
        QWidget* hit = viewport->childAt(point);
        QWidget* target = hit ? hit : viewport;
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(viewport, point));
    }

    std::string focused() override
    {
        const QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return {};
        if (qobject_cast<const QRadioButton*>(focus)) {
            const QWidget* group = focus->parentWidget();
            const auto items = group->findChildren<QRadioButton*>();
            return utf8(group->objectName()) + "/" + std::to_string(items.indexOf(focus) + 1);
        }
        return utf8(focus->objectName());
    }

    std::string shownText(const std::string& name) override
    {
        QWidget* control = widget(name);
        if (auto* label = qobject_cast<QLabel*>(control))
            return utf8(QTextDocumentFragment::fromHtml(label->text()).toPlainText());
        if (auto* panel = qobject_cast<QGroupBox*>(control))
            return utf8(qt::withoutAccessKeyMarks(panel->title()));
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            return utf8(edit->text());
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            return utf8(qt::withoutAccessKeyMarks(button->text()));
        throw std::logic_error(name + " shows no text of its own");
    }

    std::vector<std::string> itemTexts(const std::string& name) override
    {
        std::vector<std::string> texts;
        QWidget* control = widget(name);
        if (auto* list = qobject_cast<QListWidget*>(control)) {
            for (int row = 0; row < list->count(); ++row)
                texts.push_back(utf8(list->item(row)->text()));
        } else {
            for (const QRadioButton* item : control->findChildren<QRadioButton*>())
                texts.push_back(utf8(qt::withoutAccessKeyMarks(item->text())));
        }
        return texts;
    }

    bool isVisible(const std::string& name) override { return widget(name)->isVisible(); }

    std::string parentOf(const std::string& name) override
    {
        QWidget* parent = widget(name)->parentWidget();
        return parent == frame()->client() ? std::string() : utf8(parent->objectName());
    }

    Rect geometry(const std::string& name) override
    {
        const QRect place = widget(name)->geometry();
        return {place.x(), place.y(), place.width(), place.height()};
    }

    Rect placeInClient(const std::string& name) override
    {
        QWidget* control = widget(name);
        const QPoint origin = control->mapTo(frame(), QPoint(0, 0));
        return {origin.x(), origin.y(), control->width(), control->height()};
    }

    Point checkBoxOf(const std::string& name, int row) override
    {
        auto* list = qobject_cast<QListWidget*>(widget(name));
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.rect = list->visualItemRect(list->item(row - 1));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = list->item(row - 1)->text();
        const QPoint centre =
            list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
        const QPoint inClient = list->viewport()->mapTo(frame(), centre);
        return {inClient.x(), inClient.y()};
    }

    FontInfo font(const std::string& name) override
    {
        const QFont font = widget(name)->font();
        return {font.pixelSize(), font.bold(), utf8(font.family())};
    }

    std::string topmostAt(Point client) override
    {
        QWidget* viewport = frame()->viewport();
        for (QWidget* hit = viewport->childAt(client.x, client.y); hit && hit != viewport; hit = hit->parentWidget()) {
            if (qobject_cast<QRadioButton*>(hit))
                continue; // stands for its group
            if (!hit->objectName().isEmpty() && window().findControl(hit->objectName().toStdString()))
                return utf8(hit->objectName());
        }
        return {};
    }

    std::vector<toolkit::Rgb> pixels(Rect client) override
    {
        const QImage image = frame()->grab().toImage();
        std::vector<toolkit::Rgb> colours;
        for (int y = client.top; y < client.bottom(); ++y) {
            for (int x = client.left; x < client.right(); ++x) {
                const QColor colour(image.pixel(x, y));
                colours.push_back({colour.red(), colour.green(), colour.blue()});
            }
        }
        return colours;
    }

    std::string toolTipAt(Point client) override
    {
        // A tip left from an earlier hover goes at once, not after Qt's fade.
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->inherits("QTipLabel"))
                top->hide();
        }
        // What Qt sends the widget under a resting pointer.
        QWidget* viewport = frame()->viewport();
        const QPoint point(client.x, client.y);
        QWidget* hit = viewport->childAt(point);
        QWidget* target = hit ? hit : viewport;
        QHelpEvent help(QEvent::ToolTip, target->mapFrom(viewport, point), viewport->mapToGlobal(point));
        QApplication::sendEvent(target, &help);
        return QToolTip::isVisible() ? utf8(QToolTip::text()) : std::string();
    }

    std::string windowCaption() override { return utf8(frame()->windowTitle()); }

    Point framePosition() override
    {
        const QPoint corner = frame()->frameGeometry().topLeft();
        return {corner.x(), corner.y()};
    }

    Point clientSize() override { return {frame()->viewport()->width(), frame()->viewport()->height()}; }

    void resizeClient(int width, int height) override
    {
        frame()->resize(width, height);
        processEvents();
    }

    bool horizontalBarShown() override { return frame()->horizontalScrollBar()->isVisible(); }
    bool verticalBarShown() override { return frame()->verticalScrollBar()->isVisible(); }

    Point scrollPosition() override
    {
        return {frame()->horizontalScrollBar()->value(), frame()->verticalScrollBar()->value()};
    }

    void scrollToEnd() override
    {
        // As dragging each bar to its end does.
        for (QScrollBar* bar : {frame()->horizontalScrollBar(), frame()->verticalScrollBar()})
            bar->triggerAction(QAbstractSlider::SliderToMaximum);
        processEvents();
    }

    void scrollToStart() override
    {
        for (QScrollBar* bar : {frame()->horizontalScrollBar(), frame()->verticalScrollBar()})
            bar->triggerAction(QAbstractSlider::SliderToMinimum);
        processEvents();
    }

private:
    toolkit::Application& application() override { return *m_app; }
    qt::FormWidget* frame() { return static_cast<qt::QtWindow&>(window()).widget(); }
    QWidget* widget(const std::string& name)
    {
        const auto slash = name.find('/');
        QWidget* control = static_cast<qt::QtWindow&>(window()).widgetOf(name.substr(0, slash));
        if (slash == std::string::npos)
            return control;
        const auto items = control->findChildren<QRadioButton*>();
        const int item = std::stoi(name.substr(slash + 1));
        if (item < 1 || item > items.size())
            throw std::logic_error("no radio item " + name);
        return items.at(item - 1);
    }
    // Keys go where a real key press goes: to the focused widget.
    QWidget* keyTarget()
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus : frame();
    }

    void closeActiveBox()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_seen.push_back({utf8(box->windowTitle()), utf8(box->text())});
        if (!box->buttons().isEmpty())
            QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
        if (box->isVisible()) {
            m_seen.back().text += " [did not close]";
            box->done(0);
        }
    }

    std::unique_ptr<qt::QtApplication> m_app;
    QTimer m_poll;
};

} // namespace

std::unique_ptr<WindowDriver> makeWindowDriver()
{
    return std::make_unique<QtWindowDriver>();
}

} // namespace mirunea::test
