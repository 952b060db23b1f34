#include "app/cp932.h"

#include "app/cp932_tables.h"

#include <iconv.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

// The conversion tables, built once from glibc's "CP932" converter so that the
// process locale plays no part.
namespace mirunea::cp932 {

namespace {

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

// One UTF-16LE unit from the converter's output, or U+FFFD for anything else.
[[nodiscard]] char16_t singleUtf16Unit(const std::string& utf16le)
{
    if (utf16le.size() != 2)
        return kReplacementCharacter;
    const auto low = static_cast<unsigned char>(utf16le[0]);
    const auto high = static_cast<unsigned char>(utf16le[1]);
    const auto unit = static_cast<char16_t>(low | (high << 8));
    return isSurrogate(unit) ? kReplacementCharacter : unit;
}

[[nodiscard]] DecodeTable buildDecodeTable()
{
    IconvHandle toUtf16("UTF-16LE", "CP932");
    DecodeTable table;
    std::string output;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const auto input = static_cast<unsigned char>(byte);
        table.singleByte[byte] = !isLeadByte(input) && toUtf16.convert(&input, 1, output) ? singleUtf16Unit(output)
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

[[nodiscard]] EncodeTable buildEncodeTable()
{
    IconvHandle fromUtf16("CP932", "UTF-16LE");
    EncodeTable table(0x10000, kNoMapping);
    std::string output;
    for (unsigned codePoint = 0; codePoint < 0x10000; ++codePoint) {
        if (isSurrogate(static_cast<char16_t>(codePoint)))
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

const DecodeTable& decodeTable()
{
    static const DecodeTable table = buildDecodeTable();
    return table;
}

const EncodeTable& encodeTable()
{
    static const EncodeTable table = buildEncodeTable();
    return table;
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
