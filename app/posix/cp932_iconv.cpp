#include "app/cp932.h"

#include <iconv.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The conversions run on two tables built once from glibc's "CP932" converter,
// so that a text of any size takes one table lookup per character and the
// process locale plays no part.
namespace mirunea::cp932 {

namespace {

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

[[nodiscard]] constexpr bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
[[nodiscard]] constexpr bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Lead bytes 0x81..0x9F then 0xE0..0xFC, numbered from 0.
[[nodiscard]] constexpr std::size_t leadIndex(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + (0x9Fu - 0x81u + 1u);
}
constexpr std::size_t kLeadByteCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

class IconvHandle
{
public:
    IconvHandle(const char* to, const char* from)
        : m_handle(iconv_open(to, from))
    {
        if (m_handle == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~IconvHandle() { iconv_close(m_handle); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // Converts the whole input, or returns false where the converter rejects it.
    [[nodiscard]] bool convert(const void* input, std::size_t inputSize, std::string& output)
    {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        std::array<char, 16> buffer{};
        char* in = const_cast<char*>(static_cast<const char*>(input));
        char* out = buffer.data();
        std::size_t inLeft = inputSize;
        std::size_t outLeft = buffer.size();
        if (iconv(m_handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return false;
        output.assign(buffer.data(), out);
        return true;
    }

private:
    iconv_t m_handle;
};

struct DecodeTable
{
    std::array<char16_t, 256> singleByte{};
    // Indexed by leadIndex(lead) * 256 + trail; U+FFFD where the pair maps to nothing.
    std::vector<char16_t> doubleByte = std::vector<char16_t>(kLeadByteCount * 256, kReplacementCharacter);
};

// One UTF-16LE unit from the converter's output, or U+FFFD for anything else.
[[nodiscard]] char16_t singleUtf16Unit(const std::string& utf16le)
{
    if (utf16le.size() != 2)
        return kReplacementCharacter;
    const auto low = static_cast<unsigned char>(utf16le[0]);
    const auto high = static_cast<unsigned char>(utf16le[1]);
    const auto unit = static_cast<char16_t>(low | (high << 8));
    return isHighSurrogate(unit) || isLowSurrogate(unit) ? kReplacementCharacter : unit;
}

[[nodiscard]] DecodeTable buildDecodeTable()
{
    IconvHandle toUtf16("UTF-16LE", "CP932");
    DecodeTable table;
    std::string output;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const auto input = static_cast<unsigned char>(byte);
        table.singleByte[byte] = !isLeadByte(input) && toUtf16.convert(&input, 1, output)
                                     ? singleUtf16Unit(output)
                                     : kReplacementCharacter;
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            if (!isTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const std::array<unsigned char, 2> input{static_cast<unsigned char>(lead),
                                                     static_cast<unsigned char>(trail)};
            if (toUtf16.convert(input.data(), input.size(), output))
                table.doubleByte[leadIndex(input[0]) * 256 + trail] = singleUtf16Unit(output);
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
// pair above, kNoMapping where code page 932 cannot hold the character.
constexpr std::uint16_t kNoMapping = 0xFFFF;

[[nodiscard]] std::vector<std::uint16_t> buildEncodeTable()
{
    IconvHandle fromUtf16("CP932", "UTF-16LE");
    std::vector<std::uint16_t> table(0x10000, kNoMapping);
    std::string output;
    for (unsigned codePoint = 0; codePoint < 0x10000; ++codePoint) {
        if (isHighSurrogate(static_cast<char16_t>(codePoint)) || isLowSurrogate(static_cast<char16_t>(codePoint)))
            continue;
        const std::array<unsigned char, 2> input{static_cast<unsigned char>(codePoint & 0xFF),
                                                 static_cast<unsigned char>(codePoint >> 8)};
        if (!fromUtf16.convert(input.data(), input.size(), output))
            continue;
        if (output.size() == 1)
            table[codePoint] = static_cast<unsigned char>(output[0]);
        else if (output.size() == 2)
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

// UTF-8 for our own texts; malformed input becomes one U+FFFD per byte skipped.
[[nodiscard]] std::u16string utf16FromUtf8(std::string_view utf8)
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
        valid = valid && codePoint >= minimum && codePoint <= 0x10FFFF
                && !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
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
[[nodiscard]] std::string utf8FromBmpText(std::u16string_view text)
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
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            // Code page 932 holds nothing beyond the BMP; glibc would even drop
            // the tag characters U+E0000..U+E007F without a trace.
            sjis += kUnmappableByte;
            i += 2;
            continue;
        }
        ++i;
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
    return utf8FromBmpText(decode(sjis));
}

} // namespace mirunea::cp932
