#include "app/toolkit/qt/panel_widget.h"

#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/qt_window.h"
#include "app/toolkit/window_rules.h"

#include <QHelpEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QToolTip>

namespace mirunea::qt {

PanelWidget::PanelWidget(QWidget* parent, const QColor& background)
    : QGroupBox(parent)
    , m_background(background)
{
    setFocusPolicy(Qt::NoFocus);
}

bool PanelWidget::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        // Shared keys included: the window decides which control the key reaches.
        static_cast<void>(routeAccessKey(this, static_cast<QShortcutEvent*>(event)->key()));
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        showCaptionTip(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QGroupBox::event(event);
}

// Over the caption, a caption cut at the panel's edge shows whole; elsewhere
// the event goes on to the window, which shows nothing.
void PanelWidget::showCaptionTip(QHelpEvent* event)
{
    const QFontMetrics metrics(font());
    const QString shown = withoutAccessKeyMarks(title());
    const QRect caption(0, 0, width(), metrics.height());
    if (caption.contains(event->pos())
        && toolkit::rules::isCut(metrics.horizontalAdvance(shown), toolkit::rules::panelCaptionRoom(width()))) {
        QToolTip::showText(event->globalPos(), shown, this, caption);
        return;
    }
    QToolTip::hideText();
    event->ignore();
}

void PanelWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);

    const QFontMetrics metrics(font());
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));

    if (title().isEmpty())
        return;
    constexpr int captionLeft = toolkit::rules::kPanelCaptionLeft;
    constexpr int captionPadding = toolkit::rules::kPanelCaptionPadding;
    const int textWidth = metrics.horizontalAdvance(withoutAccessKeyMarks(title()));
    const QRect caption(captionLeft, 0, textWidth + 2 * captionPadding, metrics.height());
    painter.fillRect(caption, m_background);
    style()->drawItemText(&painter, caption.adjusted(captionPadding, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

} // namespace mirunea::qt
