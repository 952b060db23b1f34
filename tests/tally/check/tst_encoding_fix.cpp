// Which encoding a "data.txt" is in, and its rewriting as Shift-JIS: real
// Japanese texts both ways, the byte-order marks, the whole code page 932
// table and the characters Shift-JIS holds under another code point.
#include "tally/check/encoding_fix.h"
#include "tally/check/file_encoding.h"
#include "tally/check/unicode_text.h"

#include "app/text/cp932.h"
#include "printable.h"
#include "records.h"

#include <doctest/doctest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::tally;
using mirunea::test::printable;
using mirunea::test::sjis;

namespace {

// Written here apart from the code under test.
std::string utf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string utf16Bytes(std::u16string_view text, bool bigEndian, bool withMark = true)
{
    std::string out;
    const auto put = [&](char16_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    if (withMark)
        put(u'\uFEFF');
    for (const char16_t unit : text)
        put(unit);
    return out;
}

// "U+XXXX <hex bytes>" lines of the shared encode table.
std::map<char32_t, std::string> encodeList()
{
    const std::string path = MIRUNEA_CP932_DATA "/cp932-encode.txt";
    std::ifstream file(path, std::ios::binary);
    REQUIRE_MESSAGE(file.is_open(), "cannot open " << path);
    std::map<char32_t, std::string> list;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.find(' ');
        REQUIRE(space != std::string::npos);
        std::string bytes;
        const std::string hex = line.substr(space + 1, line.find_first_of("\r", space + 1) - space - 1);
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        list[static_cast<char32_t>(std::stoul(line.substr(2, space - 2), nullptr, 16))] = bytes;
    }
    REQUIRE(list.size() > 9000);
    return list;
}

const std::map<char32_t, std::string> kOtherCodePoints{
    {0x301C, "\x81\x60"}, // WAVE DASH
    {0x2212, "\x81\x7C"}, // MINUS SIGN
    {0x2016, "\x81\x61"}, // DOUBLE VERTICAL LINE
    {0x2014, "\x81\x5C"}, // EM DASH
    {0x00A2, "\x81\x91"}, // CENT SIGN
    {0x00A3, "\x81\x92"}, // POUND SIGN
    {0x00AC, "\x81\xCA"}, // NOT SIGN
};

// Texts as teachers write them: questions, choices, names, a few of one or
// two characters, half-width katakana, full-width digits and signs.
const std::vector<std::string> kJapaneseTexts{
    "学校生活アンケート（２学期）",
    "これからの学校生活をよりよくするためのアンケートです。思ったとおりに答えてください。",
    "氏名",
    "名前",
    "はい",
    "いいえ",
    "春",
    "夏",
    "秋",
    "冬",
    "国語",
    "数学",
    "理科",
    "社会",
    "英語",
    "給食",
    "あ",
    "ア",
    "一",
    "〇",
    "毎日食べる",
    "ときどき食べない日がある",
    "６～７時間",
    "８時間より多い",
    "好きな季節は？",
    "ご意見・ご感想",
    "ｱﾝｹｰﾄ",
    "ﾃｽﾄ",
    "ｶﾞｯｺｳ",
    "山田　太郎",
    "部活動（運動部）",
    "とても楽しい",
    "★☆♪",
    "①②③",
    "Ａ組",
    "3年2組",
    "100点",
};

} // namespace

TEST_CASE("a byte-order mark names the encoding, and plain ASCII is Shift-JIS")
{
    CHECK(detectEncoding("") == FileEncoding::ShiftJis);
    CHECK(detectEncoding("survey\r\n[R]q\r\na\r\n") == FileEncoding::ShiftJis);
    CHECK(detectEncoding("\xEF\xBB\xBF" + utf8(U'春')) == FileEncoding::Utf8WithBom);
    CHECK(detectEncoding("\xEF\xBB\xBF"
                         "abc")
          == FileEncoding::Utf8WithBom);
    CHECK(detectEncoding(utf16Bytes(u"春\r\n", false)) == FileEncoding::Utf16LittleEndian);
    CHECK(detectEncoding(utf16Bytes(u"春\r\n", true)) == FileEncoding::Utf16BigEndian);
    CHECK(detectEncoding(utf16Bytes(u"abc", false)) == FileEncoding::Utf16LittleEndian);
}

