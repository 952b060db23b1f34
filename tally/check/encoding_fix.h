#pragma once

#include "tally/check/questionnaire_check.h"

#include <string>
#include <string_view>
#include <vector>

// A "data.txt" saved as UTF-8 or UTF-16 rewritten as Shift-JIS (code page
// 932), its line breaks kept as they are. Characters code page 932 holds
// under another code point (WAVE DASH, MINUS SIGN, ...) take that form.
namespace mirunea::tally {

struct EncodingFix
{
    std::string shiftJis; // empty when refused
    // Each character without a Shift-JIS form, UTF-8: its line number and the
    // character ("3 行目: 「😀」(U+1F600)"); a long list ends in a summary.
    std::vector<std::string> unmappable;
    [[nodiscard]] bool ok() const { return unmappable.empty(); }
};

// from: Utf8, Utf8WithBom, Utf16LittleEndian or Utf16BigEndian (a byte-order
// mark, where present, is left out); ShiftJis gives the bytes unchanged.
[[nodiscard]] EncodingFix toShiftJis(std::string_view fileBytes, FileEncoding from);

} // namespace mirunea::tally
