#include "app/toolkit/design_look.h"

#include "app/text/cp932.h"

namespace mirunea::toolkit::design {

std::string fontFace()
{
    return cp932::fromUtf8("ＭＳ Ｐゴシック");
}

} // namespace mirunea::toolkit::design
