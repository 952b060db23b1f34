// The questionnaire check as the teacher reads it: each authoring slip named
// with its line and kind, what each line becomes, and the order of the findings.
#include "tally/check/questionnaire_check.h"

#include "questionnaire/questionnaire_reader.h"

#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::tally;
using namespace mirunea::test;

namespace {

// The check as the tool runs it: the reader's questionnaire and the bytes.
QuestionnaireCheck checkFile(const std::string& bytes)
{
    writeFileBytes("data.txt", bytes);
    return checkQuestionnaire(bytes, readQuestionnaireFile("data.txt"));
}

std::string sjisLines(const std::vector<std::string>& utf8Lines)
{
    std::string out;
    for (const std::string& line : utf8Lines)
        out += sjis(line) + "\r\n";
    return out;
}

const char* severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    default:
        return "note";
    }
}

std::string listed(const QuestionnaireCheck& check)
{
    std::string out;
    for (const Finding& finding : check.findings)
        out += std::string(severityName(finding.severity)) + " " + std::to_string(finding.lineNumber) + ": "
            + finding.message + "\n";
    return out;
}

// Whether a finding of that kind on that line says the words.
bool has(const QuestionnaireCheck& check, Severity severity, int line, const std::string& words)
{
    return std::any_of(check.findings.begin(), check.findings.end(), [&](const Finding& finding) {
        return finding.severity == severity && finding.lineNumber == line
            && finding.message.find(words) != std::string::npos;
    });
}

int countOf(const QuestionnaireCheck& check, Severity severity)
{
    return static_cast<int>(std::count_if(check.findings.begin(), check.findings.end(),
                                          [&](const Finding& finding) { return finding.severity == severity; }));
}

const std::vector<std::string> kHead{"給食アンケート", "正直に答えてください", "氏名"};

std::vector<std::string> withHead(std::vector<std::string> lines)
{
    lines.insert(lines.begin(), kHead.begin(), kHead.end());
    return lines;
}

} // namespace

TEST_CASE("the example questionnaire has nothing to say against it")
{
    WorkingFolder folder;
    const std::string bytes = readFileBytes(MIRUNEA_EXAMPLES "/data.txt");
    const QuestionnaireCheck check = checkFile(bytes);
    CHECK(check.encoding == FileEncoding::ShiftJis);
    CHECK_MESSAGE(check.findings.empty(), listed(check));
    CHECK_FALSE(check.hasErrors());
}

