#include "app/toolkit/qt/answer_widgets.h"

#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/text_rules.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>

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
