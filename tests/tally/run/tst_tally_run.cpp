#include "answers/answer_file.h"
#include "case_rows.h"
#include "records.h"
#include "tally/run/command_line.h"
#include "tally/run/run_ending.h"
#include "tally/run/tally_run.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::test;

namespace {

// A console shared with a command prompt, or (ownConsole) made for the run
// alone; what was opened records whether the file was there by then.
class RecordingHost : public tally::RunHost
{
public:
    explicit RecordingHost(bool ownConsole)
        : m_ownConsole(ownConsole)
    {
    }
    void out(std::string_view utf8) override { m_out += utf8; }
    void err(std::string_view utf8) override { m_err += utf8; }
    bool consoleIsOwn() override { return m_ownConsole; }
    bool openInBrowser(const std::string& fileName) override
    {
        m_opened.push_back(fileName + (fileExists(fileName) ? "" : " (missing)"));
        return m_opens;
    }
    void waitForKey() override
    {
        m_out += "<key>";
        ++m_waits;
    }
    bool m_ownConsole;
    bool m_opens = true;
    std::string m_out;
    std::string m_err;
    std::vector<std::string> m_opened;
    int m_waits = 0;
};

struct Run
{
    int exitCode;
    std::string out;
    std::string err;
    std::vector<std::string> opened;
    int waits;
};

Run runWith(std::vector<std::string> arguments, bool ownConsole = false, bool opens = true)
{
    arguments.insert(arguments.begin(), "mirunea-tally");
    RecordingHost host(ownConsole);
    host.m_opens = opens;
    const int code = tally::runTally(arguments, host, 1'765'000'000);
    return {code, host.m_out, host.m_err, host.m_opened, host.m_waits};
}

const std::string kQuestionnaire = DataTxt("給食アンケート", "正直に", "氏名")
                                       .choose("好きな季節は？", {"春", "夏", "秋"})
                                       .line("")
                                       .tick("好きなもの", {"パン", "ごはん"})
                                       .line("")
                                       .text("ご意見")
                                       .bytes();

void writeAnswers(const AnswerRecord& record)
{
    writeFileBytes(answerFileName(record.computerName), answerFileBytes(record));
}

AnswerRecord answersOf(const std::string& pc, const std::string& name, int season, std::vector<bool> food,
                       const std::string& comment)
{
    return answerRecord(sjis(pc), sjis(name),
                        {{1, choose(3, season)}, {2, tick(std::move(food))}, {3, type(sjis(comment))}});
}

[[nodiscard]] std::vector<std::string> added(const std::vector<std::string>& before)
{
    std::vector<std::string> names;
    for (const std::string& name : entryNames()) {
        if (std::find(before.begin(), before.end(), name) == before.end())
            names.push_back(name);
    }
    return names;
}

} // namespace

TEST_CASE("the command line: help, version and mistakes, each with its exit code and nothing written")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", kQuestionnaire);

    const Run help = runWith({"--help"});
    CHECK(help.exitCode == 0);
    CHECK(help.out.find("--fix-encoding") != std::string::npos);
    CHECK(help.out.find("tally.html") != std::string::npos);

    const Run version = runWith({"--version"});
    CHECK(version.exitCode == 0);
    CHECK(version.out.rfind("mirunea-tally ", 0) == 0);

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--colour"}, {"a", "b"}, {""}, {"-x", "."}}) {
        CAPTURE(wrong.front());
        const Run run = runWith(wrong);
        CHECK(run.exitCode == 2);
        CHECK(run.out.empty());
        CHECK(run.err.find("--help") != std::string::npos);
    }
    CHECK(entryNames() == std::vector<std::string>{"data.txt"});
}

TEST_CASE("a folder that cannot be run on: exit code 2, a reason on standard error, nothing written")
{
    WorkingFolder folder;
    const Run missingFolder = runWith({"no-such-class"});
    CHECK(missingFolder.exitCode == 2);
    CHECK(missingFolder.err.find("no-such-class") != std::string::npos);

    const Run missingQuestionnaire = runWith({"."});
    CHECK(missingQuestionnaire.exitCode == 2);
    CHECK(missingQuestionnaire.err.find("data.txt") != std::string::npos);

    std::filesystem::create_directory("data.txt");
    CHECK(runWith({}).exitCode == 2);
    CHECK(entryNames() == std::vector<std::string>{"data.txt"});
}

TEST_CASE("before class: the report previews the questionnaire; only tally.html and tally.csv are written")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", kQuestionnaire);
    const Run run = runWith({});
    CHECK(run.exitCode == 0);
    CHECK(run.err.empty());
    CHECK(run.out.find("給食アンケート") != std::string::npos);
    CHECK(run.out.find("設問 3 問") != std::string::npos);
    CHECK(added({"data.txt"}) == std::vector<std::string>{"tally.csv", "tally.html"});
    CHECK(readFileBytes("tally.html").find("好きな季節は？") != std::string::npos);
    CHECK(readFileBytes("data.txt") == kQuestionnaire);
}

