#pragma once

#include <QIcon>

namespace mirunea::qt {

// 32 x 32 in the 16-colour palette: an answer sheet with ticked boxes.
[[nodiscard]] QIcon applicationIcon();

} // namespace mirunea::qt
