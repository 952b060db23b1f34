#include "app/text/cp932_compatible.h"

#include "app/text/cp932_tables.h"

#include <cstddef>

namespace mirunea::cp932 {

namespace {

struct CompatibleForm
{
    char16_t character;
    std::uint16_t bytes;
};

// Characters a Unicode editor or an input method writes where Shift-JIS text
// means the character code page 932 decodes to another code point. Input
// methods give WAVE DASH for 〜 from their candidate lists.
constexpr CompatibleForm kCompatibleForms[] = {
    {u'\u301C', 0x8160}, // WAVE DASH (reads back as FULLWIDTH TILDE)
    {u'\u2212', 0x817C}, // MINUS SIGN (FULLWIDTH HYPHEN-MINUS)
    {u'\u2016', 0x8161}, // DOUBLE VERTICAL LINE (PARALLEL TO)
    {u'\u2014', 0x815C}, // EM DASH (HORIZONTAL BAR)
    {u'\u00A2', 0x8191}, // CENT SIGN (FULLWIDTH CENT SIGN)
    {u'\u00A3', 0x8192}, // POUND SIGN (FULLWIDTH POUND SIGN)
    {u'\u00AC', 0x81CA}, // NOT SIGN (FULLWIDTH NOT SIGN)
};

// The character the bytes decode to.
[[nodiscard]] char16_t decodedOf(const DecodeTable& decoding, std::uint16_t bytes)
{
    if (bytes < 0x100)
        return decoding.singleByte[bytes];
    const auto lead = static_cast<unsigned char>(bytes >> 8);
    return decoding.doubleByte[leadIndex(lead) * 256 + (bytes & 0xFF)];
}

} // namespace

EncodeTable agreedEncodeTable(const EncodeTable& platform, const DecodeTable& decoding)
{
    EncodeTable table(0x10000, kNoMapping);
    for (std::size_t codePoint = 0; codePoint < table.size() && codePoint < platform.size(); ++codePoint) {
        const std::uint16_t bytes = platform[codePoint];
        if (bytes != kNoMapping && decodedOf(decoding, bytes) == codePoint)
            table[codePoint] = bytes;
    }
    for (const CompatibleForm& form : kCompatibleForms)
        table[form.character] = form.bytes;
    return table;
}

std::optional<std::uint16_t> shiftJisOf(char32_t codePoint)
{
    if (codePoint > 0xFFFF)
        return std::nullopt;
    // The table leaves the surrogates unmapped.
    const std::uint16_t bytes = encodeTable()[codePoint];
    if (bytes == kNoMapping)
        return std::nullopt;
    return bytes;
}

} // namespace mirunea::cp932
