// The text rules on UTF-16, the same for every backend: how much of a
// questionnaire text the controls show, and the one line an edit hands back.
#include "app/toolkit/text_rules.h"

#include "app/text/cp932.h"

#include "case_rows.h"

#include <doctest/doctest.h>

#include <ios>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::toolkit;

namespace {

std::string repeated(const std::string& piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

TEST_CASE("a shown text is its first 4,096 characters, single- and double-byte alike")
{
    CHECK(rules::kMaxShownCharacters == 4096);
    const std::string a = cp932::fromUtf8("あ"); // 82 A0
    const test::CaseRows<std::string, std::u16string> rows{
        {"short text whole", cp932::fromUtf8("季節 & ソ表"), u"季節 & ソ表"},
        {"empty", "", u""},
        {"exactly the bound", std::string(4096, 'x'), std::u16string(4096, u'x')},
        {"one past the bound", std::string(4097, 'x'), std::u16string(4096, u'x')},
        // Fewer bytes than twice the bound, more characters than the bound.
        {"single bytes short of twice the bound", std::string(8000, 'x'), std::u16string(4096, u'x')},
        {"double bytes", repeated(a, 5000), std::u16string(4096, u'あ')},
        {"double byte ending at the bound", std::string(4095, 'x') + a + "yz", std::u16string(4095, u'x') + u"あ"},
        {"double byte straddling twice the bound in bytes", repeated(a, 4095) + "x" + a,
         std::u16string(4095, u'あ') + u"x"},
    };
    test::forEachRow(rows, [](const auto& row) {
        const std::u16string shown = rules::shownText(row.input);
        CHECK(shown.size() == row.expected.size());
        CHECK(shown == row.expected);
    });
}

TEST_CASE("typed text stays one line: breaks and other controls but tab become one space each")
{
    const test::CaseRows<std::u16string, std::u16string> rows{
        {"no break", u"a b", u"a b"},
        {"CR LF is one space", u"line1\r\nline2", u"line1 line2"},
        {"lone LF", u"a\nb", u"a b"},
        {"lone CR", u"a\rb", u"a b"},
        {"LF CR is two breaks", u"a\n\rb", u"a  b"},
        {"CR CR LF", u"a\r\r\nb", u"a  b"},
        {"break at the end", u"a\r\n", u"a "},
        {"CR at the end", u"a\r", u"a "},
        {"NUL and Ctrl-Z",
         std::u16string(u"a\0b\x1A"
                        u"c",
                        5),
         u"a b c"},
        {"other C0 controls", u"\x01\x08\x0B\x0C\x1B\x1F", u"      "},
        {"tab kept, DEL and C1 kept", u"a\tb\x7F\x85", u"a\tb\x7F\x85"},
        {"Japanese untouched", u"給食\r\nソ表", u"給食 ソ表"},
        {"empty", u"", u""},
    };
    test::forEachRow(rows, [](const auto& row) {
        CHECK(rules::withoutLineBreaks(row.input) == row.expected);
        // One line exactly when the rule leaves the text as it is.
        CHECK(rules::isOneLine(row.input) == (rules::withoutLineBreaks(row.input) == row.input));
    });
    CHECK(rules::isOneLine(u"a\tb"));
    CHECK_FALSE(rules::isOneLine(u"a\r\nb"));
    CHECK_FALSE(rules::isOneLine(std::u16string(1, u'\0')));
}

TEST_CASE("an edit shows each character as the answer file will hold it")
{
    const test::CaseRows<std::u16string, std::u16string> rows{
        {"Japanese and ASCII untouched", u"給食 ソ表 ｱ\\~", u"給食 ソ表 ｱ\\~"},
        // The compatible forms read back as the characters their bytes are.
        {"the pasted line", u"〜−‖¢£¬—😀𠮷한é", u"～－∥￠￡￢―????"},
        {"a name beyond the BMP", u"𠮷田", u"?田"},
        {"lone surrogates one each", std::u16string{u'a', char16_t(0xD83D), u'b', char16_t(0xDE00)}, u"a?b?"},
        {"no best fit", u"¥é€", u"???"},
        {"empty", u"", u""},
    };
    test::forEachRow(rows, [](const auto& row) {
        CHECK(rules::asWritten(row.input) == row.expected);
        CHECK(rules::isAsWritten(row.input) == (row.input == row.expected));
    });
}

TEST_CASE("what an edit shows writes the same bytes as what was typed, for every character")
{
    // Every BMP code point and a few beyond it, each alone.
    std::vector<std::u16string> characters;
    for (char32_t c = 0; c < 0x10000; ++c)
        characters.emplace_back(1, static_cast<char16_t>(c));
    characters.push_back(u"\U0001F600");
    characters.push_back(u"\U00020BB7");
    std::size_t failures = 0;
    for (const std::u16string& c : characters) {
        const std::u16string shown = rules::asWritten(c);
        const bool ok = cp932::encode(shown) == cp932::encode(c) && rules::isAsWritten(shown)
            && rules::asWritten(shown) == shown && rules::isAsWritten(c) == (shown == c);
        if (!ok && ++failures <= 10)
            FAIL_CHECK("U+" << std::hex << static_cast<unsigned>(c[0]) << " (" << c.size() << " units)");
    }
    CHECK(failures == 0);
}

TEST_CASE("typed text is one line as written, the caret after what replaced the text before it")
{
    struct Row
    {
        const char* tag;
        std::u16string text;
        std::size_t caret;
        std::u16string typed;
        std::size_t typedCaret;
    };
    const std::vector<Row> rows{
        {"caret after a pair", u"a😀b", 3, u"a?b", 2},
        {"caret before a pair", u"a😀b", 1, u"a?b", 1},
        {"caret between the halves of a pair", u"a😀b", 2, u"a?b", 2},
        {"caret at the end", u"𠮷田", 3, u"?田", 2},
        {"line break and wave dash", u"x\r\n〜y", 4, u"x ～y", 3},
        {"caret between CR and LF", u"x\r\ny", 2, u"x y", 2},
        {"caret past the end", u"é", 5, u"?", 1},
        {"nothing to change", u"あい", 1, u"あい", 1},
    };
    test::forEachRow(rows, [](const Row& row) {
        CHECK(rules::typedText(row.text) == row.typed);
        CHECK(rules::caretInTypedText(row.text, row.caret) == row.typedCaret);
    });
}

TEST_CASE("a first half of a pair before the caret waits for its second half")
{
    const std::u16string high(1, char16_t(0xD842));
    const std::u16string low(1, char16_t(0xDFB7));
    CHECK(rules::awaitsSecondHalf(u"a" + high, 2));
    CHECK(rules::awaitsSecondHalf(u"a" + high + u"b", 2));      // typed before text
    CHECK_FALSE(rules::awaitsSecondHalf(u"a" + high + low, 2)); // the pair is whole
    CHECK_FALSE(rules::awaitsSecondHalf(u"a" + high + low, 3));
    CHECK_FALSE(rules::awaitsSecondHalf(high + u"a", 2)); // not before the caret
    CHECK_FALSE(rules::awaitsSecondHalf(u"a" + low, 2));
    CHECK_FALSE(rules::awaitsSecondHalf(u"", 0));
    CHECK_FALSE(rules::awaitsSecondHalf(high, 5));
}
