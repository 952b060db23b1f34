#include "app/text/cp932_compatible.h"

#include "app/text/cp932_tables.h"

namespace mirunea::cp932 {

namespace {

// The character the bytes decode to.
[[nodiscard]] char32_t decodedOf(std::uint16_t bytes)
{
    const DecodeTable& table = decodeTable();
    if (bytes < 0x100)
        return table.singleByte[bytes];
    const auto lead = static_cast<unsigned char>(bytes >> 8);
    return table.doubleByte[leadIndex(lead) * 256 + (bytes & 0xFF)];
}

} // namespace

std::optional<std::uint16_t> shiftJisOf(char32_t codePoint)
{
    // Characters a Unicode editor writes where Shift-JIS text meant the
    // character code page 932 decodes to another code point.
    switch (codePoint) {
    case U'\u301C': // WAVE DASH
        return 0x8160;
    case U'\u2212': // MINUS SIGN
        return 0x817C;
    case U'\u2016': // DOUBLE VERTICAL LINE
        return 0x8161;
    case U'\u2014': // EM DASH
        return 0x815C;
    case U'\u00A2': // CENT SIGN
        return 0x8191;
    case U'\u00A3': // POUND SIGN
        return 0x8192;
    case U'\u00AC': // NOT SIGN
        return 0x81CA;
    default:
        break;
    }
    if (codePoint > 0xFFFF || isSurrogate(static_cast<char16_t>(codePoint)))
        return std::nullopt;
    const std::uint16_t bytes = encodeTable()[codePoint];
    // A converter's best fit ("¥" written as "\") is no form of the character:
    // only what decodes back to it counts, so that every platform agrees.
    if (bytes == kNoMapping || decodedOf(bytes) != codePoint)
        return std::nullopt;
    return bytes;
}

} // namespace mirunea::cp932
