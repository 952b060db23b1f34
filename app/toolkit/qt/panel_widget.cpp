#include "app/toolkit/qt/panel_widget.h"

#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/qt_window.h"

#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>

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
    return QGroupBox::event(event);
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
    constexpr int captionLeft = 8;
    constexpr int captionPadding = 2;
    const int textWidth = metrics.horizontalAdvance(withoutAccessKeyMarks(title()));
    const QRect caption(captionLeft, 0, textWidth + 2 * captionPadding, metrics.height());
    painter.fillRect(caption, m_background);
    style()->drawItemText(&painter, caption.adjusted(captionPadding, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

} // namespace mirunea::qt
