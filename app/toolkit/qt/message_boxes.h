#pragma once

#include <QString>

namespace mirunea::qt {

enum class BoxIcon { None, Stop };

// A modal box with one "OK" button, which Enter and Escape also press,
// centred on the screen.
void showModalBox(const QString& caption, const QString& text, BoxIcon icon);

} // namespace mirunea::qt
