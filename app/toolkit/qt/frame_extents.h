#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace mirunea::qt {

// The frame a window manager will draw round a top-level widget that is not
// mapped yet, in the widget's own (device-independent) pixels; nothing where
// no window manager runs or it cannot tell before mapping. Asks the window
// manager (_NET_REQUEST_FRAME_EXTENTS) and waits briefly for its answer.
std::optional<QMargins> frameExtentsBeforeMapping(QWidget* window);

} // namespace mirunea::qt
