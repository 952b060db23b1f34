#pragma once

#include "tally/check/questionnaire_check.h"

#include <string_view>

namespace mirunea::tally {

// Which encoding a "data.txt" is in, as far as its bytes tell: a byte-order
// mark names UTF-8 or UTF-16; plain ASCII is Shift-JIS; valid UTF-8 with
// characters beyond ASCII is UTF-8 unless it reads more naturally as
// Shift-JIS; everything else is Shift-JIS, valid or not.
[[nodiscard]] FileEncoding detectEncoding(std::string_view fileBytes);

// Every byte part of a code page 932 character.
[[nodiscard]] bool isValidShiftJis(std::string_view bytes);

} // namespace mirunea::tally
