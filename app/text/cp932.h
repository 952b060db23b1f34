#pragma once

#include <string>
#include <string_view>

// Code page 932 (Microsoft's Shift-JIS) to and from UTF-16.
namespace mirunea::cp932 {

// Bytes that are no valid code page 932 decode to U+FFFD: a single byte that
// maps to nothing, a lead byte without a valid trail byte (the trail byte is
// then decoded on its own), and a lead and trail pair that maps to nothing
// (one U+FFFD for the pair).
[[nodiscard]] std::u16string decode(std::string_view sjis);

// Code page 932's own mapping, plus the Shift-JIS forms every Japanese
// converter gives seven characters the table lacks (WAVE DASH U+301C as 81 60,
// see cp932_compatible.h). Everything else is written as one "?" per code
// point: a surrogate pair is one, so is a lone surrogate. No converter's best
// fit, so that every platform writes the same bytes.
[[nodiscard]] std::string encode(std::u16string_view text);

// For the program's own texts, which the sources hold as UTF-8.
[[nodiscard]] std::string fromUtf8(std::string_view utf8);
[[nodiscard]] std::string toUtf8(std::string_view sjis);

} // namespace mirunea::cp932
