// The check's line walk against the project's own questionnaire reader: for
// each authoring slip, the edge cases of the file format, and hundreds of
// random small files, the questions, kinds and choices are the reader's.
#include "tally/check/line_walk.h"

#include "questionnaire/questionnaire_reader.h"

#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <random>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::tally;
using namespace mirunea::test;

namespace {

std::string render(const Questionnaire& questionnaire)
{
    std::string out = "title:" + printable(questionnaire.title) + "\ndescription:"
        + printable(questionnaire.description) + "\nprompt:" + printable(questionnaire.namePrompt) + "\n";
    for (std::size_t q = 0; q < questionnaire.questionSlots.size(); ++q) {
        const QuestionSlot& slot = questionnaire.questionSlots[q];
        out += "Q" + std::to_string(q + 1) + "[" + slot.typeCode + "]" + printable(slot.questionText) + "\n";
        for (const std::string& choice : slot.choices)
            out += "  -" + printable(choice) + "\n";
    }
    return out;
}

void checkAgreement(const std::string& tag, const std::string& bytes)
{
    CAPTURE(tag);
    CAPTURE(printable(bytes.substr(0, 200)));
    writeFileBytes("data.txt", bytes);
    const Questionnaire asRead = readQuestionnaireFile("data.txt");
    const LineWalk walk = walkLines(bytes);
    CHECK(render(walk.questionnaire) == render(asRead));
}

} // namespace

TEST_CASE("the walk agrees with the reader on each slip and edge case")
{
    const std::string head = "t\r\nd\r\np\r\n";
    std::string elevenQuestions = head;
    for (int q = 1; q <= 11; ++q)
        elevenQuestions += (q % 3 == 0 ? "[T]" : q % 2 ? "[R]" : "[C]") + std::to_string(q) + "\r\nc\r\n\r\n";
    std::string pastHundred = head;
    for (int j = 4; j <= 99; ++j)
        pastHundred += "\r\n";
    pastHundred += "[R]q100\r\nchoice past the end\r\n[T]q102\r\n";
    std::string longLine = head + "[R]" + std::string(200000, 'x') + "\r\n" + std::string(70000, 'y') + "\r\n";

    const std::vector<std::pair<std::string, std::string>> cases{
        {"empty file", ""},
        {"three lines", head},
        {"two lines", "t\r\nd"},
        {"example",
         joinedLines({"school survey", "please answer", "name", "[R]season?", "spring", "summer", "", "[T]comment?",
                      "[C]clubs?", "art"})},
        {"markers on lines 1 to 3", joinedLines({"[R]t", "[C]d", "[T]p", "[R]q", "a"})},
        {"missing description line", joinedLines({"title", "name", "[R]q", "a", "b", "", "[T]x"})},
        {"full-width brackets", head + joinedLines({sjis("［Ｒ］色"), "a", "[R]q", "b"})},
        {"lower case, blanks and inner space", head + joinedLines({"[r]q", " [R]q", "\t[C]q", "[R ]q", "[T]ok"})},
        {"near-miss inside a list", head + joinedLines({"[R]q", "a", sjis("［Ｃ］次"), "b"})},
        {"seven choices", head + joinedLines({"[C]q", "1", "2", "3", "4", "5", "6", "7", "[T]n"})},
        {"sixth line is a marker", head + joinedLines({"[R]q", "1", "2", "3", "4", "5", "[R]n", "x"})},
        {"text after a T question", head + joinedLines({"[T]q", "not a choice", "[R]r", "x"})},
        {"lines after a list's end", head + joinedLines({"[R]q", "a", "", "b", "c", "[C]r", "d"})},
        {"eleven questions", elevenQuestions},
        {"text past the 100th line", pastHundred},
        {"Ctrl-Z before the last question", head + "[R]q\r\na\r\n\x1A[R]later\r\nb\r\n"},
        {"Ctrl-Z at the very end", head + "[T]q\r\n\x1A"},
        {"Ctrl-Z inside a line",
         head
             + "[R]q\r\na\x1A"
               "b\r\n"},
        {"Ctrl-Z after a CR",
         head
             + "[R]q\r\n\r\x1A"
               "b\r\n"},
        {"CR-only line breaks", "t\rd\rp\r[T]q\r"},
        {"a lone CR joins two lines", head + "[R]q\r\na\rb\r\n"},
        {"CR CR LF", head + "[R]q\r\r\na\r\r\n"},
        {"LF only", "t\nd\np\n[C]q\na\n\n[T]x\n"},
        {"empty line 3", "t\r\nd\r\n\r\n[T]q\r\n"},
        {"question without choices", head + joinedLines({"[R]q", "[C]r", "", "[T]s"})},
        {"line of spaces as a choice", head + joinedLines({"[R]q", "  ", sjis("　"), "b"})},
        {"tab and ampersand", head + joinedLines({"[R]a&b\tc", "x&&y", "\t"})},
        {"marker alone", head + joinedLines({"[R]", "a"})},
        {"marker twice", head + joinedLines({"[R]a[R]b"})},
        {"two final breaks", head + "[R]q\r\na\r\n\r\n"},
        {"NUL bytes", head + std::string("[R]q\0r\r\n\0\r\n", 10)},
        {"long lines", longLine},
        {"no break after the last line", head + "[C]q\r\na"},
    };
    WorkingFolder folder;
    for (const auto& [tag, bytes] : cases)
        checkAgreement(tag, bytes);
}

