// Code page 932 through the Windows converter, against the shared tables,
// whatever the ANSI code page of the Windows it runs on.
#include "app/cp932.h"

#include "mini_test.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Mapping
{
    std::string bytes;
    char32_t codePoint;
};

[[nodiscard]] std::string bytesFromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Reads "<hex bytes> U+XXXX" (decode) or "U+XXXX <hex bytes>" (encode) lines.
[[nodiscard]] std::vector<Mapping> readMappings(const std::string& fileName)
{
    std::ifstream file(std::string(MIRUNEA_BASE_TEST_DATA "/") + fileName, std::ios::binary);
    MT_REQUIRE(file.is_open());
    std::vector<Mapping> mappings;
    std::string first;
    std::string second;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.find(' ');
        MT_REQUIRE(space != std::string::npos);
        first = line.substr(0, space);
        second = line.substr(space + 1);
        const bool codePointFirst = first.rfind("U+", 0) == 0;
        const std::string& code = codePointFirst ? first : second;
        const std::string& hex = codePointFirst ? second : first;
        mappings.push_back({bytesFromHex(hex), static_cast<char32_t>(std::stoul(code.substr(2), nullptr, 16))});
    }
    return mappings;
}

[[nodiscard]] std::u16string utf16(char32_t codePoint)
{
    if (codePoint < 0x10000)
        return std::u16string(1, static_cast<char16_t>(codePoint));
    const char32_t offset = codePoint - 0x10000;
    return {static_cast<char16_t>(0xD800 + (offset >> 10)), static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
}

[[nodiscard]] bool isLeadByte(unsigned byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

[[nodiscard]] bool isTrailByte(unsigned byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Characters the encode list leaves out because Windows writes them by best
// fit: they do not decode back to themselves. Wine's converter knows only
// some of them (not U+2014, U+2016, U+203E, U+2212, U+301C), so "?" passes too.
const std::map<char32_t, std::string> kKnownBestFits{
    {0x00A2, "\x81\x91"}, // CENT SIGN -> FULLWIDTH CENT SIGN
    {0x00A3, "\x81\x92"}, // POUND SIGN
    {0x00A5, "\x5C"},     // YEN SIGN -> backslash byte
    {0x00AC, "\x81\xCA"}, // NOT SIGN
    {0x2014, "\x81\x5C"}, // EM DASH
    {0x2016, "\x81\x61"}, // DOUBLE VERTICAL LINE
    {0x203E, "\x7E"},     // OVERLINE
    {0x2212, "\x81\x7C"}, // MINUS SIGN
    {0x301C, "\x81\x60"}, // WAVE DASH
};

// What an unlisted code point may become: "?", or a best fit of the
// platform's, which is one listed character other than the code point itself.
[[nodiscard]] bool isQuestionMarkOrBestFit(char32_t codePoint, const std::string& encoded,
                                           const std::set<std::string>& listedBytes)
{
    if (encoded == "?")
        return true;
    const auto known = kKnownBestFits.find(codePoint);
    if (known != kKnownBestFits.end())
        return encoded == known->second;
    const std::u16string decoded = mirunea::cp932::decode(encoded);
    return listedBytes.count(encoded) == 1 && decoded.size() == 1 && decoded[0] != codePoint;
}

constexpr std::size_t kMinimumListedMappings = 9000;
constexpr std::size_t kFailuresShown = 20;

} // namespace

MT_TEST(reportsTheAnsiCodePage)
{
    // Not a check: the log says which ANSI code page this run had.
    std::printf("    ANSI code page %u\n", ::GetACP());
}

MT_TEST(decodesEveryListedSequence)
{
    const std::vector<Mapping> mappings = readMappings("cp932-decode.txt");
    MT_REQUIRE(mappings.size() > kMinimumListedMappings);
    std::size_t failures = 0;
    std::string all;
    std::u16string allExpected;
    for (const Mapping& mapping : mappings) {
        MT_ROW(mirunea::test::printable(mapping.bytes));
        if (failures < kFailuresShown && !mirunea::test::checkEqual(mirunea::cp932::decode(mapping.bytes),
                                                                    utf16(mapping.codePoint), __FILE__, __LINE__,
                                                                    "decode"))
            ++failures;
        all += mapping.bytes;
        allExpected += utf16(mapping.codePoint);
    }
    MT_CHECK_EQ(failures, 0u);
    MT_CHECK(mirunea::cp932::decode(all) == allExpected);
}

MT_TEST(decodesEveryUnlistedSequenceAsOneReplacement)
{
    std::set<std::string> listed;
    for (const Mapping& mapping : readMappings("cp932-decode.txt"))
        listed.insert(mapping.bytes);
    std::size_t failures = 0;
    const std::u16string replacement(1, u'\uFFFD');
    for (unsigned first = 0; first < 256; ++first) {
        std::vector<std::string> sequences;
        if (isLeadByte(first)) {
            for (unsigned trail = 0; trail < 256; ++trail) {
                if (isTrailByte(trail))
                    sequences.push_back({static_cast<char>(first), static_cast<char>(trail)});
            }
        } else {
            sequences.emplace_back(1, static_cast<char>(first));
        }
        for (const std::string& sequence : sequences) {
            if (listed.count(sequence) || failures >= kFailuresShown)
                continue;
            MT_ROW(mirunea::test::printable(sequence));
            if (!mirunea::test::checkEqual(mirunea::cp932::decode(sequence), replacement, __FILE__, __LINE__,
                                           "decode"))
                ++failures;
        }
    }
    MT_CHECK_EQ(failures, 0u);
}

MT_TEST(encodesEveryListedCodePoint)
{
    const std::vector<Mapping> mappings = readMappings("cp932-encode.txt");
    MT_REQUIRE(mappings.size() > kMinimumListedMappings);
    std::size_t failures = 0;
    std::string allBytes;
    std::u16string allText;
    for (const Mapping& mapping : mappings) {
        MT_ROW("U+" + std::to_string(static_cast<unsigned long>(mapping.codePoint)));
        if (failures < kFailuresShown && !mirunea::test::checkEqual(mirunea::cp932::encode(utf16(mapping.codePoint)),
                                                                    mapping.bytes, __FILE__, __LINE__, "encode"))
            ++failures;
        allBytes += mapping.bytes;
        allText += utf16(mapping.codePoint);
    }
    MT_CHECK_EQ(failures, 0u);
    MT_CHECK(mirunea::cp932::encode(allText) == allBytes);
}

MT_TEST(encodesEveryUnlistedBmpCodePointAsQuestionMarkOrBestFit)
{
    std::set<char32_t> listed;
    for (const Mapping& mapping : readMappings("cp932-encode.txt"))
        listed.insert(mapping.codePoint);
    std::set<std::string> listedBytes;
    for (const Mapping& mapping : readMappings("cp932-decode.txt"))
        listedBytes.insert(mapping.bytes);
    std::size_t failures = 0;
    std::size_t bestFits = 0;
    for (char32_t codePoint = 0; codePoint < 0x10000 && failures < kFailuresShown; ++codePoint) {
        if (listed.count(codePoint))
            continue;
        const std::string encoded = mirunea::cp932::encode(utf16(codePoint));
        MT_ROW(mirunea::test::printable(utf16(codePoint)) + " -> " + mirunea::test::printable(encoded));
        if (!isQuestionMarkOrBestFit(codePoint, encoded, listedBytes)) {
            MT_CHECK_MSG(false, "neither \"?\" nor a best fit");
            ++failures;
        }
        if (encoded != "?")
            ++bestFits;
    }
    MT_CHECK_EQ(failures, 0u);
    std::printf("    %zu code points written by best fit\n", bestFits);
    // The best fits that matter most for Japanese text, known to every converter.
    MT_CHECK_EQ(mirunea::cp932::encode(u"\u00A5"), std::string("\x5C"));
    MT_CHECK_EQ(mirunea::cp932::encode(u"\u00A2\u00A3\u00AC"), std::string("\x81\x91\x81\x92\x81\xCA"));
}

MT_TEST(decodesInvalidBytes)
{
    struct Row
    {
        const char* tag;
        std::string bytes;
        std::u16string expected;
    };
    const std::vector<Row> rows{
        {"unmapped single 80", "A\x80" "B", u"A\uFFFDB"},
        {"unmapped single A0", "\xA0", u"\uFFFD"},
        {"unmapped singles FD FE FF", "\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD"},
        {"lead byte at the end", "A\x82", u"A\uFFFD"},
        {"lead before newline", "\x82\n", u"\uFFFD\n"},
        {"lead before 3F", "\x81?", u"\uFFFD?"},
        {"lead before 7F", "\x81\x7F", u"\uFFFD\x7F"},
        {"lead before unmapped FD", "\x88\xFD", u"\uFFFD\uFFFD"},
        {"lead before lead of a pair", "\x81\x7F\x82\xA0", u"\uFFFD\x7F\u3042"},
        {"unmapped pair with ASCII-looking trail", "\x85\x40" "A", u"\uFFFDA"},
        {"unmapped pair with 5C trail", "\xEB\x5C", u"\uFFFD"},
        {"unmapped pair with FC trail", "\xFC\xFC", u"\uFFFD"},
        {"valid pair with 5C trail", "\x83\x5C\x5C", u"\u30BD\\"},
        {"user-defined area", "\xF0\x40\xF9\xFC", u"\uE000\uE757"},
        {"zero byte kept", std::string("A\0B", 3), std::u16string(u"A\0B", 3)},
    };
    for (const Row& row : rows) {
        MT_ROW(row.tag);
        MT_CHECK_EQ(mirunea::cp932::decode(row.bytes), row.expected);
    }
}

MT_TEST(encodesUnmappableCharacters)
{
    struct Row
    {
        const char* tag;
        std::u16string text;
        std::string expected;
    };
    const std::vector<Row> rows{
        {"U+0080 has no byte of its own", u"a\u0080b", "a?b"},
        {"private use U+F8F0 has no byte of its own", u"\uF8F0\uF8F3", "??"},
        {"euro sign", u"\u20AC5", "?5"},
        {"replacement character", u"\uFFFD", "?"},
        {"hangul", u"\uD55C\uAE00", "??"},
        {"emoji is one question mark", u"a\U0001F600b", "a?b"},
        {"CJK extension B", u"\U00020B9F", "?"},
        {"tag character", u"\U000E0041x", "?x"},
        {"lone high surrogate at the end", std::u16string(1, char16_t(0xD83D)), "?"},
        {"lone high surrogate before text", std::u16string{char16_t(0xD83D), u'A'}, "?A"},
        {"lone low surrogate", std::u16string{u'A', char16_t(0xDE00)}, "A?"},
        {"high surrogate before a pair", std::u16string{char16_t(0xD83D)} + u"\U0001F600", "??"},
        {"mapped around unmapped", u"\u65E5\u20AC\u672C", "\x93\xFA?\x96\x7B"},
        {"yen sign best fit", u"\u00A5" "100", "\\100"},
    };
    for (const Row& row : rows) {
        MT_ROW(row.tag);
        MT_CHECK_EQ(mirunea::cp932::encode(row.text), row.expected);
    }
}

MT_TEST(convertsOwnTextsFromUtf8)
{
    struct Row
    {
        const char* tag;
        std::string utf8;
        std::string sjis;
    };
    const std::vector<Row> rows{
        {"ASCII", "I/O (32)", "I/O (32)"},
        {"ASCII-looking trail bytes", "ソ表ー", "\x83\x5C\x95\x5C\x81\x5B"},
        {"half-width katakana", "ｱﾝｹｰﾄ", "\xB1\xDD\xB9\xB0\xC4"},
        {"application title", "ミルネア", "\x83\x7E\x83\x8B\x83\x6C\x83\x41"},
        {"ideographic space", "校内アンケート\u3000ミルネア",
         "\x8D\x5A\x93\xE0\x83\x41\x83\x93\x83\x50\x81\x5B\x83\x67\x81\x40\x83\x7E\x83\x8B\x83\x6C\x83\x41"},
    };
    for (const Row& row : rows) {
        MT_ROW(row.tag);
        MT_CHECK_EQ(mirunea::cp932::fromUtf8(row.utf8), row.sjis);
        MT_CHECK_EQ(mirunea::cp932::toUtf8(row.sjis), row.utf8);
    }
    MT_CHECK_EQ(mirunea::cp932::fromUtf8("a\U0001F600"), std::string("a?"));
}
