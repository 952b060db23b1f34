#include "tally/check/unicode_text.h"

#include "app/text/cp932.h"

namespace mirunea::tally {

namespace {

[[nodiscard]] bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

DecodedCharacter decodeUtf8At(std::string_view bytes, std::size_t at)
{
    constexpr DecodedCharacter invalid{kReplacement, 1, false};
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        smallest = 0x10000;
    } else {
        return invalid;
    }
    if (bytes.size() - at < length)
        return invalid;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + i]);
        if (!isContinuation(byte))
            return invalid;
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return invalid;
    return {codePoint, length, true};
}

std::u32string decodeUtf8(std::string_view bytes)
{
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const DecodedCharacter character = decodeUtf8At(bytes, at);
        text += character.codePoint;
        at += character.length;
    }
    return text;
}

std::u32string decodeUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unitAt = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    std::u32string text;
    text.reserve(bytes.size() / 2 + 1);
    std::size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        const char32_t unit = unitAt(at);
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unitAt(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text += 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
                continue;
            }
        }
        text += (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit;
    }
    if (at < bytes.size())
        text += kReplacement;
    return text;
}

std::u32string decodeShiftJis(std::string_view bytes)
{
    const std::u16string decoded = cp932::decode(bytes);
    // Code page 932 holds nothing beyond the BMP: every unit is a code point.
    return std::u32string(decoded.begin(), decoded.end());
}

std::string utf8Of(char32_t codePoint)
{
    std::string out;
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

std::string utf8Of(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char32_t codePoint : text)
        out += utf8Of(codePoint);
    return out;
}

} // namespace mirunea::tally
