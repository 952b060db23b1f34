#include "app/cp932.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Code page 932 through the system's own converter, whatever the ANSI code
// page of this Windows is. The conversions run on two tables filled once from
// MultiByteToWideChar and WideCharToMultiByte, so that the invalid-byte rules
// are the same as on the other platforms and a text of any size takes one
// lookup per character.
namespace mirunea::cp932 {

namespace {

constexpr UINT kCodePage = 932;
constexpr char16_t kReplacementCharacter = u'\uFFFD';
constexpr char kUnmappableByte = '?';

[[nodiscard]] constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

[[nodiscard]] constexpr bool isTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Windows also maps 0x80, 0xA0 and 0xFD..0xFF, to U+0080 and private-use
// characters; they are no Shift-JIS and decode as invalid here, as elsewhere.
[[nodiscard]] constexpr bool isSingleByteCharacter(unsigned char byte)
{
    return byte <= 0x7F || (byte >= 0xA1 && byte <= 0xDF);
}

[[nodiscard]] constexpr bool isSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
[[nodiscard]] constexpr bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
[[nodiscard]] constexpr bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

[[nodiscard]] constexpr std::size_t leadIndex(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + (0x9Fu - 0x81u + 1u);
}
constexpr std::size_t kLeadByteCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

// One character, or U+FFFD where Windows calls the bytes invalid.
[[nodiscard]] char16_t decodeOne(const char* bytes, int size)
{
    wchar_t output[2] = {};
    const int count = ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, size, output, 2);
    if (count != 1 || isSurrogate(static_cast<char16_t>(output[0])))
        return kReplacementCharacter;
    return static_cast<char16_t>(output[0]);
}

struct DecodeTable
{
    std::array<char16_t, 256> singleByte{};
    std::vector<char16_t> doubleByte = std::vector<char16_t>(kLeadByteCount * 256, kReplacementCharacter);
};

[[nodiscard]] DecodeTable buildDecodeTable()
{
    DecodeTable table;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char input = static_cast<char>(byte);
        table.singleByte[byte] = isSingleByteCharacter(static_cast<unsigned char>(byte)) ? decodeOne(&input, 1)
                                                                                         : kReplacementCharacter;
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            if (!isTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const char input[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            table.doubleByte[leadIndex(static_cast<unsigned char>(lead)) * 256 + trail] = decodeOne(input, 2);
        }
    }
    return table;
}

const DecodeTable& decodeTable()
{
    static const DecodeTable table = buildDecodeTable();
    return table;
}

// Bytes for each BMP code point: a single byte below 0x100, a lead and trail
// pair above, kNoMapping where Windows has neither a mapping nor a best fit.
constexpr std::uint16_t kNoMapping = 0xFFFF;

// Windows writes U+0080 and U+F8F0..U+F8F3 as the bytes that decode() calls
// invalid; those characters are unmappable here, so that everything encode()
// writes decodes again.
[[nodiscard]] bool decodesAsOneCharacter(const char* bytes, int size)
{
    const DecodeTable& table = decodeTable();
    if (size < 1)
        return false;
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (size == 1)
        return !isLeadByte(first) && table.singleByte[first] != kReplacementCharacter;
    const auto second = static_cast<unsigned char>(bytes[1]);
    return size == 2 && isLeadByte(first) && isTrailByte(second)
           && table.doubleByte[leadIndex(first) * 256 + second] != kReplacementCharacter;
}

[[nodiscard]] std::vector<std::uint16_t> buildEncodeTable()
{
    std::vector<std::uint16_t> table(0x10000, kNoMapping);
    for (unsigned codePoint = 0; codePoint < 0x10000; ++codePoint) {
        if (isSurrogate(static_cast<char16_t>(codePoint)))
            continue;
        const wchar_t input = static_cast<wchar_t>(codePoint);
        char output[4] = {};
        BOOL usedDefault = FALSE;
        const int count = ::WideCharToMultiByte(kCodePage, 0, &input, 1, output, sizeof output, nullptr, &usedDefault);
        if (usedDefault || !decodesAsOneCharacter(output, count))
            continue;
        if (count == 1)
            table[codePoint] = static_cast<unsigned char>(output[0]);
        else if (count == 2)
            table[codePoint] = static_cast<std::uint16_t>((static_cast<unsigned char>(output[0]) << 8)
                                                          | static_cast<unsigned char>(output[1]));
    }
    return table;
}

const std::vector<std::uint16_t>& encodeTable()
{
    static const std::vector<std::uint16_t> table = buildEncodeTable();
    return table;
}

[[nodiscard]] std::u16string utf16FromUtf8(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const auto size = static_cast<int>(utf8.size());
    const int count = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::u16string text(static_cast<std::size_t>(count), u'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, reinterpret_cast<wchar_t*>(text.data()), count);
    return text;
}

[[nodiscard]] std::string utf8FromUtf16(std::u16string_view text)
{
    if (text.empty())
        return {};
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const auto size = static_cast<int>(text.size());
    const int count = ::WideCharToMultiByte(CP_UTF8, 0, units, size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(count), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, units, size, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

} // namespace

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
    const std::vector<std::uint16_t>& table = encodeTable();
    std::string sjis;
    sjis.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t unit = text[i];
        ++i;
        if (isHighSurrogate(unit) && i < text.size() && isLowSurrogate(text[i])) {
            // Code page 932 holds nothing beyond the BMP: one "?" per code point.
            sjis += kUnmappableByte;
            ++i;
            continue;
        }
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

std::string fromUtf8(std::string_view utf8)
{
    return encode(utf16FromUtf8(utf8));
}

std::string toUtf8(std::string_view sjis)
{
    return utf8FromUtf16(decode(sjis));
}

} // namespace mirunea::cp932