TEST_CASE("each authoring slip is named with its line and kind")
{
    struct Row
    {
        const char* tag;
        std::string bytes;
        Severity severity;
        int line;
        std::string words;
    };
    std::string elevenQuestions = sjisLines(kHead);
    for (int q = 1; q <= 11; ++q)
        elevenQuestions += "[T]q" + std::to_string(q) + "\r\n";
    std::string pastHundred = sjisLines(withHead({"[T]感想"}));
    for (int j = 5; j <= 101; ++j)
        pastHundred += j == 101 ? "[T]late\r\n" : "\r\n";
    const std::string fine = sjisLines(withHead({"[R]好きな季節は？", "春", "夏", "", "[T]ご意見"}));

    const std::vector<Row> rows{
        {"full-width brackets", sjisLines(withHead({"［Ｒ］好きな色は？", "赤", "青"})), Severity::Error, 4,
         "設問の印になりません"},
        {"lower case", sjisLines(withHead({"[r]好きな色は？", "赤"})), Severity::Error, 4, "「[r]好きな色は？」"},
        {"a space before", sjisLines(withHead({" [R]好きな色は？", "赤"})), Severity::Error, 4, "無視されます"},
        {"a tab before", sjisLines(withHead({"\t[C]好きな色は？", "赤"})), Severity::Error, 4, "設問の印になりません"},
        {"space inside", sjisLines(withHead({"[R ]好きな色は？", "赤"})), Severity::Error, 4, "設問の印になりません"},
        {"near-miss taken as a choice", sjisLines(withHead({"[R]色", "赤", "［Ｃ］果物"})), Severity::Error, 6,
         "設問 1 の選択肢 2として表示されます"},
        {"sixth choice", sjisLines(withHead({"[C]教科", "国語", "数学", "理科", "社会", "英語", "音楽", "体育"})),
         Severity::Error, 10, "設問 1 の 6 つ目からの選択肢"},
        {"eleventh question", elevenQuestions, Severity::Error, 14, "11 問目の設問 「q11」"},
        {"text past the 100th line", pastHundred, Severity::Error, 101, "100 行目より後ろ"},
        {"Ctrl-Z before the last question", fine.substr(0, fine.size() - 11) + "\x1A" + "[T]x\r\n", Severity::Error, 8,
         "Ctrl-Z"},
        {"CR-only line breaks", "t\rd\rp\r[T]q\r", Severity::Error, 0, "改行が CR だけ"},
        {"a lone CR", sjisLines(withHead({"[R]色"})) + sjis("赤\r青\r\n"), Severity::Error, 5, "1 行につながって"},
        {"UTF-8", std::string("給食\r\n説明\r\n氏名\r\n[T]感想\r\n"), Severity::Error, 0, "UTF-8 で保存"},
        {"UTF-8 with BOM", std::string("\xEF\xBB\xBF給食\r\n"), Severity::Error, 0, "UTF-8（BOM 付き）"},
        {"UTF-16", std::string("\xFF\xFEt\0\r\0\n\0", 8), Severity::Error, 0, "UTF-16"},
        {"invalid Shift-JIS", sjisLines(withHead({"[R]色"})) + sjis("赤") + "\x85\x40\r\n", Severity::Error, 5,
         "Shift-JIS として読めない"},
        {"marker on line 2", sjisLines({"給食アンケート", "氏名", "[R]色", "赤"}), Severity::Warning, 3,
         "氏名欄の見出しとして表示されます"},
        {"empty line 3", sjisLines({"給食アンケート", "説明", "", "[T]感想"}), Severity::Warning, 3,
         "氏名欄は表示されません"},
        {"no line 3", sjisLines({"給食アンケート"}), Severity::Warning, 3, "氏名欄は表示されません"},
        {"no question at all", sjisLines(withHead({"はじめに"})), Severity::Warning, 0, "設問が 1 つもありません"},
        {"question without choices", sjisLines(withHead({"[C]好きな教科", "[T]感想"})), Severity::Warning, 4,
         "選択肢がありません"},
        {"choice of spaces", sjisLines(withHead({"[R]色", "赤", "　 ", "青"})), Severity::Warning, 6, "空白だけ"},
        {"tab in a choice", sjisLines(withHead({"[R]色", "赤\t青"})), Severity::Warning, 5, "タブ文字"},
        {"& in the title", sjisLines({"A&B 調査", "説明", "氏名"}), Severity::Warning, 1, "「AB 調査」 と表示されます"},
        {"& in the description", sjisLines({"調査", "説明&", "氏名"}), Severity::Warning, 2, "「説明」 と表示されます"},
        {"& in a question", sjisLines(withHead({"[T]ご&意見"})), Severity::Warning, 4, "「ご意見」 と表示されます"},
        {"& in a radio choice", sjisLines(withHead({"[R]色", "赤&白"})), Severity::Warning, 5, "「赤白」"},
        {"long question", sjisLines(withHead({"[T]" + std::string(96, 'x')})), Severity::Warning, 4,
         "右側が切れて表示されます（全角でおよそ 31 文字まで）"},
        {"text after a T question", sjisLines(withHead({"[T]感想", "とても", "[R]色", "赤"})), Severity::Note, 5,
         "記述式"},
        {"lines before the first question", sjisLines(withHead({"はじめに", "[T]感想"})), Severity::Note, 4,
         "最初の設問より前"},
        {"lines after a list's end", sjisLines(withHead({"[R]色", "赤", "", "青"})), Severity::Note, 7,
         "前の空行で終わって"},
    };
    WorkingFolder folder;
    for (const Row& row : rows) {
        CAPTURE(row.tag);
        const QuestionnaireCheck check = checkFile(row.bytes);
        CHECK_MESSAGE(has(check, row.severity, row.line, row.words), listed(check));
        CHECK(check.hasErrors() == (row.severity == Severity::Error));
    }
    // A file of CR-only line breaks gets its one error, not a finding per line it hides.
    const QuestionnaireCheck crOnly = checkFile("t\rd\r\r[T]q\r");
    CHECK_MESSAGE(crOnly.findings.size() == 1, listed(crOnly));
}

