#include "app/toolkit/qt/answer_widgets.h"

#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/qt_window.h"
#include "app/toolkit/qt/radio_group_widget.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>

#include <algorithm>
#include <limits>

namespace mirunea::qt {

namespace {

// A line break, or any other control character but tab: all become spaces.
bool hasLineBreak(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
}

} // namespace

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
    // Qt cuts a longer text at 32,767 characters without a word; an answer
    // of any length is written whole.
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &SingleLineEdit::removeLineBreaks);
}

void SingleLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    QLineEdit::inputMethodEvent(event);
    m_preedit = event->preeditString();
}

void SingleLineEdit::setText(const QString& text)
{
    // Qt drops the composition on a text set from code.
    m_preedit.clear();
    QLineEdit::setText(text);
}

void SingleLineEdit::focusOutEvent(QFocusEvent* event)
{
    // Qt commits the composition when the focus leaves.
    QLineEdit::focusOutEvent(event);
    m_preedit.clear();
}

void SingleLineEdit::removeLineBreaks()
{
    if (m_removing || !hasLineBreak(text()))
        return;
    m_removing = true;
    // setText() resets the input method, which throws away a word still being
    // composed; commit it first, where it is shown, so that it stays.
    if (!m_preedit.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(m_preedit);
        QLineEdit::inputMethodEvent(&commit);
        m_preedit.clear();
        QGuiApplication::inputMethod()->reset();
    }
    const QString current = text();
    const int cursor = static_cast<int>(withoutLineBreaks(current.left(cursorPosition())).size());
    QLineEdit::setText(withoutLineBreaks(current));
    setCursorPosition(cursor);
    m_removing = false;
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
    if (event->type() == QEvent::Shortcut) {
        // Shared keys included: the window decides which control the key reaches.
        if (!routeAccessKey(this, static_cast<QShortcutEvent*>(event)->key()))
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
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

} // namespace mirunea::qt