namespace {

// "class1" with the questionnaire and PC01's answers, made the working directory.
void enterClassFolderWithFirstAnswers()
{
    std::filesystem::create_directory("class1");
    std::filesystem::current_path("class1");
    writeFileBytes("data.txt", kQuestionnaire);
    writeAnswers(answersOf("PC01", "山田", 2, {true, false}, "おいしい"));
}

} // namespace

TEST_CASE("after class: the answers counted in the folder given, a cut file left out with exit code 1")
{
    WorkingFolder folder;
    enterClassFolderWithFirstAnswers();
    writeAnswers(answersOf("PC02", "佐藤", 2, {true, true}, "=1+1"));
    const std::string cut = "PC03\r\n鈴木\r\n[Q1R]\r\n0\r\n";
    writeFileBytes("PC03.ans", cut);
    std::filesystem::current_path("..");

    const Run run = runWith({"class1"});
    CHECK(run.exitCode == 1);
    CHECK(run.out.find("集計 2 件") != std::string::npos);
    CHECK(run.out.find("PC03.ans") != std::string::npos);
    // The outputs land in the folder given, which is now the working directory.
    CHECK(std::filesystem::current_path().filename() == "class1");
    const std::string csv = readFileBytes("tally.csv");
    CHECK(csv.find("PC01") != std::string::npos);
    CHECK(csv.find("PC02") != std::string::npos);
    CHECK(csv.find("PC03") == std::string::npos);
    CHECK(csv.find("'=1+1") != std::string::npos);
    CHECK(readFileBytes("PC03.ans") == cut);

    // Every file complete: nothing to report, exit code 0.
    std::filesystem::remove("PC03.ans");
    CHECK(runWith({}).exitCode == 0);
}

TEST_CASE("after the run: the report opened and a key waited for on a console of its own, neither from a prompt")
{
    struct Situation
    {
        std::vector<std::string> arguments;
        bool ownConsole;
        int exitCode;
        bool reportWritten;
    };
    struct Ending
    {
        bool open;
        bool wait;
        bool dropHint;
    };
    const CaseRows<Situation, Ending> rows{
        {"prompt", {{}, false, 0, true}, {false, false, false}},
        {"prompt, --open", {{"--open"}, false, 1, true}, {true, false, false}},
        {"prompt, --open, could not run", {{"--open"}, false, 2, false}, {false, false, false}},
        {"prompt, --open --help", {{"--open", "--help"}, false, 0, false}, {false, false, false}},
        {"double click", {{}, true, 0, true}, {true, true, false}},
        {"folder dropped, findings", {{"class1"}, true, 1, true}, {true, true, false}},
        {"own console, --open", {{"--open"}, true, 0, true}, {true, true, false}},
        {"double click, no data.txt", {{}, true, 2, false}, {false, true, true}},
        {"two folders dropped", {{"a", "b"}, true, 2, false}, {false, true, true}},
        {"own console, --help", {{"--help"}, true, 0, false}, {false, true, false}},
    };
    forEachRow(rows, [](const auto& row) {
        std::vector<std::string> arguments{"mirunea-tally"};
        arguments.insert(arguments.end(), row.input.arguments.begin(), row.input.arguments.end());
        const tally::RunEnding ending = tally::runEnding(tally::parseCommandLine(arguments), row.input.ownConsole,
                                                         row.input.exitCode, row.input.reportWritten);
        CHECK(ending.openReport == row.expected.open);
        CHECK(ending.waitForKey == row.expected.wait);
        CHECK(ending.dropHint == row.expected.dropHint);
    });
}

TEST_CASE("a double click: the summary, then the written report opened, then the wait; a prompt gets neither")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", kQuestionnaire);
    writeAnswers(answersOf("PC01", "山田", 2, {true, false}, "おいしい"));

    const Run clicked = runWith({}, true);
    CHECK(clicked.exitCode == 0);
    CHECK(clicked.opened == std::vector<std::string>{"tally.html"});
    CHECK(clicked.waits == 1);
    // The summary stays on the console above the prompt to press a key.
    const std::size_t summary = clicked.out.find("集計 1 件");
    const std::size_t prompt = clicked.out.find("何かキーを押すと終了します。<key>");
    CHECK(summary != std::string::npos);
    CHECK(prompt != std::string::npos);
    CHECK(summary < prompt);

    const Run prompted = runWith({});
    CHECK(prompted.exitCode == 0);
    CHECK(prompted.opened.empty());
    CHECK(prompted.waits == 0);
    CHECK(prompted.out.find("何かキー") == std::string::npos);

    // A browser that cannot be started is said, and the run's code stays.
    const Run noBrowser = runWith({"--open"}, false, false);
    CHECK(noBrowser.exitCode == 0);
    CHECK(noBrowser.opened == std::vector<std::string>{"tally.html"});
    CHECK(noBrowser.err.find("tally.html") != std::string::npos);
}

