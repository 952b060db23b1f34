#include "app/toolkit/qt/unmatched_access_keys.h"

#include <QKeyEvent>

namespace mirunea::qt {

bool UnmatchedAccessKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers();
        // A matched access key never arrives here as a key press. Ctrl+Alt is
        // AltGr on some keyboards and types characters, so it passes.
        if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !key->text().isEmpty()
            && key->text().at(0).isPrint())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mirunea::qt
