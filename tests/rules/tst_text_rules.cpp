// The text rules on UTF-16, the same for every backend: how much of a
// questionnaire text the controls show, and the one line an edit hands back.
#include "app/toolkit/text_rules.h"

#include "app/text/cp932.h"

#include "case_rows.h"

#include <doctest/doctest.h>

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
