#pragma once

#include <cstdint>
#include <optional>

// One character to code page 932, as encode() writes it and a Japanese editor
// saves it: the code page's own table where a character maps there and back,
// and the characters Shift-JIS holds under another code point (WAVE DASH
// U+301C as FULLWIDTH TILDE's 0x8160, MINUS SIGN, the dashes, the cent, pound
// and not signs, DOUBLE VERTICAL LINE) in those forms. The same answer on
// every platform: no converter's best fit beyond these.
namespace mirunea::cp932 {

// The bytes (one below 0x100, else lead * 256 + trail); none where code page
// 932 cannot hold the character.
[[nodiscard]] std::optional<std::uint16_t> shiftJisOf(char32_t codePoint);

} // namespace mirunea::cp932
