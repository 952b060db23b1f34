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

#include <limits>

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
    if (m_removing || toolkit::rules::isOneLine(text().toStdU16String()))
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

} // namespace mirunea::qt
