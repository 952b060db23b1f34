// The texts of the Win32 controls: Shift-JIS to and from UTF-16, access-key
// marks, and the single-line rule for what the edits hand back.
#include "app/toolkit/win32/win32_text.h"

#include "printable.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace mirunea::win32;

namespace {

using mirunea::test::printable;

} // namespace

TEST_CASE("the access key is the upper-cased character after the first single \"&\"")
{
    struct Row
    {
        const char* tag;
        std::wstring caption;
        wchar_t key;
    };
    const std::vector<Row> rows{
        {"plain", L"Season", 0},
        {"first letter", L"&Season", L'S'},
        {"upper-cased", L"S&ummer", L'U'},
        {"double ampersand shows one", L"A&&B", 0},
        {"key after a double ampersand", L"A&&B&c", L'C'},
        {"first single mark counts", L"&a&b", L'A'},
        {"mark at the end", L"abc&", 0},
        {"Japanese character", L"&\u3042\u3044", L'\u3042'},
        {"full-width letter", L"&\uFF41", L'\uFF21'},
    };
    for (const Row& row : rows) {
        const std::string tag = row.tag;
        CAPTURE(tag);
        CHECK(static_cast<unsigned>(accessKeyOf(row.caption)) == static_cast<unsigned>(row.key));
    }
}

TEST_CASE("the text an edit hands back stays one line")
{
    struct Row
    {
        const char* tag;
        std::wstring text;
        std::wstring expected;
    };
    const std::vector<Row> rows{
        {"no break", L"a b", L"a b"},
        {"CR LF is one space", L"line1\r\nline2", L"line1 line2"},
        {"lone LF", L"a\nb", L"a b"},
        {"lone CR", L"a\rb", L"a b"},
        {"LF CR is two breaks", L"a\n\rb", L"a  b"},
        {"break at the end", L"a\r\n", L"a "},
        {"NUL and Ctrl-Z",
         std::wstring(L"a\0b\x1A"
                      L"c",
                      5),
         L"a b c"},
        {"other C0 controls", L"\x01\x08\x0B\x0C\x1B\x1F", L"      "},
        {"tab kept, DEL and C1 kept", L"a\tb\x7F\x85", L"a\tb\x7F\x85"},
    };
    for (const Row& row : rows) {
        const std::string tag = row.tag;
        CAPTURE(tag);
        CHECK(withoutLineBreaks(row.text) == row.expected);
    }
}

TEST_CASE("Shift-JIS converts to and from the W functions' UTF-16")
{
    CHECK(toWide("\x83\x5C\x95\x5C") == L"\u30BD\u8868");
    CHECK(toWide("A\x80"
                 "B")
          == L"A\uFFFDB");
    CHECK(printable(toSjis(L"\u30BD\u8868")) == printable(std::string("\x83\x5C\x95\x5C")));
    CHECK(printable(toSjis(L"\u20AC")) == printable(std::string("?")));
    CHECK(printable(toSjis(toWide(std::string("\x8D\x5A\x93\xE0\x81\x40", 6))))
          == printable(std::string("\x8D\x5A\x93\xE0\x81\x40", 6)));
}
