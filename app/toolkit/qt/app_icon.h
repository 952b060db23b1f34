#pragma once

#include <QIcon>

namespace mirunea::qt {

// 32 x 32 in 16 colours: the picture app/icon/mirunea.xpm.
[[nodiscard]] QIcon applicationIcon();

} // namespace mirunea::qt
