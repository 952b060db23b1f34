#pragma once

#include "app/toolkit/toolkit.h"

#include <string>

// The look the program is designed in, for every backend: the face and size
// of its texts and the colour of Background::Silver.
namespace mirunea::toolkit::design {

// Shift-JIS, as every text of the program.
[[nodiscard]] std::string fontFace();
inline constexpr int kFontPixels = 12; // at 96 dots per inch

inline constexpr Rgb kSilver{192, 192, 192};

} // namespace mirunea::toolkit::design