TEST_CASE("what is meant or harmless is not held against the file")
{
    const std::vector<std::pair<const char*, std::string>> rows{
        {"a doubled ampersand shows one", sjisLines(withHead({"[R]A&&B", "C&&D"}))},
        {"an ampersand in a check-list choice shows as it is", sjisLines(withHead({"[C]色", "赤&白"}))},
        {"a Ctrl-Z at the very end", sjisLines(withHead({"[T]感想"})) + "\x1A"},
        {"empty lines past the 100th", sjisLines(withHead({"[T]感想"})) + std::string(200, '\n')},
        {"LF line breaks", "t\nd\np\n[T]q\n"},
        {"a question of 31 full-width characters",
         sjisLines(withHead({"[T]あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほま"}))},
        {"a radio choice of 23 and a check-list choice of 24 full-width characters",
         sjisLines(withHead({"[R]q", "あいうえおかきくけこさしすせそたちつてとなにぬ", "", "[C]q",
                             "あいうえおかきくけこさしすせそたちつてとなにぬね"}))},
    };
    WorkingFolder folder;
    for (const auto& [tag, bytes] : rows) {
        CAPTURE(tag);
        const QuestionnaireCheck check = checkFile(bytes);
        CHECK_MESSAGE(countOf(check, Severity::Error) + countOf(check, Severity::Warning) == 0, listed(check));
    }
}

TEST_CASE("the panel widths come from the layout: a radio choice has less room than a check-list one")
{
    WorkingFolder folder;
    const std::string twentyFour = "あいうえおかきくけこさしすせそたちつてとなにぬね";
    const QuestionnaireCheck radio = checkFile(sjisLines(withHead({"[R]q", twentyFour})));
    CHECK_MESSAGE(has(radio, Severity::Warning, 5, "全角でおよそ 23 文字まで"), listed(radio));
    const QuestionnaireCheck caption = checkFile(sjisLines(withHead({"[T]" + twentyFour + twentyFour})));
    CHECK_MESSAGE(has(caption, Severity::Warning, 4, "設問 1 の文がパネルの幅より長い"), listed(caption));
    // Half-width characters take half the room: 62 fit the caption, 63 do not.
    CHECK(countOf(checkFile(sjisLines(withHead({"[T]" + std::string(62, 'x')}))), Severity::Warning) == 0);
    CHECK(countOf(checkFile(sjisLines(withHead({"[T]" + std::string(63, 'x')}))), Severity::Warning) == 1);
    // An access-key mark takes no room, a doubled one shows one "&".
    const QuestionnaireCheck marked = checkFile(sjisLines(withHead({"[T]&" + std::string(62, 'x')})));
    CHECK_FALSE(has(marked, Severity::Warning, 4, "パネルの幅"));
    CHECK(has(marked, Severity::Warning, 4, "「&」は表示されず"));
    CHECK(has(checkFile(sjisLines(withHead({"[T]&&" + std::string(62, 'x')}))), Severity::Warning, 4, "パネルの幅"));
}

TEST_CASE("findings come sorted: errors, warnings, notes, each in line order")
{
    WorkingFolder folder;
    const QuestionnaireCheck check = checkFile(sjisLines(
        {"調査", "説明", "", "はじめに", "[C]教科", "1", "2", "3", "4", "5", "6", "", "[R]色", "赤&白", "［Ｒ］次"}));
    REQUIRE_MESSAGE(check.findings.size() >= 5, listed(check));
    const std::string expectedOrder = "error 11\nerror 15\nwarning 3\nwarning 14\nnote 4\n";
    std::string order;
    for (const Finding& finding : check.findings)
        order += std::string(severityName(finding.severity)) + " " + std::to_string(finding.lineNumber) + "\n";
    CHECK_MESSAGE(order == expectedOrder, listed(check));
}

