#pragma once

#include "app/text/shift_jis.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lookup tables behind app/text/cp932.h. decode() and encode() walk them the
// same way everywhere; each platform fills them once from its own converter.
namespace mirunea::cp932 {

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';
inline constexpr char kUnmappableByte = '?';

[[nodiscard]] constexpr bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
[[nodiscard]] constexpr bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
[[nodiscard]] constexpr bool isSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Lead bytes 0x81..0x9F then 0xE0..0xFC, numbered from 0.
[[nodiscard]] constexpr std::size_t leadIndex(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + (0x9Fu - 0x81u + 1u);
}
inline constexpr std::size_t kLeadByteCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

struct DecodeTable
{
    std::array<char16_t, 256> singleByte{};
    // Indexed by leadIndex(lead) * 256 + trail; U+FFFD where the pair maps to nothing.
    std::vector<char16_t> doubleByte = std::vector<char16_t>(kLeadByteCount * 256, kReplacementCharacter);
};

// Bytes for each BMP code point: a single byte below 0x100, a lead and trail
// pair above, kNoMapping where code page 932 cannot hold the character.
using EncodeTable = std::vector<std::uint16_t>;
inline constexpr std::uint16_t kNoMapping = 0xFFFF;

// Built once on first use from the platform's tables, then shared by all callers.
[[nodiscard]] const DecodeTable& decodeTable();
[[nodiscard]] const EncodeTable& encodeTable();

// The table encode() writes by, the same on every platform: of a converter's
// mappings only those that decode back to their character (a best fit such as
// "e" for "é" or "\" for "¥" is no form of the character), plus the forms of
// cp932_compatible.h.
[[nodiscard]] EncodeTable agreedEncodeTable(const EncodeTable& platform, const DecodeTable& decoding);

// What each platform layer provides: its converter's tables, and UTF-8 to
// UTF-16 and back for the program's own texts (decoded text holds no
// surrogates, so the way back sees BMP code points only).
[[nodiscard]] DecodeTable buildPlatformDecodeTable();
[[nodiscard]] EncodeTable buildPlatformEncodeTable();
[[nodiscard]] std::u16string utf16FromUtf8(std::string_view utf8);
[[nodiscard]] std::string utf8FromDecodedText(std::u16string_view text);

} // namespace mirunea::cp932
