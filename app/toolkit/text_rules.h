#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the window does with texts, decided once for every toolkit backend:
// how much of a questionnaire text it shows, and what an edit makes of what
// is typed into it (one line, shown as it will be written). Backends convert
// to and from their own strings.
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

// Each character as the answer file will hold it, read back: a character
// Shift-JIS cannot hold becomes "?" (one per code point, a lone surrogate
// too), one written in another's form becomes that one (WAVE DASH U+301C
// reads back as FULLWIDTH TILDE U+FF5E). An edit shows this, so that a pupil
// named 𠮷田 sees at once that "?田" will be sent.
[[nodiscard]] std::u16string asWritten(std::u16string_view text);
// Whether asWritten would leave the text as it is.
[[nodiscard]] bool isAsWritten(std::u16string_view text);

// What an edit holds of typed, pasted or committed text: one line, each
// character as written.
[[nodiscard]] std::u16string typedText(std::u16string_view text);
// Where a caret at `caret` in the text stands in typedText(text): after what
// replaced the characters before it.
[[nodiscard]] std::size_t caretInTypedText(std::u16string_view text, std::size_t caret);
// Whether the character before the caret is the first half of a pair whose
// second half has yet to come: a keyboard (Win32's WM_CHAR) sends a character
// beyond the BMP in two halves, and replacing the first alone would make one
// character two "?". The edit waits for the second half, or for the focus to leave.
[[nodiscard]] bool awaitsSecondHalf(std::u16string_view text, std::size_t caret);

} // namespace mirunea::toolkit::rules
