#include "sample_reports.h"
#include "tally/report/csv_export.h"

#include <doctest/doctest.h>

#include <string>
#include <utility>
#include <vector>

using namespace mirunea::tally::report;

namespace {

// Each text and the cell it becomes.
void checkCells(const std::vector<std::pair<std::string, std::string>>& cells)
{
    for (const auto& [text, cell] : cells) {
        CAPTURE(text);
        CHECK(csvCell(text) == cell);
    }
}

} // namespace

TEST_CASE("a cell is quoted when it holds a separator, a quote or a line break")
{
    checkCells({
        {"カレー", "カレー"},
        {"", ""},
        {"寿司, 天ぷら", "\"寿司, 天ぷら\""},
        {"He said \"hi\"", "\"He said \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"一行目\n二行目", "\"一行目\n二行目\""},
        {"a\r\nb", "\"a\r\nb\""},
        {"a;b\tc", "a;b\tc"},
    });
}

TEST_CASE("a cell a spreadsheet would take for a formula is neutralised")
{
    checkCells({
        {"=1+1", "'=1+1"},
        {"+81 3", "'+81 3"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"\t=1+1", "'\t=1+1"},
        {"\r=1+1", "\"'\r=1+1\""},
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"=", "'="},
        // Only the start counts: inside a text these are plain characters.
        {"1=1", "1=1"},
        {" =1+1", " =1+1"},
        {"'=1+1", "'=1+1"},
        {"＝1+1", "＝1+1"},
    });
}

TEST_CASE("the file is UTF-8 with a byte-order mark and CR LF after every row")
{
    CHECK(renderCsv(std::vector<CsvRow>{{"a", "b,c"}, {"", "=x"}, {}})
          == "\xEF\xBB\xBF"
             "a,\"b,c\"\r\n,'=x\r\n\r\n");
    CHECK(renderCsv(std::vector<CsvRow>{}) == "\xEF\xBB\xBF");
}

TEST_CASE("one row per counted file, one column per choice of a tick-any question")
{
    const std::vector<CsvRow> rows = csvTable(mirunea::tally::report::test::hostileClassReport());
    REQUIRE(rows.size() == 6);
    const CsvRow header{"コンピューター名",
                        "回答者",
                        "書き込み日時",
                        "行きたい場所は？",
                        "好きな食べ物は？（いくつでも）: カレー",
                        "好きな食べ物は？（いくつでも）: =1+1",
                        "好きな食べ物は？（いくつでも）: 寿司, \"天ぷら\"",
                        "感想を書いてください"};
    CHECK(rows[0] == header);
    CHECK(rows[1]
          == CsvRow{"PC01", "山田太郎", "2024-05-10 10:15", "水族館", "1", "1", "0", "<script>alert(1)</script>"});
    CHECK(rows[3] == CsvRow{"PC03", "<b>鈴木</b>", "2024-05-10 10:17", "+動物園", "1", "0", "1", "-2+3"});
    // Nothing chosen, nothing ticked, nothing typed.
    CHECK(rows[4] == CsvRow{"PC04", "", "2024-05-10 10:18", "", "0", "0", "0", ""});

    const std::string csv = renderCsv(mirunea::tally::report::test::hostileClassReport());
    CHECK(csv.find("\r\nPC02,佐藤花子,2024-05-10 10:16,水族館,1,0,0,'=1+1\r\n") != std::string::npos);
}

TEST_CASE("an answer missing from a response leaves empty and zero cells, never a shorter row")
{
    Report report = mirunea::tally::report::test::hostileClassReport();
    report.responses[0].answers.resize(1);
    report.responses[1].answers[0].chosen = 7; // no such choice
    const std::vector<CsvRow> rows = csvTable(report);
    CHECK(rows[1] == CsvRow{"PC01", "山田太郎", "2024-05-10 10:15", "水族館", "0", "0", "0", ""});
    CHECK(rows[2][3] == "");
    for (const CsvRow& row : rows)
        CHECK(row.size() == rows[0].size());

    Report unnamed = mirunea::tally::report::test::hostileClassReport();
    unnamed.questions[0].text.clear();
    CHECK(csvTable(unnamed)[0][3] == "設問 1");
}
