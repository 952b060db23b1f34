#include "app/text/cp932.h"

#include "app/text/cp932_tables.h"

#include <cstddef>
#include <cstdint>

// One table lookup per character, so that a text of any size converts quickly
// and the same invalid-byte rules hold on every platform.
namespace mirunea::cp932 {

std::u16string decode(std::string_view sjis)
{
    const DecodeTable& table = decodeTable();
    std::u16string text;
    text.reserve(sjis.size());
    std::size_t i = 0;
    while (i < sjis.size()) {
        const auto byte = static_cast<unsigned char>(sjis[i]);
        if (!isLeadByte(byte)) {
            text += table.singleByte[byte];
            ++i;
        } else if (i + 1 < sjis.size() && isTrailByte(static_cast<unsigned char>(sjis[i + 1]))) {
            text += table.doubleByte[leadIndex(byte) * 256 + static_cast<unsigned char>(sjis[i + 1])];
            i += 2;
        } else {
            // The byte after a lone lead byte is decoded on its own.
            text += kReplacementCharacter;
            ++i;
        }
    }
    return text;
}

std::string encode(std::u16string_view text)
{
    const EncodeTable& table = encodeTable();
    std::string sjis;
    sjis.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            // Code page 932 holds nothing beyond the BMP: one "?" per code point
            // (glibc would even drop the tag characters U+E0000..U+E007F without a trace).
            sjis += kUnmappableByte;
            i += 2;
            continue;
        }
        ++i;
        // Every platform leaves the surrogates unmapped: a lone one becomes "?".
        const std::uint16_t bytes = table[unit];
        if (bytes == kNoMapping) {
            sjis += kUnmappableByte;
        } else if (bytes < 0x100) {
            sjis += static_cast<char>(bytes);
        } else {
            sjis += static_cast<char>(bytes >> 8);
            sjis += static_cast<char>(bytes & 0xFF);
        }
    }
    return sjis;
}

const DecodeTable& decodeTable()
{
    static const DecodeTable table = buildPlatformDecodeTable();
    return table;
}

const EncodeTable& encodeTable()
{
    static const EncodeTable table = agreedEncodeTable(buildPlatformEncodeTable(), decodeTable());
    return table;
}

std::string fromUtf8(std::string_view utf8)
{
    return encode(utf16FromUtf8(utf8));
}

std::string toUtf8(std::string_view sjis)
{
    return utf8FromDecodedText(decode(sjis));
}

} // namespace mirunea::cp932