TEST_CASE("each line is said to be what the sheet makes of it")
{
    WorkingFolder folder;
    const QuestionnaireCheck check = checkFile(
        sjisLines(withHead({"[R]季節", "春", "夏", "", "ひとこと", "[T]感想", "とても", "[C]教科", "1", "2", "3", "4",
                            "5", "6", "［Ｔ］次"})));
    std::string said;
    for (const LineMeaning& line : check.lines)
        said += std::to_string(line.lineNumber) + " " + line.text + " = " + line.meaning + (line.ignored ? " (x)" : "")
            + "\n";
    const std::string expected = "1 給食アンケート = タイトル\n"
                                 "2 正直に答えてください = 説明\n"
                                 "3 氏名 = 氏名欄の見出し\n"
                                 "4 [R]季節 = 設問 1（択一）\n"
                                 "5 春 = 設問 1 の選択肢 1\n"
                                 "6 夏 = 設問 1 の選択肢 2\n"
                                 "7  = 設問 1 の選択肢の終わり（空行）\n"
                                 "8 ひとこと = 無視されます: 設問 1 の選択肢は前の空行で終わっています (x)\n"
                                 "9 [T]感想 = 設問 2（記述）\n"
                                 "10 とても = 無視されます: 設問 2 は記述式なので、選択肢はありません (x)\n"
                                 "11 [C]教科 = 設問 3（複数選択）\n"
                                 "12 1 = 設問 3 の選択肢 1\n"
                                 "13 2 = 設問 3 の選択肢 2\n"
                                 "14 3 = 設問 3 の選択肢 3\n"
                                 "15 4 = 設問 3 の選択肢 4\n"
                                 "16 5 = 設問 3 の選択肢 5\n"
                                 "17 6 = 無視されます: 設問 3 の 6 番目の選択肢です（選択肢は 5 つまで） (x)\n"
                                 "18 ［Ｔ］次 = 無視されます: 設問 3 の 7 番目の選択肢です（選択肢は 5 つまで） (x)\n";
    CHECK(said == expected);
}

TEST_CASE("lines past the 100th, a Ctrl-Z and another encoding are described without listing them all")
{
    WorkingFolder folder;
    SUBCASE("past the 100th line: one summary")
    {
        std::string bytes = sjisLines(withHead({"[T]感想"}));
        for (int j = 5; j <= 5000; ++j)
            bytes += "x\r\n";
        const QuestionnaireCheck check = checkFile(bytes);
        REQUIRE(check.lines.size() == 101);
        CHECK(check.lines.back().lineNumber == 101);
        CHECK(check.lines.back().lastLineNumber == 5000);
        CHECK(check.lines.back().ignored);
        CHECK(check.lines.back().meaning.find("4900 行") != std::string::npos);
    }
    SUBCASE("a Ctrl-Z ends the list of lines")
    {
        const QuestionnaireCheck check = checkFile(sjisLines(withHead({"[T]感想"}))
                                                   + "\x1A"
                                                     "[T]x\r\n");
        REQUIRE(check.lines.size() == 5);
        CHECK(check.lines.back().lineNumber == 5);
        CHECK(check.lines.back().text == "(Ctrl-Z)");
    }
    SUBCASE("UTF-8: the garbled text the pupils see, and the text as written")
    {
        const QuestionnaireCheck check = checkFile("給食\r\n説明\r\n氏名\r\n[T]感想\r\n");
        CHECK(check.encoding == FileEncoding::Utf8);
        REQUIRE(check.lines.size() == 4);
        CHECK(check.lines[0].asWritten == "給食");
        CHECK(check.lines[0].text != "給食");
        CHECK(check.lines[3].meaning == "設問 1（記述）");
        CHECK(check.findings.front().message.find("1 行目は「" + check.lines[0].text + "」と表示されます")
              != std::string::npos);
    }
    SUBCASE("a long line is cut")
    {
        const QuestionnaireCheck check = checkFile(std::string(100000, 'x'));
        REQUIRE(check.lines.size() == 1);
        CHECK(check.lines[0].text == std::string(120, 'x') + "…");
    }
}

TEST_CASE("a questionnaire that changed between reading it and checking it is an error")
{
    WorkingFolder folder;
    const std::string before = sjisLines(withHead({"[R]色", "赤"}));
    writeFileBytes("data.txt", before);
    const Questionnaire asRead = readQuestionnaireFile("data.txt");
    const std::string after = sjisLines(withHead({"[R]色", "赤", "青"}));
    CHECK_FALSE(checkQuestionnaire(before, asRead).hasErrors());
    const QuestionnaireCheck check = checkQuestionnaire(after, asRead);
    CHECK_MESSAGE(has(check, Severity::Error, 0, "書き換えられた"), listed(check));
}
