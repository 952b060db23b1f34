#include "app/toolkit/qt/answer_widgets.h"

#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/radio_group_widget.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>

namespace mirunea::qt {

CheckListWidget::CheckListWidget(QWidget* parent)
    : QListWidget(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A click on an item's check box makes it the current item too.
    connect(this, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) { setCurrentItem(item); });
}

void CheckListWidget::appendItem(const QString& text)
{
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    // One text line of the font's pixel height, as the list is designed for.
    item->setSizeHint(QSize(0, QFontInfo(font()).pixelSize()));
}

SingleLineEdit::SingleLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString oneLine = withoutLineBreaks(text);
        if (oneLine != text) {
            const int cursor = cursorPosition();
            setText(oneLine);
            setCursorPosition(cursor);
        }
    });
}

PushButton::PushButton(QWidget* parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
}

void PushButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (enter && !held && !event->isAutoRepeat()) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

PanelWidget::PanelWidget(QWidget* parent, const QColor& background)
    : QGroupBox(parent)
    , m_background(background)
{
    setFocusPolicy(Qt::NoFocus);
}

bool PanelWidget::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        focusAnswerControl();
        return true;
    }
    return QGroupBox::event(event);
}

void PanelWidget::focusAnswerControl()
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isHidden())
            continue;
        if (auto* radioGroup = qobject_cast<RadioGroupWidget*>(child)) {
            radioGroup->takeFocusFromPanel();
            return;
        }
        if (child->focusPolicy() & Qt::TabFocus) {
            child->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
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
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine,
                          palette(), isEnabled(), title(), QPalette::WindowText);
}

} // namespace mirunea::qt
