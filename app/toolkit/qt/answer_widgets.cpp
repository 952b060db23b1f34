#include "app/toolkit/qt/answer_widgets.h"

#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/text_rules.h"
#include "app/toolkit/window_rules.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolTip>

#include <cstddef>
#include <limits>
#include <string>

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

bool CheckListWidget::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QListWidget::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QListWidgetItem* row = itemAt(help->pos());
    if (row && isCut(row)) {
        QToolTip::showText(help->globalPos(), row->text(), viewport(), visualItemRect(row));
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

// As the style draws a row: the check box, then the text between its margins,
// elided where it is wider.
bool CheckListWidget::isCut(const QListWidgetItem* item) const
{
    QStyleOptionViewItem option;
    option.initFrom(this);
    option.rect = visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = item->text();
    option.font = font();
    const QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return toolkit::rules::isCut(fontMetrics().horizontalAdvance(item->text()), text.width() - 2 * margin);
}

SingleLineEdit::SingleLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // Qt cuts a longer text at 32,767 characters without a word; an answer
    // of any length is written whole.
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, [this] { applyTextRules(); });
}

void SingleLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // The text changes inside the event, before the composition it leaves is
    // known: the rules wait for its end.
    m_inInputMethodEvent = true;
    QLineEdit::inputMethodEvent(event);
    m_inInputMethodEvent = false;
    m_preedit = event->preeditString();
    if (m_preedit.isEmpty())
        applyTextRules();
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
    applyTextRules(true);
}

void SingleLineEdit::applyTextRules(bool focusLeft)
{
    if (m_applying || m_inInputMethodEvent)
        return;
    const std::u16string typed = text().toStdU16String();
    if (!focusLeft && toolkit::rules::awaitsSecondHalf(typed, static_cast<std::size_t>(cursorPosition())))
        return;
    // Characters to replace wait while a word is composed (the text excludes
    // it): replacing them would end the composition.
    if (toolkit::rules::isOneLine(typed) && (!m_preedit.isEmpty() || toolkit::rules::isAsWritten(typed)))
        return;
    m_applying = true;
    // setText() resets the input method, which throws away a word still being
    // composed; commit it first, where it is shown, so that it stays.
    if (!m_preedit.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(m_preedit);
        QLineEdit::inputMethodEvent(&commit);
        m_preedit.clear();
        QGuiApplication::inputMethod()->reset();
    }
    const std::u16string current = text().toStdU16String();
    const auto cursor = static_cast<int>(
        toolkit::rules::caretInTypedText(current, static_cast<std::size_t>(cursorPosition())));
    QLineEdit::setText(QString::fromStdU16String(toolkit::rules::typedText(current)));
    setCursorPosition(cursor);
    m_applying = false;
}

} // namespace mirunea::qt