TEST_CASE("real Japanese texts are told apart both ways, alone and as a file")
{
    std::string utf8File;
    std::string sjisFile;
    for (const std::string& text : kJapaneseTexts) {
        CAPTURE(text);
        CHECK(detectEncoding(text) == FileEncoding::Utf8);
        CHECK(detectEncoding(sjis(text)) == FileEncoding::ShiftJis);
        CHECK(detectEncoding("[R]" + text + "\r\n") == FileEncoding::Utf8);
        CHECK(detectEncoding("[R]" + sjis(text) + "\r\n") == FileEncoding::ShiftJis);
        utf8File += text + "\r\n";
        sjisFile += sjis(text) + "\r\n";
    }
    CHECK(detectEncoding(utf8File) == FileEncoding::Utf8);
    CHECK(detectEncoding(sjisFile) == FileEncoding::ShiftJis);
}

// Every kana and level-1 kanji, alone and in pairs: no short Shift-JIS text
// reads as UTF-8, and every such UTF-8 text does.
TEST_CASE("every single kana and kanji, and pairs of them, are told apart")
{
    std::vector<char32_t> characters;
    for (char32_t c = 0x3041; c <= 0x3093; ++c)
        characters.push_back(c);
    for (char32_t c = 0x30A1; c <= 0x30F6; ++c)
        characters.push_back(c);
    // JIS level 1 kanji: Shift-JIS 0x889F to 0x9872.
    for (unsigned lead = 0x88; lead <= 0x98; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string decoded = cp932::decode(bytes);
            const bool levelOne = lead < 0x98 || trail <= 0x72;
            if (levelOne && decoded.size() == 1 && decoded[0] >= 0x4E00 && decoded[0] <= 0x9FFF)
                characters.push_back(decoded[0]);
        }
    }
    REQUIRE(characters.size() > 3000);
    int wrong = 0;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const std::string one = utf8(characters[i]);
        const std::string two = one + utf8(characters[(i * 7919 + 13) % characters.size()]);
        for (const std::string& text : {one, two}) {
            if (detectEncoding(text) != FileEncoding::Utf8 && ++wrong < 10)
                MESSAGE("UTF-8 taken for Shift-JIS: " << printable(text));
            if (detectEncoding(sjis(text)) != FileEncoding::ShiftJis && ++wrong < 10)
                MESSAGE("Shift-JIS taken for UTF-8: " << printable(sjis(text)));
        }
    }
    CHECK(wrong == 0);
}

TEST_CASE("bytes that are no Shift-JIS are named as such")
{
    CHECK(isValidShiftJis(sjis("学校生活アンケート")));
    CHECK_FALSE(isValidShiftJis("\x82"));         // a lead byte at the end
    CHECK_FALSE(isValidShiftJis("\x82\x20"));     // without a trail byte
    CHECK_FALSE(isValidShiftJis("abc\x80"));      // no character at all
    CHECK_FALSE(isValidShiftJis("\xFD\xFE\xFF")); // nor these
    CHECK_FALSE(isValidShiftJis("\x85\x40"));     // a pair that maps to nothing
    // Latin-1 text of another code page: neither UTF-8 nor Shift-JIS.
    CHECK(detectEncoding("caf\xE9 cr\xE8me br\xFBl\xE9") == FileEncoding::InvalidShiftJis);
    // A UTF-8 line pasted into a Shift-JIS file makes neither.
    CHECK(detectEncoding(sjis("学校") + "\r\n" + "あ" + "\r\n") == FileEncoding::InvalidShiftJis);
    // UTF-8 with a character beyond Latin and no Shift-JIS reading is UTF-8.
    CHECK(detectEncoding("caf\xC3\xA9") == FileEncoding::Utf8);
}

TEST_CASE("every character of the code page 932 table converts to its listed bytes")
{
    const std::map<char32_t, std::string> list = encodeList();
    for (const FileEncoding from :
         {FileEncoding::Utf8, FileEncoding::Utf16LittleEndian, FileEncoding::Utf16BigEndian}) {
        CAPTURE(static_cast<int>(from));
        std::string utf8Text;
        std::u16string utf16Text;
        std::string expected;
        for (const auto& [codePoint, bytes] : list) {
            utf8Text += utf8(codePoint);
            utf16Text += static_cast<char16_t>(codePoint);
            expected += bytes;
        }
        const std::string input = from == FileEncoding::Utf8
            ? utf8Text
            : utf16Bytes(utf16Text, from == FileEncoding::Utf16BigEndian);
        const EncodingFix fix = toShiftJis(input, from);
        REQUIRE(fix.unmappable.empty());
        REQUIRE(fix.shiftJis.size() == expected.size());
        CHECK(fix.shiftJis == expected);
    }
}