TEST_CASE("a double click where there is nothing to tally: the reason and the hint stay until a key, nothing opened")
{
    WorkingFolder folder;
    const Run run = runWith({}, true);
    CHECK(run.exitCode == 2);
    CHECK(run.err.find("data.txt") != std::string::npos);
    CHECK(run.err.find("ドラッグ＆ドロップ") != std::string::npos);
    CHECK(run.opened.empty());
    CHECK(run.waits == 1);
    CHECK(entryNames().empty());
}

TEST_CASE("a data.txt or an answer file dropped in place of the folder: its folder is tallied")
{
    WorkingFolder folder;
    enterClassFolderWithFirstAnswers();
    std::filesystem::current_path("..");

    for (const char* dropped : {"class1/data.txt", "class1/PC01.ans"}) {
        CAPTURE(dropped);
        const std::string path = std::filesystem::absolute(dropped).string();
        const Run run = runWith({path}, true);
        CHECK(run.exitCode == 0);
        CHECK(run.out.find("集計 1 件") != std::string::npos);
        CHECK(run.opened == std::vector<std::string>{"tally.html"});
        CHECK(std::filesystem::current_path().filename() == "class1");
        std::filesystem::current_path("..");
        CHECK(fileExists("class1/tally.html"));
        CHECK_FALSE(fileExists("tally.html"));
    }
}

TEST_CASE("a questionnaire saved as UTF-8 is an error, and --fix-encoding rewrites it as Shift-JIS once")
{
    WorkingFolder folder;
    const std::string utf8 = "給食アンケート\r\n正直に\r\n氏名\r\n[R]好きな季節〜は？\r\n春\r\n夏\r\n";
    writeFileBytes("data.txt", utf8);

    const Run unfixed = runWith({});
    CHECK(unfixed.exitCode == 1);
    CHECK(unfixed.out.find("UTF-8") != std::string::npos);
    CHECK(readFileBytes("data.txt") == utf8);

    const Run fixed = runWith({"--fix-encoding"});
    CHECK(fixed.exitCode == 0);
    CHECK(readFileBytes("data.txt.orig") == utf8);
    // The wave dash as Shift-JIS holds it, not a question mark.
    CHECK(readFileBytes("data.txt")
          == sjis("給食アンケート\r\n正直に\r\n氏名\r\n[R]好きな季節") + std::string("\x81\x60", 2)
              + sjis("は？\r\n春\r\n夏\r\n"));

    // A second UTF-8 file would overwrite the kept original: refused, nothing changed.
    writeFileBytes("data.txt", utf8);
    const Run again = runWith({"--fix-encoding"});
    CHECK(again.exitCode == 2);
    CHECK(again.err.find("data.txt.orig") != std::string::npos);
    CHECK(readFileBytes("data.txt") == utf8);
    CHECK(readFileBytes("data.txt.orig") == utf8);
}

TEST_CASE("--fix-encoding refuses a character Shift-JIS has no form for, and names it")
{
    WorkingFolder folder;
    const std::string utf8 = "タイトル\r\n説明\r\n氏名\r\n[T]好きな絵文字😀\r\n";
    writeFileBytes("data.txt", utf8);
    const Run run = runWith({"--fix-encoding"});
    CHECK(run.exitCode == 1);
    CHECK(run.out.find("😀") != std::string::npos);
    CHECK(readFileBytes("data.txt") == utf8);
    CHECK_FALSE(fileExists("data.txt.orig"));
}

#ifndef _WIN32
TEST_CASE("a data.txt that is a link is not read: its target could be anyone's file")
{
    WorkingFolder folder;
    writeFileBytes("secret.txt", kQuestionnaire);
    std::filesystem::create_symlink("secret.txt", "data.txt");
    const Run run = runWith({});
    CHECK(run.exitCode == 2);
    CHECK(run.err.find("data.txt") != std::string::npos);
    CHECK_FALSE(fileExists("tally.html"));
    CHECK_FALSE(fileExists("tally.csv"));
}

TEST_CASE("a link placed under an output's name is replaced, not written through")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", kQuestionnaire);
    writeFileBytes("teacher.txt", "keep");
    std::filesystem::create_symlink("teacher.txt", "tally.html");
    CHECK(runWith({}).exitCode == 0);
    CHECK(readFileBytes("teacher.txt") == "keep");
    CHECK_FALSE(std::filesystem::is_symlink("tally.html"));
}
#endif
