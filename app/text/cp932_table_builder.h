#pragma once

#include "app/text/cp932_tables.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The tables of cp932_tables.h filled by asking a platform's converter about
// every single byte, every lead and trail pair and every BMP code point.
namespace mirunea::cp932 {

// decodeBytes(const unsigned char* bytes, std::size_t size) -> char16_t: the
// one character the bytes decode to, U+FFFD where there is none. Lead bytes
// are never asked about alone.
template<typename DecodeBytes>
[[nodiscard]] DecodeTable buildDecodeTable(DecodeBytes decodeBytes)
{
    DecodeTable table;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const auto input = static_cast<unsigned char>(byte);
        table.singleByte[byte] = isLeadByte(input) ? kReplacementCharacter : decodeBytes(&input, std::size_t{1});
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            if (!isTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const unsigned char input[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            table.doubleByte[leadIndex(input[0]) * 256 + trail] = decodeBytes(input, std::size_t{2});
        }
    }
    return table;
}

// encodeUnit(char16_t codePoint) -> std::string: the bytes the code point
// encodes to, empty where it has none. Surrogates are never asked about.
template<typename EncodeUnit>
[[nodiscard]] EncodeTable buildEncodeTable(EncodeUnit encodeUnit)
{
    EncodeTable table(0x10000, kNoMapping);
    for (unsigned codePoint = 0; codePoint < 0x10000; ++codePoint) {
        const auto unit = static_cast<char16_t>(codePoint);
        if (isSurrogate(unit))
            continue;
        const std::string bytes = encodeUnit(unit);
        if (bytes.size() == 1)
            table[codePoint] = static_cast<unsigned char>(bytes[0]);
        else if (bytes.size() == 2)
            table[codePoint] = static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[0]) << 8)
                                                          | static_cast<unsigned char>(bytes[1]));
    }
    return table;
}

} // namespace mirunea::cp932
