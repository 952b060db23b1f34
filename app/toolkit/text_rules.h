#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the window does with texts, decided once for every toolkit backend:
// how much of a questionnaire text it shows, and the one-line rule for what
// is typed into an edit. Backends convert to and from their own strings.
namespace mirunea::toolkit::rules {

// Questionnaire texts are shown up to this many characters. A toolkit lays
// out a caption's whole text on every change, so a 200 MB title would hang
// the window; the questionnaire itself keeps every byte.
inline constexpr std::size_t kMaxShownCharacters = 4096;

// A Shift-JIS text as a control shows it: decoded, at most kMaxShownCharacters.
[[nodiscard]] std::u16string shownText(std::string_view sjis);

// Line breaks in typed or pasted text become one space each (CR LF counts
// once); so does every other control character below U+0020 but tab, which
// would end the line for a line-oriented reader of the answer file just the same.
[[nodiscard]] std::u16string withoutLineBreaks(std::u16string_view text);
// Whether withoutLineBreaks would leave the text as it is.
[[nodiscard]] bool isOneLine(std::u16string_view text);

} // namespace mirunea::toolkit::rules
