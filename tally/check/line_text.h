#pragma once

#include "tally/check/line_walk.h"
#include "tally/check/questionnaire_check.h"

#include <string>
#include <string_view>

// A line's text for the teacher: as the sheet shows it, as its author wrote
// it, shortened for a report.
namespace mirunea::tally {

// The start of the line (its first 4 KiB) in the file's own encoding, a
// UTF-8 byte-order mark left out.
[[nodiscard]] std::u32string writtenText(const WalkedLine& line, FileEncoding encoding);

// What the sheet shows of the bytes, which it takes as Shift-JIS: UTF-8, cut
// to maxCharacters (then "…"), control characters as U+FFFD.
[[nodiscard]] std::string shownText(std::string_view bytes, std::size_t maxCharacters);

// The text cut to maxCharacters (then "…"), UTF-8, control characters as U+FFFD.
[[nodiscard]] std::string shortened(std::u32string_view text, std::size_t maxCharacters);

// 「text」, shortened for a message.
[[nodiscard]] std::string quoted(std::u32string_view text);

// "択一", "複数選択" or "記述" for 'R', 'C', 'T'.
[[nodiscard]] std::string kindName(char marker);

} // namespace mirunea::tally
