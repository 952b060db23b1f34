// The texts of the Win32 controls: Shift-JIS to and from UTF-16, access-key
// marks, and the single-line rule for what the edits hand back.
#include "app/toolkit/win32/win32_text.h"

#include "mini_test.h"

#include <string>
#include <vector>

using namespace mirunea::win32;

MT_TEST(findsTheAccessKey)
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
        MT_ROW(row.tag);
        MT_CHECK_EQ(static_cast<unsigned>(accessKeyOf(row.caption)), static_cast<unsigned>(row.key));
    }
}

MT_TEST(editTextStaysOneLine)
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
        {"NUL and Ctrl-Z", std::wstring(L"a\0b\x1A" L"c", 5), L"a b c"},
        {"other C0 controls", L"\x01\x08\x0B\x0C\x1B\x1F", L"      "},
        {"tab kept, DEL and C1 kept", L"a\tb\x7F\x85", L"a\tb\x7F\x85"},
    };
    for (const Row& row : rows) {
        MT_ROW(row.tag);
        MT_CHECK(withoutLineBreaks(row.text) == row.expected);
    }
}

MT_TEST(convertsShiftJisForTheWFunctions)
{
    MT_CHECK(toWide("\x83\x5C\x95\x5C") == L"\u30BD\u8868");
    MT_CHECK(toWide("A\x80" "B") == L"A\uFFFDB");
    MT_CHECK_EQ(toSjis(L"\u30BD\u8868"), std::string("\x83\x5C\x95\x5C"));
    MT_CHECK_EQ(toSjis(L"\u20AC"), std::string("?"));
    MT_CHECK_EQ(toSjis(toWide(std::string("\x8D\x5A\x93\xE0\x81\x40", 6))), std::string("\x8D\x5A\x93\xE0\x81\x40", 6));
}
