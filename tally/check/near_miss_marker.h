#pragma once

#include <string_view>

namespace mirunea::tally {

// A line that looks like a question marker to its author but is none for the
// sheet, which takes only "[R]", "[C]" or "[T]" as the line's first three
// bytes: full-width brackets or letters ("［Ｒ］"), a lower-case letter ("[r]"),
// blanks before the marker or inside it ("[R ]"), lenticular brackets ("【Ｒ】").
// An exact marker matches too: ask the line walk first.
[[nodiscard]] bool looksLikeMarker(std::u32string_view text);

} // namespace mirunea::tally
