#include "app/text/cp932.h"

#include "app/text/cp932_tables.h"
#include "app/text/posix/cp932_glibc_tables.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

// The conversion tables come from glibc's "CP932" converter, taken when the
// program is built; the process locale plays no part.
namespace mirunea::cp932 {

// UTF-8 for our own texts; malformed input becomes one U+FFFD per byte skipped.
std::u16string utf16FromUtf8(std::string_view utf8)
{
    std::u16string text;
    text.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto first = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t codePoint = 0;
        char32_t minimum = 0;
        if (first < 0x80) {
            length = 1;
            codePoint = first;
        } else if (first >= 0xC2 && first <= 0xDF) {
            length = 2;
            codePoint = first & 0x1Fu;
            minimum = 0x80;
        } else if (first >= 0xE0 && first <= 0xEF) {
            length = 3;
            codePoint = first & 0x0Fu;
            minimum = 0x800;
        } else if (first >= 0xF0 && first <= 0xF4) {
            length = 4;
            codePoint = first & 0x07u;
            minimum = 0x10000;
        }
        bool valid = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0u) == 0x80u;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        valid = valid && codePoint >= minimum && codePoint <= 0x10FFFF && !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
        if (!valid) {
            text += kReplacementCharacter;
            ++i;
            continue;
        }
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            text += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            text += static_cast<char16_t>(codePoint);
        }
        i += length;
    }
    return text;
}

// Decoded text holds no surrogates, so each unit is one BMP code point.
std::string utf8FromDecodedText(std::u16string_view text)
{
    std::string utf8;
    utf8.reserve(text.size() * 3);
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            utf8 += static_cast<char>(unit);
        } else if (unit < 0x800) {
            utf8 += static_cast<char>(0xC0 | (unit >> 6));
            utf8 += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (unit >> 12));
            utf8 += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return utf8;
}

DecodeTable buildPlatformDecodeTable()
{
    DecodeTable table;
    std::copy(std::begin(glibc::singleByte), std::end(glibc::singleByte), table.singleByte.begin());
    table.doubleByte.assign(std::begin(glibc::doubleByte), std::end(glibc::doubleByte));
    return table;
}

EncodeTable buildPlatformEncodeTable()
{
    return EncodeTable(std::begin(glibc::encode), std::end(glibc::encode));
}

} // namespace mirunea::cp932
