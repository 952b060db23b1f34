#include "app/toolkit/qt/message_boxes.h"

#include "app/toolkit/qt/frame_extents.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace mirunea::qt {

namespace {

// Room a title bar needs beside its caption: the window menu or icon and up
// to four frame buttons with their gaps, as openbox and xfwm4 draw them.
constexpr int kFrameButtonRoom = 176;
// Title bars use a larger, bold face than the box's text; measure with one.
constexpr int kTitlePixels = 16;

class CentredMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        // Sizes the box to its contents; what follows comes before the box is mapped.
        QMessageBox::showEvent(event);

        // Wide enough that the caption shows whole beside the frame's buttons.
        // Qt sizes a box to its layout's minimum again on every layout
        // request, so the text's label is what is widened.
        QFont titleFont = font();
        titleFont.setPixelSize(kTitlePixels);
        titleFont.setBold(true);
        const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kFrameButtonRoom;
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label && width() < titleWidth) {
            label->setMinimumWidth(label->width() + titleWidth - width());
            setFixedSize(titleWidth, height());
        }

        // Qt centres a box over its parent; this one belongs in the screen's
        // centre, frame included. Before mapping, Qt places the client area.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QMargins frame = frameExtentsBeforeMapping(this).value_or(QMargins());
            QRect outer(QPoint(0, 0), size().grownBy(frame));
            outer.moveCenter(screen->availableGeometry().center());
            move(outer.topLeft() + QPoint(frame.left(), frame.top()));
        }
    }
};

} // namespace

void showModalBox(const QString& caption, const QString& text, BoxIcon icon)
{
    const QPointer<QWidget> owner = QApplication::activeWindow();
    CentredMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon == BoxIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    ok->setIcon(QIcon());
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    // The keyboard goes back to the window, to the control that had it, as on
    // Windows; without a window manager that activates it, no control would
    // have the focus and Enter on the send button would do nothing.
    if (owner && owner->isVisible())
        owner->activateWindow();
}

} // namespace mirunea::qt
