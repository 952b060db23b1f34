#include "tally/check/file_encoding.h"

#include "app/text/cp932_compatible.h"
#include "app/text/cp932_tables.h"
#include "tally/check/unicode_text.h"

#include <algorithm>
#include <cstdint>

namespace mirunea::tally {

namespace {

constexpr std::size_t kSampleBytes = 256 * 1024;

[[nodiscard]] bool startsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

[[nodiscard]] bool inRange(char32_t codePoint, char32_t first, char32_t last)
{
    return codePoint >= first && codePoint <= last;
}

// Common kanji (JIS level 1) count for a reading; rare ones (level 2 and
// beyond, where Shift-JIS puts the lead bytes of UTF-8 kanji) count well
// against it, and kanji Shift-JIS lacks against it too.
[[nodiscard]] int kanjiScore(char32_t c)
{
    constexpr std::uint16_t kFirstLevelTwo = 0x989F;
    const auto bytes = cp932::shiftJisOf(c);
    if (!bytes)
        return -1;
    return *bytes < kFirstLevelTwo ? 1 : -2;
}

// How much a text reads like what a Japanese teacher writes: kana and
// common kanji count for it; half-width katakana (rare today), private-use
// characters and scripts no questionnaire uses count against it.
[[nodiscard]] int naturalness(std::u32string_view text)
{
    int score = 0;
    for (const char32_t c : text) {
        if (c < 0x80)
            continue;
        if (inRange(c, 0x3041, 0x30FF))
            score += 2; // hiragana, katakana
        else if (inRange(c, 0x4E00, 0x9FFF))
            score += kanjiScore(c);
        else if (inRange(c, 0x3000, 0x303F) || inRange(c, 0xFF01, 0xFF5E) || inRange(c, 0xFFE0, 0xFFE5))
            score += 1; // Japanese punctuation, full-width forms
        else if (inRange(c, 0xA0, 0xFF) || inRange(c, 0x2010, 0x2BFF) || inRange(c, 0x370, 0x4FF)
                 || inRange(c, 0x1F300, 0x1FAFF))
            score += 0; // Latin-1, punctuation and symbols, Greek and Cyrillic, pictographs
        else if (inRange(c, 0xFF61, 0xFF9F))
            score -= 1;
        else
            score -= 2; // private use, replacement characters, other scripts
    }
    return score;
}

[[nodiscard]] bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const DecodedCharacter character = decodeUtf8At(bytes, at);
        if (!character.valid)
            return false;
        at += character.length;
    }
    return true;
}

} // namespace

bool isValidShiftJis(std::string_view bytes)
{
    const cp932::DecodeTable& table = cp932::decodeTable();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80)
            continue;
        if (cp932::isLeadByte(byte)) {
            if (i + 1 == bytes.size() || !cp932::isTrailByte(static_cast<unsigned char>(bytes[i + 1])))
                return false;
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            if (table.doubleByte[cp932::leadIndex(byte) * 256 + trail] == cp932::kReplacementCharacter)
                return false;
            ++i;
            continue;
        }
        // 0x80, 0xA0 and 0xFD to 0xFF are no characters of code page 932.
        if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD || table.singleByte[byte] == cp932::kReplacementCharacter)
            return false;
    }
    return true;
}

FileEncoding detectEncoding(std::string_view fileBytes)
{
    if (startsWith(fileBytes, "\xEF\xBB\xBF"))
        return FileEncoding::Utf8WithBom;
    if (startsWith(fileBytes, "\xFF\xFE"))
        return FileEncoding::Utf16LittleEndian;
    if (startsWith(fileBytes, "\xFE\xFF"))
        return FileEncoding::Utf16BigEndian;
    const bool ascii = std::all_of(fileBytes.begin(), fileBytes.end(),
                                   [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
    if (ascii)
        return FileEncoding::ShiftJis;
    const bool shiftJis = isValidShiftJis(fileBytes);
    if (isValidUtf8(fileBytes)) {
        // Shift-JIS text is seldom valid UTF-8, UTF-8 text often valid
        // Shift-JIS: valid UTF-8 is UTF-8 unless Shift-JIS reads better.
        // The start of a large file tells as well as the whole.
        const std::string_view sample = fileBytes.substr(0, kSampleBytes);
        if (!shiftJis || naturalness(decodeUtf8(sample)) >= naturalness(decodeShiftJis(sample)))
            return FileEncoding::Utf8;
    }
    return shiftJis ? FileEncoding::ShiftJis : FileEncoding::InvalidShiftJis;
}

} // namespace mirunea::tally
