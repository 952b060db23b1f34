// Code page 932 against the shared tables in tests/text/data: glibc's
// converter natively, the Windows one under Wine (run with ANSI code page 932
// and with 1252, which must make no difference).
#include "app/text/cp932.h"
#include "app/text/shift_jis.h"

#include "case_rows.h"
#include "printable.h"

#include <doctest/doctest.h>

#ifdef _WIN32
#  include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace mirunea;

namespace {

struct Mapping
{
    std::string bytes;
    char32_t codePoint;
};

[[nodiscard]] bool isHex(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

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
    const std::string path = std::string(MIRUNEA_TEST_DATA "/") + fileName;
    std::ifstream file(path, std::ios::binary);
    REQUIRE_MESSAGE(file.is_open(), "cannot open " << path);
    std::vector<Mapping> mappings;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.find(' ');
        REQUIRE_MESSAGE(space != std::string::npos, "bad line in " << fileName << ": " << line);
        const std::string first = line.substr(0, space);
        const std::string second = line.substr(space + 1);
        const bool codePointFirst = first.rfind("U+", 0) == 0;
        const std::string code = (codePointFirst ? first : second).substr(2);
        const std::string& hex = codePointFirst ? second : first;
        REQUIRE_MESSAGE((isHex(code) && isHex(hex) && hex.size() % 2 == 0), "bad line in " << fileName << ": " << line);
        mappings.push_back({bytesFromHex(hex), static_cast<char32_t>(std::stoul(code, nullptr, 16))});
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

using namespace mirunea::test;

// The first failures of a sweep over thousands of characters, one a line.
class Failures
{
public:
    void add(const std::string& failure)
    {
        if (m_count++ < 20)
            m_shown += "\n  " + failure;
    }
    [[nodiscard]] std::size_t count() const { return m_count; }
    [[nodiscard]] const std::string& shown() const { return m_shown; }

private:
    std::size_t m_count = 0;
    std::string m_shown;
};

// The characters code page 932's table lacks that every Japanese converter
// writes in another character's Shift-JIS form; the encode list leaves them
// out because they do not decode back to themselves.
const std::map<char32_t, std::string> kCompatibleForms{
    {0x301C, "\x81\x60"}, // WAVE DASH -> FULLWIDTH TILDE
    {0x2212, "\x81\x7C"}, // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {0x2016, "\x81\x61"}, // DOUBLE VERTICAL LINE -> PARALLEL TO
    {0x2014, "\x81\x5C"}, // EM DASH -> HORIZONTAL BAR
    {0x00A2, "\x81\x91"}, // CENT SIGN -> FULLWIDTH CENT SIGN
    {0x00A3, "\x81\x92"}, // POUND SIGN
    {0x00AC, "\x81\xCA"}, // NOT SIGN
};

constexpr std::size_t kMinimumListedMappings = 9000;

enum class Direction {
    Decode,
    Encode,
};

// Every listed mapping converts alone, then all of them run together: a
// converter that goes wrong only after another character fails the second.
void checkListedMappings(const std::string& fileName, Direction direction)
{
    const std::vector<Mapping> mappings = readMappings(fileName);
    REQUIRE(mappings.size() > kMinimumListedMappings);
    const bool decoding = direction == Direction::Decode;
    // Printable forms of what the conversion gave and of what it should give.
    const auto converted = [&](const std::string& bytes, const std::u16string& text) {
        return decoding ? printable(cp932::decode(bytes)) : printable(cp932::encode(text));
    };
    const auto expected = [&](const std::string& bytes, const std::u16string& text) {
        return decoding ? printable(text) : printable(bytes);
    };
    Failures failures;
    std::string allBytes;
    std::u16string allText;
    for (const Mapping& mapping : mappings) {
        const std::u16string text = utf16(mapping.codePoint);
        const std::string got = converted(mapping.bytes, text);
        if (got != expected(mapping.bytes, text))
            failures.add((decoding ? printable(mapping.bytes) : printable(text)) + " -> " + got);
        allBytes += mapping.bytes;
        allText += text;
    }
    CHECK_MESSAGE(failures.count() == 0, failures.shown());
    CHECK(converted(allBytes, allText) == expected(allBytes, allText));
}

} // namespace

#ifdef _WIN32
TEST_CASE("the run has the ANSI code page CTest asked for")
{
    // Both Wine runs must really differ in the code page the converter could lean on.
    const char* expected = std::getenv("MIRUNEA_EXPECTED_ANSI_CODE_PAGE");
    MESSAGE("ANSI code page " << ::GetACP());
    if (expected)
        CHECK(::GetACP() == std::strtoul(expected, nullptr, 10));
}
#endif

TEST_CASE("every listed sequence decodes to its code point, alone and run together")
{
    checkListedMappings("cp932-decode.txt", Direction::Decode);
}

TEST_CASE("every unlisted sequence decodes to one replacement character")
{
    std::set<std::string> listed;
    for (const Mapping& mapping : readMappings("cp932-decode.txt"))
        listed.insert(mapping.bytes);
    Failures failures;
    const std::u16string replacement(1, u'\uFFFD');
    for (unsigned first = 0; first < 256; ++first) {
        std::vector<std::string> sequences;
        if (cp932::isLeadByte(static_cast<unsigned char>(first))) {
            for (unsigned trail = 0; trail < 256; ++trail) {
                if (cp932::isTrailByte(static_cast<unsigned char>(trail)))
                    sequences.push_back({static_cast<char>(first), static_cast<char>(trail)});
            }
        } else {
            sequences.emplace_back(1, static_cast<char>(first));
        }
        for (const std::string& sequence : sequences) {
            if (listed.count(sequence))
                continue;
            const std::u16string decoded = cp932::decode(sequence);
            if (decoded != replacement)
                failures.add(printable(sequence) + " -> " + printable(decoded));
        }
    }
    CHECK_MESSAGE(failures.count() == 0, failures.shown());
}

TEST_CASE("every listed code point encodes to its bytes, alone and run together")
{
    checkListedMappings("cp932-encode.txt", Direction::Encode);
}

TEST_CASE("every unlisted BMP code point encodes to one \"?\" but the seven compatible forms")
{
    std::set<char32_t> listed;
    for (const Mapping& mapping : readMappings("cp932-encode.txt"))
        listed.insert(mapping.codePoint);
    Failures failures;
    for (char32_t codePoint = 0; codePoint < 0x10000; ++codePoint) {
        if (listed.count(codePoint))
            continue;
        const auto compatible = kCompatibleForms.find(codePoint);
        const std::string expected = compatible != kCompatibleForms.end() ? compatible->second : std::string("?");
        const std::string encoded = cp932::encode(utf16(codePoint));
        if (encoded != expected)
            failures.add(printable(utf16(codePoint)) + " -> " + printable(encoded));
    }
    CHECK_MESSAGE(failures.count() == 0, failures.shown());
    // Run together, as an input method's candidates arrive.
    std::u16string allCompatible;
    std::string allForms;
    for (const auto& [codePoint, bytes] : kCompatibleForms) {
        allCompatible += utf16(codePoint);
        allForms += bytes;
    }
    CHECK(printable(cp932::encode(allCompatible)) == printable(allForms));
}

TEST_CASE("invalid bytes decode to replacement characters, and decoding goes on after them")
{
    const CaseRows<std::string, std::u16string> rows{
        {"unmapped single 80",
         "A\x80"
         "B",
         u"A\uFFFDB"},
        {"unmapped single A0", "\xA0", u"\uFFFD"},
        {"unmapped singles FD FE FF", "\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD"},
        {"lead byte at the end", "A\x82", u"A\uFFFD"},
        {"lead byte alone", "\xE0", u"\uFFFD"},
        {"lead before newline", "\x82\n", u"\uFFFD\n"},
        {"lead before 3F", "\x81?", u"\uFFFD?"},
        {"lead before 7F", "\x81\x7F", u"\uFFFD\x7F"},
        {"lead before unmapped FD", "\x88\xFD", u"\uFFFD\uFFFD"},
        // 82 A0 is "あ".
        {"lead before lead of a pair", "\x81\x7F\x82\xA0", u"\uFFFD\x7F\u3042"},
        {"unmapped pair with ASCII-looking trail",
         "\x85\x40"
         "A",
         u"\uFFFDA"},
        {"unmapped pair with 5C trail", "\xEB\x5C", u"\uFFFD"},
        {"unmapped pair with FC trail", "\xFC\xFC", u"\uFFFD"},
        {"valid pair with 5C trail", "\x83\x5C\x5C", u"\u30BD\\"},
        {"user-defined area", "\xF0\x40\xF9\xFC", u"\uE000\uE757"},
        {"zero byte kept", std::string("A\0B", 3), std::u16string(u"A\0B", 3)},
    };
    forEachRow(rows, [](const auto& row) { CHECK(printable(cp932::decode(row.input)) == printable(row.expected)); });
}

TEST_CASE("characters code page 932 cannot hold encode to one \"?\" each, on every platform")
{
    const CaseRows<std::u16string, std::string> rows{
        {"e acute, no best fit", u"caf\u00E9", "caf?"},
        {"yen sign, no best fit",
         u"\u00A5"
         "100",
         "?100"},
        {"overline, no best fit", u"\u203E", "?"},
        {"U+0080 has no byte of its own", u"a\u0080b", "a?b"},
        {"private use U+F8F0 has no byte of its own", u"\uF8F0\uF8F3", "??"},
        {"euro sign", u"\u20AC5", "?5"},
        {"replacement character", u"\uFFFD", "?"},
        {"hangul", u"\uD55C\uAE00", "??"},
        {"emoji is one question mark", u"a\U0001F600b", "a?b"},
        {"CJK extension B", u"\U00020B9F", "?"},
        // glibc would drop these tag characters silently.
        {"tag character", u"\U000E0041x", "?x"},
        {"lone high surrogate at the end", std::u16string(1, char16_t(0xD83D)), "?"},
        {"lone high surrogate before text", std::u16string{char16_t(0xD83D), u'A'}, "?A"},
        {"lone low surrogate", std::u16string{u'A', char16_t(0xDE00)}, "A?"},
        {"high surrogate before a pair", std::u16string{char16_t(0xD83D)} + u"\U0001F600", "??"},
        {"mapped around unmapped", u"\u65E5\u20AC\u672C", "\x93\xFA?\x96\x7B"},
        {"mapped around an accented letter", u"\u65E5\u00E9\u672C", "\x93\xFA?\x96\x7B"},
        {"the pasted line of the answer sheet",
         u"\u301C\u2212\u2016\u00A2\u00A3\u00AC\u2014\U0001F600\U00020BB7\uD55C\u00E9",
         "\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C????"},
    };
    forEachRow(rows, [](const auto& row) { CHECK(printable(cp932::encode(row.input)) == printable(row.expected)); });
}

TEST_CASE("the program's own texts convert from and to UTF-8")
{
    struct Row
    {
        const char* tag;
        std::string utf8;
        std::string sjis;
        bool roundTrips;
        // Windows's UTF-8 decoder replaces a truncated sequence or an encoded
        // surrogate by one character, not one per byte: also accepted there.
        std::string onWindows = {};
    };
    const std::vector<Row> rows{
        {"ASCII", "I/O (32)", "I/O (32)", true},
        {"ASCII-looking trail bytes", "ソ表ー", "\x83\x5C\x95\x5C\x81\x5B", true},
        {"half-width katakana", "ｱﾝｹｰﾄ", "\xB1\xDD\xB9\xB0\xC4", true},
        {"application title", "ミルネア", "\x83\x7E\x83\x8B\x83\x6C\x83\x41", true},
        {"ideographic space", "校内アンケート\u3000ミルネア",
         "\x8D\x5A\x93\xE0\x83\x41\x83\x93\x83\x50\x81\x5B\x83\x67\x81\x40\x83\x7E\x83\x8B\x83\x6C\x83\x41", true},
        {"four-byte character", "a\U0001F600", "a?", false},
        {"truncated sequence", "\x41\xE3\x81", "A??", false, "A?"},
        {"overlong slash", "\xC0\xAF", "??", false},
        {"encoded surrogate", "\xED\xA0\x80", "???", false, "??"},
        {"stray continuation byte", "\x80\x41", "?A", false},
    };
    forEachRow(rows, [](const Row& row) {
        const std::string sjis = cp932::fromUtf8(row.utf8);
#ifdef _WIN32
        if (row.onWindows.empty() || sjis != row.onWindows)
#endif
            CHECK(printable(sjis) == printable(row.sjis));
        if (row.roundTrips)
            CHECK(printable(cp932::toUtf8(row.sjis)) == printable(row.utf8));
    });
}

TEST_CASE("a large text decodes and encodes back unchanged")
{
    // Japanese, ASCII, half-width katakana, a CR LF: every branch of the walk.
    // How fast it goes is the benchmark's business; this is the correctness.
    const std::string line = "\x83\x41\x83\x93\x83\x50\x81\x5B\x83\x67\x89\xF1\x93\xDA ABC 123 \xB1\xB2\xB3\r\n";
    const std::size_t repeats = 1024 * 1024 / line.size();
    std::string text;
    text.reserve(line.size() * repeats);
    for (std::size_t i = 0; i < repeats; ++i)
        text += line;
    const std::u16string decodedLine = cp932::decode(line);
    REQUIRE(decodedLine == u"\u30A2\u30F3\u30B1\u30FC\u30C8\u56DE\u9813 ABC 123 \uFF71\uFF72\uFF73\r\n");

    const std::u16string decoded = cp932::decode(text);
    REQUIRE(decoded.size() == decodedLine.size() * repeats);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < decoded.size(); ++i)
        differing += decoded[i] != decodedLine[i % decodedLine.size()];
    CHECK(differing == 0);
    CHECK(cp932::encode(decoded) == text);
}