TEST_CASE("characters Shift-JIS holds under another code point take that form; others are refused")
{
    const std::map<char32_t, std::string> list = encodeList();
    for (const auto& [codePoint, bytes] : kOtherCodePoints) {
        CAPTURE(printable(utf8(codePoint)));
        const EncodingFix fix = toShiftJis(utf8(codePoint), FileEncoding::Utf8);
        CHECK(fix.ok());
        CHECK(printable(fix.shiftJis) == printable(bytes));
    }
    // Full-width tilde keeps the same bytes as the wave dash.
    CHECK(toShiftJis(utf8(0xFF5E), FileEncoding::Utf8).shiftJis == "\x81\x60");
    int wronglyMapped = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) || list.count(c) || kOtherCodePoints.count(c))
            continue;
        const EncodingFix fix = toShiftJis(utf8(c), FileEncoding::Utf8);
        if (fix.ok() || fix.unmappable.size() != 1) {
            if (++wronglyMapped < 10)
                MESSAGE("U+" << std::hex << static_cast<unsigned>(c) << " became " << printable(fix.shiftJis));
        }
    }
    CHECK(wronglyMapped == 0);
}

TEST_CASE("a questionnaire saved as UTF-8 or UTF-16 becomes the Shift-JIS file, line breaks kept")
{
    const std::string text =
        "学校生活アンケート\r\n正直に\n氏名\r\n[R]好きな季節は？\r\n春\r\n夏～秋\r\n\r\n[T]ご意見\r\n";
    const std::string expected = sjis("学校生活アンケート") + "\r\n" + sjis("正直に") + "\n" + sjis("氏名") + "\r\n[R]"
        + sjis("好きな季節は？") + "\r\n" + sjis("春") + "\r\n" + sjis("夏") + "\x81\x60" + sjis("秋") + "\r\n\r\n[T]"
        + sjis("ご意見") + "\r\n";
    CHECK(printable(toShiftJis(text, FileEncoding::Utf8).shiftJis) == printable(expected));
    CHECK(printable(toShiftJis("\xEF\xBB\xBF" + text, FileEncoding::Utf8WithBom).shiftJis) == printable(expected));
    const std::u16string wide =
        u"学校生活アンケート\r\n正直に\n氏名\r\n[R]好きな季節は？\r\n春\r\n夏\u301C秋\r\n\r\n[T]ご意見\r\n";
    CHECK(printable(toShiftJis(utf16Bytes(wide, false), FileEncoding::Utf16LittleEndian).shiftJis)
          == printable(expected));
    CHECK(printable(toShiftJis(utf16Bytes(wide, true), FileEncoding::Utf16BigEndian).shiftJis) == printable(expected));
    // Shift-JIS stays as it is.
    CHECK(toShiftJis(expected, FileEncoding::ShiftJis).shiftJis == expected);
}

TEST_CASE("characters without a Shift-JIS form are listed one by one with their lines")
{
    const std::string text = "タイトル\r\n説明\r\n氏名\r\n[R]好きな絵文字😀\r\n¥100\r\n한국어\r\n";
    const EncodingFix fix = toShiftJis(text, FileEncoding::Utf8);
    CHECK_FALSE(fix.ok());
    CHECK(fix.shiftJis.empty());
    const std::vector<std::string> expected{
        "4 行目: 「😀」(U+1F600)", "5 行目: 「¥」(U+00A5)",  "6 行目: 「한」(U+D55C)",
        "6 行目: 「국」(U+AD6D)", "6 行目: 「어」(U+C5B4)",
    };
    CHECK(fix.unmappable == expected);

    // The same from UTF-16, a surrogate pair and a lone surrogate among them.
    const EncodingFix wide = toShiftJis(utf16Bytes(u"a\r\nb\U0001F600\r\n\xD800", false),
                                        FileEncoding::Utf16LittleEndian);
    CHECK(wide.unmappable == std::vector<std::string>{"2 行目: 「😀」(U+1F600)", "3 行目: 「\uFFFD」(U+FFFD)"});

    // Broken UTF-8 is listed by its bytes.
    const EncodingFix broken = toShiftJis("ok\n\xE3\x81", FileEncoding::Utf8);
    CHECK(broken.unmappable
          == std::vector<std::string>{"2 行目: UTF-8 として正しくないバイト 0xE3",
                                      "2 行目: UTF-8 として正しくないバイト 0x81"});

    // A long list ends in a count.
    std::string many;
    for (int i = 0; i < 500; ++i)
        many += "😀";
    const EncodingFix manyFix = toShiftJis(many, FileEncoding::Utf8);
    REQUIRE(manyFix.unmappable.size() == 201);
    CHECK(manyFix.unmappable.back() == "ほかに 300 文字");
}
