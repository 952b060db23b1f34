#pragma once

class QWidget;

namespace mirunea::qt {

// Puts second right after first in the window's focus chain. Unlike
// QWidget::setTabOrder alone, it also places widgets that take no focus
// themselves (radio groups), which hold the place of their children.
void placeInFocusChainAfter(QWidget* first, QWidget* second);

} // namespace mirunea::qt
