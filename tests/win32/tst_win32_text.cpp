// The texts of the Win32 controls: Shift-JIS to and from UTF-16, access-key
// marks, the display bound and the single-line rule for what the edits hand back.
#include "app/toolkit/win32/win32_text.h"

#include "case_rows.h"
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
    const mirunea::test::CaseRows<std::wstring, wchar_t> rows{
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
    mirunea::test::forEachRow(rows, [](const auto& row) {
        CHECK(static_cast<unsigned>(accessKeyOf(row.input)) == static_cast<unsigned>(row.expected));
    });
}

TEST_CASE("the text an edit hands back stays one line, a shown text is cut, both by the text rules")
{
    // The rules themselves are checked in tests/rules (tst_text_rules); here
    // the wide strings around them.
    CHECK(withoutLineBreaks(L"line1\r\nline2") == L"line1 line2");
    CHECK(withoutLineBreaks(std::wstring(L"a\0\u30BD\t\x1A", 5)) == L"a \u30BD\t ");
    CHECK(toShownWide("\x83\x5C\x95\x5C") == L"\u30BD\u8868");
    CHECK(toShownWide(std::string(5000, 'x')) == std::wstring(4096, L'x'));
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