// Files made of the lines a questionnaire holds and of its authors' slips,
// with every kind of line break, some past the 100th line.
TEST_CASE("the walk agrees with the reader on random small files")
{
    const std::vector<std::string> pool{
        "[R]q",
        "[C]q",
        "[T]q",
        "[R]",
        "[C]",
        "[T]",
        "a",
        "b",
        "choice",
        "",
        "",
        "",
        "  ",
        sjis("［Ｒ］x"),
        "[r]x",
        " [R]x",
        "\t[C]x",
        "[R ]x",
        sjis("春"),
        sjis("ご意見"),
        "[R]a[R]b",
        "\x1A"
        "z",
        "a\x1A",
        "x\ry",
        "\r",
        sjis("【Ｔ】x"),
        "[T",
        "R]",
    };
    const std::vector<std::string> breaks{"\r\n", "\r\n", "\n", "\r", "\r\r\n"};
    std::mt19937 random(20240521);
    WorkingFolder folder;
    for (int file = 0; file < 400; ++file) {
        const int lineCount = file % 20 == 0 ? 95 + static_cast<int>(random() % 20) : static_cast<int>(random() % 40);
        std::string bytes;
        for (int j = 0; j < lineCount; ++j) {
            bytes += pool[random() % pool.size()];
            // Mostly one kind of break a file, as editors write them.
            bytes += random() % 8 == 0 ? breaks[random() % breaks.size()] : breaks[file % 3];
        }
        if (random() % 4 == 0 && !bytes.empty())
            bytes.pop_back(); // no break after the last line, or a CR LF cut to CR
        checkAgreement("random file " + std::to_string(file), bytes);
    }
}

TEST_CASE("the walk marks what the reader leaves out")
{
    const std::string head = "t\r\nd\r\np\r\n";
    SUBCASE("a Ctrl-Z before further questions")
    {
        const LineWalk walk = walkLines(head
                                        + "[T]q\r\n\x1A"
                                          "\r\n[R]x\r\n");
        CHECK(walk.ctrlZLine == 5);
        CHECK(walk.markerAfterCtrlZ);
        CHECK(walk.lineCount == 4);
    }
    SUBCASE("a Ctrl-Z at the end")
    {
        const LineWalk walk = walkLines(head + "[T]q\r\n\x1A");
        CHECK(walk.ctrlZLine == 5);
        CHECK_FALSE(walk.markerAfterCtrlZ);
        CHECK_FALSE(walk.textAfterCtrlZ);
    }
    SUBCASE("CR-only breaks")
    {
        const LineWalk walk = walkLines("t\rd\rp\r[T]q\r");
        CHECK(walk.onlyCrBreaks);
        CHECK(walk.lineCount == 1);
    }
    SUBCASE("a lone CR in one line")
    {
        const LineWalk walk = walkLines(head + "[R]q\r\na\rb\r\nc\r\r\n");
        CHECK_FALSE(walk.onlyCrBreaks);
        CHECK(walk.lineJoinedByLoneCr == std::vector<int>{5});
    }
    SUBCASE("lines past the 100th are counted, not kept")
    {
        std::string bytes;
        for (int j = 1; j <= 150; ++j)
            bytes += j == 120 ? "late\r\n" : "\r\n";
        const LineWalk walk = walkLines(bytes);
        CHECK(walk.lines.size() == 100);
        CHECK(walk.lineCount == 150);
        CHECK(walk.firstNonEmptyPastHundred == 120);
    }
    SUBCASE("roles of the lines after the lists")
    {
        const LineWalk walk = walkLines(head + "[R]q\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n\r\nx\r\n[T]t\r\ny\r\n");
        std::vector<LineRole> roles;
        for (const WalkedLine& line : walk.lines)
            roles.push_back(line.role);
        const std::vector<LineRole> expected{
            LineRole::Title,           LineRole::Description,
            LineRole::NamePrompt,      LineRole::Question,
            LineRole::Choice,          LineRole::Choice,
            LineRole::Choice,          LineRole::Choice,
            LineRole::Choice,          LineRole::ExtraChoice,
            LineRole::AfterChoiceList, LineRole::AfterChoiceList,
            LineRole::Question,        LineRole::AfterTextQuestion,
        };
        CHECK(roles == expected);
        CHECK(walk.lines[9].choice == 6);
    }
}
