#pragma once

#include <string_view>

namespace mirunea::tally {

// What a caption shows on the sheet: "&" marks the next character as its
// access key and disappears, "&&" shows one "&", a final "&" shows nothing.
// The title, description, name prompt, question texts and radio choices are
// captions; check-list choices are shown as they are.
[[nodiscard]] std::u32string shownCaption(std::u32string_view caption);

// Whether an "&" of the caption disappears (a doubled one does not).
[[nodiscard]] bool losesAnAmpersand(std::u32string_view caption);

} // namespace mirunea::tally
