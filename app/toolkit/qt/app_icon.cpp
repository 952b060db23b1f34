#include "app/toolkit/qt/app_icon.h"

#include <QPixmap>

namespace mirunea::qt {

namespace {

// Colours from the standard 16-colour palette only; "." is transparent.
static const char* const kIconXpm[] = {
    "32 32 7 1",
    ". c None",
    "k c #000000",
    "w c #FFFFFF",
    "s c #808080",
    "g c #C0DCC0",
    "G c #008000",
    "r c #FF0000",
    "................................",
    "................................",
    "......kkkkkkkkkkkkkkkkkkkkkk....",
    "......kggggggggggggggggggggk....",
    "......kggggggggggggggggggggks...",
    "......kggGGGGGGGGGGGGggggggks...",
    "......kggggggggggggggggggggks...",
    "......kggggggggggggggggggggks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kwwwwwwwwrwwwwwwwwwwwks...",
    "......kwwkkkkkrrwwwwwwwwwwwks...",
    "......kwwkwwwrrwwwwwwwwwwwwks...",
    "......kwwkrwrrwwssssssssswwks...",
    "......kwwkrrrkwwwwwwwwwwwwwks...",
    "......kwwkkrkkwwwwwwwwwwwwwks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kwwkkkkkwwwwwwwwwwwwwks...",
    "......kwwkwwwkwwwwwwwwwwwwwks...",
    "......kwwkwwwkwwssssssssswwks...",
    "......kwwkwwwkwwwwwwwwwwwwwks...",
    "......kwwkkkkkwwwwwwwwwwwwwks...",
    "......kwwwwwwwwrwwwwwwwwwwwks...",
    "......kwwkkkkkrrwwwwwwwwwwwks...",
    "......kwwkwwwrrwwwwwwwwwwwwks...",
    "......kwwkrwrrwwssssssssswwks...",
    "......kwwkrrrkwwwwwwwwwwwwwks...",
    "......kwwkkrkkwwwwwwwwwwwwwks...",
    "......kwwGGGGGGGGGGGGGGGGwwks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kwwwwwwwwwwwwwwwwwwwwks...",
    "......kkkkkkkkkkkkkkkkkkkkkks...",
    "........sssssssssssssssssssss...",
};

} // namespace

QIcon applicationIcon()
{
    return QIcon(QPixmap(kIconXpm));
}

} // namespace mirunea::qt
