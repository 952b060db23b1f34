#include "app/toolkit/qt/focus_chain.h"

#include <QWidget>

namespace mirunea::qt {

void placeInFocusChainAfter(QWidget* first, QWidget* second)
{
    // Qt ignores setTabOrder for a widget with Qt::NoFocus, so lend both a
    // focus policy for the moment of the move.
    const Qt::FocusPolicy firstPolicy = first->focusPolicy();
    const Qt::FocusPolicy secondPolicy = second->focusPolicy();
    first->setFocusPolicy(Qt::ClickFocus);
    second->setFocusPolicy(Qt::ClickFocus);
    QWidget::setTabOrder(first, second);
    first->setFocusPolicy(firstPolicy);
    second->setFocusPolicy(secondPolicy);
}

} // namespace mirunea::qt
