#include "app/toolkit/qt/app_icon.h"

#include <QPixmap>

// The one picture of the icon, also drawn into the Windows .ico and the desktop's PNGs.
#include "app/icon/mirunea.xpm"

namespace mirunea::qt {

QIcon applicationIcon()
{
    return QIcon(QPixmap(mirunea_xpm));
}

} // namespace mirunea::qt
