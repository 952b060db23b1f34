#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Unicode text of the encodings a "data.txt" may come in, as code points.
namespace mirunea::tally {

inline constexpr char32_t kReplacement = U'\uFFFD';

struct DecodedCharacter
{
    char32_t codePoint; // kReplacement for a byte that starts no valid sequence
    std::size_t length; // bytes taken: 1 for an invalid byte
    bool valid;
};

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
[[nodiscard]] DecodedCharacter decodeUtf8At(std::string_view bytes, std::size_t at);
[[nodiscard]] std::u32string decodeUtf8(std::string_view bytes);

// UTF-16 of either byte order; a lone surrogate or an odd last byte reads as U+FFFD.
[[nodiscard]] std::u32string decodeUtf16(std::string_view bytes, bool bigEndian);

// Code page 932 as the sheet decodes it (invalid bytes as U+FFFD).
[[nodiscard]] std::u32string decodeShiftJis(std::string_view bytes);

[[nodiscard]] std::string utf8Of(std::u32string_view text);
[[nodiscard]] std::string utf8Of(char32_t codePoint);

} // namespace mirunea::tally
