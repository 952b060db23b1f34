// The I/O failure messages and the error box text, natively and under Wine.
#include "app/failure/error_box_text.h"
#include "app/failure/io_failure.h"

#include "case_rows.h"
#include "printable.h"

#include <doctest/doctest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

using namespace mirunea;
using namespace mirunea::test;

namespace {

// Shift-JIS bytes of the table's texts, written out so the test does not lean
// on the converter it shares with the code under test.
const std::string kFileNotFound =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
const std::string kInvalidFileName = "\x95\x73\x90\xb3\x82\xc8\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xc5\x82\xb7";
const std::string kTooManyOpenFiles = "\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xb5\x82\xbd\x83\x74\x83\x40\x83\x43\x83\x8b"
                                      "\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7";
const std::string kAccessDenied = "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x82\xcc\x83\x41\x83\x4e\x83\x5a\x83\x58\x82"
                                  "\xaa\x8b\x91\x94\xdb\x82\xb3\x82\xea\x82\xdc\x82\xb5\x82\xbd";
const std::string kReadPastEnd = "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x96\x96\x94\xf6\x88\xc8\x8d\x7e\x82\xf0\x93"
                                 "\xc7\x82\xdd\x8d\x9e\x82\xdd\x82\xdc\x82\xb5\x82\xbd";
const std::string kDiskFull =
    "\x83\x66\x83\x42\x83\x58\x83\x4e\x82\xaa\x82\xa2\x82\xc1\x82\xcf\x82\xa2\x82\xc5\x82\xb7";
const std::string kNotANumber =
    "\x93\xfc\x97\xcd\x92\x6c\x82\xaa\x90\x94\x92\x6c\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "I/O エラー (" and ")" around the code.
const std::string kOtherPrefix = "I/O \x83\x47\x83\x89\x81\x5b (";

} // namespace

TEST_CASE("the message table gives the text for a code, and the code in brackets for any other")
{
    const std::vector<std::pair<int, std::string>> rows{
        {2, kFileNotFound},
        {3, kInvalidFileName},
        {4, kTooManyOpenFiles},
        {5, kAccessDenied},
        {100, kReadPastEnd},
        {101, kDiskFull},
        {106, kNotANumber},
        {32, kOtherPrefix + "32)"},   // sharing violation
        {112, kOtherPrefix + "112)"}, // disk full from the system
        {0, kOtherPrefix + "0)"},
        {1, kOtherPrefix + "1)"}, // next to the rows
        {6, kOtherPrefix + "6)"},
        {-5, kOtherPrefix + "-5)"},
        {INT_MIN, kOtherPrefix + "-2147483648)"},
        {INT_MAX, kOtherPrefix + "2147483647)"},
    };
    for (const auto& [code, expected] : rows) {
        CAPTURE(code);
        CHECK(printable(ioFailureMessage(code)) == printable(expected));
    }
}

TEST_CASE("a failure carries its code and the table's message")
{
    const IoFailure notFound(2);
    CHECK(notFound.code() == 2);
    CHECK(printable(notFound.message()) == printable(kFileNotFound));
    CHECK(printable(notFound.what()) == printable(kFileNotFound));

    const IoFailure sharing(32);
    CHECK(sharing.code() == 32);
    CHECK(printable(sharing.message()) == printable(kOtherPrefix + "32)"));
}

TEST_CASE("the error box appends a full stop by the message's last character")
{
    // Whether the message gets a full stop.
    const CaseRows<std::string, bool> rows{
        {"empty", "", false},
        {"closing parenthesis", kOtherPrefix + "32)", false},
        {"space", "disk ", false},
        {"full stop", "done.", false},
        {"exclamation mark", "stop!", false},
        {"0x2E hyphen-minus end of range", "a-", false},
        {"tab", "a\t", false},
        {"NUL byte", std::string("a\0", 2), false},
        {"only a full stop", ".", false},
        {"0x2F slash", "a/", true},
        {"digit", "error 5", true},
        {"letter", "error", true},
        {"half-width katakana 0xB1", "\xb1", true},
        {"\xe3\x82\xbd trail byte 0x5C", "\x83\x5c", true},
        {"\xe8\xa1\xa8 trail byte 0x5C", "\x83\x74\x95\x5c", true},
        {"\xe3\x83\xbc trail byte 0x5B", "\x83\x47\x83\x89\x81\x5b", true},
        {"\xe3\x82\xbd then full stop", "\x83\x5c\x2e", false},
        // 81 81 is one character, so the 2E after it stands alone.
        {"full stop after trail byte that looks like a lead", "\x81\x81\x2e", false},
        {"lead byte takes even 0x2E as its trail", "\x41\x81\x2e", true},
        {"dangling lead byte", "\x41\x83", true},
        {"dangling lead byte after a pair", "\x83\x5c\x83", true},
    };
    forEachRow(rows, [](const auto& row) {
        CHECK(printable(errorBoxText(row.input)) == printable(row.expected ? row.input + "." : row.input));
    });
}

TEST_CASE("the error box text of every table message")
{
    const std::vector<std::pair<int, std::string>> rows{
        {2, kFileNotFound + "."}, {3, kInvalidFileName + "."}, {4, kTooManyOpenFiles + "."},
        {5, kAccessDenied + "."}, {100, kReadPastEnd + "."},   {101, kDiskFull + "."},
        {106, kNotANumber + "."}, {32, kOtherPrefix + "32)"},  {-1, kOtherPrefix + "-1)"},
    };
    for (const auto& [code, expected] : rows) {
        CAPTURE(code);
        CHECK(printable(errorBoxText(IoFailure(code).message())) == printable(expected));
    }
}
