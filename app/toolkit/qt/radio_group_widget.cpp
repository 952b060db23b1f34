#include "app/toolkit/qt/radio_group_widget.h"

#include "app/toolkit/qt/focus_chain.h"
#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/qt_window.h"
#include "app/toolkit/window_rules.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <optional>

namespace mirunea::qt {

namespace {

// +1 for Right and Down, -1 for Left and Up, 0 for other keys.
int arrowStep(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return 0;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        return 1;
    case Qt::Key_Left:
    case Qt::Key_Up:
        return -1;
    default:
        return 0;
    }
}

constexpr int kFrameTop = 7; // the frame line, where a caption's middle would be

} // namespace

RadioItem::RadioItem(const QString& text, RadioGroupWidget* group)
    : QRadioButton(text, group)
    , m_group(group)
{
    connect(this, &QAbstractButton::toggled, group, &RadioGroupWidget::updateTabStops);
}

bool RadioItem::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        // Shared keys included: the window decides which control the key
        // reaches. Alone, the item selects at once rather than after Qt's
        // animated click.
        if (!routeAccessKey(this, static_cast<QShortcutEvent*>(event)->key())) {
            setFocus(Qt::ShortcutFocusReason);
            setChecked(true);
        }
        return true;
    }
    const bool handled = QRadioButton::event(event);
    // Qt hands the group's tab stop to whichever item took focus; undo that.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        m_group->updateTabStops();
    return handled;
}

void RadioItem::keyPressEvent(QKeyEvent* event)
{
    if (const int step = arrowStep(event)) {
        m_group->moveSelection(this, step);
        event->accept();
        return;
    }
    QRadioButton::keyPressEvent(event);
}

bool RadioItem::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

RadioGroupWidget::RadioGroupWidget(QWidget* parent)
    : QWidget(parent)
{
    // Takes focus only from its panel's access key, never by Tab or a click.
    setFocusPolicy(Qt::NoFocus);
    // Drawn in its panel's colour (the palette it inherits), so that it covers
    // a label beneath it as the other controls do.
    setAutoFillBackground(true);
}

void RadioGroupWidget::appendItem(const QString& text)
{
    QWidget* previous = lastInFocusChain();
    auto* item = new RadioItem(text, this);
    item->setFont(font());
    item->setAutoExclusive(true);
    m_items.push_back(item);
    placeInFocusChainAfter(previous, item);
    updateTabStops();
    arrangeItems();
    item->setVisible(true);
}

QWidget* RadioGroupWidget::lastInFocusChain()
{
    return m_items.empty() ? static_cast<QWidget*>(this) : m_items.back();
}

std::optional<int> RadioGroupWidget::selectedItem() const
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->isChecked())
            return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

void RadioGroupWidget::takeFocusFromPanel()
{
    if (const auto selected = selectedItem())
        item(*selected - 1)->setFocus(Qt::ShortcutFocusReason);
    else
        setFocus(Qt::ShortcutFocusReason);
}

void RadioGroupWidget::moveSelection(RadioItem* from, int step)
{
    std::optional<int> index; // none: from the group itself
    if (from) {
        const auto found = std::find(m_items.begin(), m_items.end(), from);
        index = static_cast<int>(found - m_items.begin());
    }
    const auto target = toolkit::rules::radioArrow(static_cast<int>(m_items.size()), index, step);
    if (!target)
        return;
    RadioItem* reached = m_items[static_cast<std::size_t>(*target)];
    reached->setChecked(true);
    reached->setFocus(Qt::TabFocusReason);
}

void RadioGroupWidget::updateTabStops()
{
    for (RadioItem* item : m_items)
        item->setFocusPolicy(item->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void RadioGroupWidget::keyPressEvent(QKeyEvent* event)
{
    if (const int step = arrowStep(event)) {
        moveSelection(nullptr, step);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RadioGroupWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, kFrameTop, -1, -1);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = frame.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void RadioGroupWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrangeItems();
}

void RadioGroupWidget::arrangeItems()
{
    if (m_items.empty())
        return;
    // As wide as its text, so a click beside the text does not select it.
    std::vector<int> widths;
    for (RadioItem* item : m_items)
        widths.push_back(item->sizeHint().width());
    const auto places = toolkit::rules::radioItemPlaces(width(), height(), widths);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        RadioItem* item = m_items[i];
        item->setGeometry(places[i].left, places[i].top, places[i].width, places[i].height);
        // Cut at the frame: the whole text on hover.
        item->setToolTip(toolkit::rules::isCut(widths[i], places[i].width) ? withoutAccessKeyMarks(item->text())
                                                                           : QString());
    }
}

} // namespace mirunea::qt
