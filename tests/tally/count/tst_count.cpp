// The tally of real folders, natively and under Wine: counts per question
// against hand-made and against independently counted random folders
// written by the real writer; every kind of file that must not be counted
// listed with its name and left out; the notes; thousands of files.
#include "tally/count/natural_order.h"
#include "tally/count/tally.h"

#include "answers/answer_file.h"
#include "app/text/cp932.h"
#include "child_process.h"
#include "folder_fixtures.h"
#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#ifndef _WIN32
#  include <sys/stat.h>
#  include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::tally;
using namespace mirunea::test;

namespace {

const std::vector<std::string> kSlotCodes = {"R3", "", "T", "C4", "R2"};

std::vector<std::string> fileNames(const Tally& tally)
{
    std::vector<std::string> names;
    for (const CountedFile& file : tally.files)
        names.push_back(file.fileName);
    return names;
}

// Problems by file name; each file has one.
std::map<std::string, std::string> problemsByName(const Tally& tally)
{
    std::map<std::string, std::string> byName;
    for (const FileProblem& problem : tally.problems) {
        CHECK_MESSAGE(byName.count(problem.fileName) == 0, problem.fileName);
        byName[problem.fileName] = problem.message;
    }
    return byName;
}

// The counts computed straight from records that fit the questionnaire, the
// way a teacher would tick them off, with the texts as (file, text) pairs.
struct ExpectedCounts
{
    std::vector<std::vector<int>> choices = std::vector<std::vector<int>>(kSlotCount);
    std::vector<int> noAnswer = std::vector<int>(kSlotCount);
    std::vector<std::vector<std::pair<std::string, std::string>>> texts =
        std::vector<std::vector<std::pair<std::string, std::string>>>(kSlotCount);
    std::vector<int> emptyTexts = std::vector<int>(kSlotCount);
};

ExpectedCounts countDirectly(const Questionnaire& questionnaire,
                             const std::vector<std::pair<std::string, AnswerRecord>>& files)
{
    ExpectedCounts expected;
    for (std::size_t q = 0; q < kSlotCount; ++q)
        expected.choices[q].assign(questionnaire.questionSlots[q].choices.size(), 0);
    for (const auto& [fileName, record] : files) {
        for (std::size_t q = 0; q < kSlotCount; ++q) {
            const SlotAnswer& answer = record.slotAnswers[q];
            if (answer.typeCode == "R") {
                int chosen = 0;
                for (int c = 1; c <= answer.choiceCount; ++c) {
                    if (answer.selected == c) {
                        ++expected.choices[q][static_cast<std::size_t>(c - 1)];
                        ++chosen;
                    }
                }
                expected.noAnswer[q] += chosen == 0 ? 1 : 0;
            } else if (answer.typeCode == "C") {
                int ticks = 0;
                for (std::size_t c = 0; c < answer.ticked.size(); ++c) {
                    expected.choices[q][c] += answer.ticked[c] ? 1 : 0;
                    ticks += answer.ticked[c] ? 1 : 0;
                }
                expected.noAnswer[q] += ticks == 0 ? 1 : 0;
            } else if (answer.typeCode == "T") {
                if (answer.text.empty())
                    ++expected.emptyTexts[q];
                else
                    expected.texts[q].emplace_back(fileName, answer.text);
            }
        }
    }
    for (auto& texts : expected.texts)
        std::sort(texts.begin(), texts.end());
    return expected;
}

void checkCounts(const Tally& tally, const ExpectedCounts& expected)
{
    for (std::size_t q = 0; q < kSlotCount; ++q) {
        CAPTURE(q + 1);
        const QuestionCount& question = tally.questions[q];
        CHECK(question.slot == static_cast<int>(q) + 1);
        CHECK(question.choiceCounts == expected.choices[q]);
        CHECK(question.noAnswer == expected.noAnswer[q]);
        CHECK(question.emptyTexts == expected.emptyTexts[q]);
        std::vector<std::pair<std::string, std::string>> texts;
        for (const std::size_t index : question.textAnswers) {
            REQUIRE(index < tally.files.size());
            texts.emplace_back(tally.files[index].fileName, tally.files[index].record.slotAnswers[q].text);
        }
        std::sort(texts.begin(), texts.end());
        CHECK(texts == expected.texts[q]);
    }
}

SlotAnswer randomAnswer(std::mt19937& random, const QuestionSlot& question)
{
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const int choices = static_cast<int>(question.choices.size());
    if (question.typeCode == "R")
        return choose(choices, choices == 0 || below(4) == 0 ? std::nullopt : std::optional(1 + below(choices)));
    if (question.typeCode == "C") {
        std::vector<bool> ticked;
        for (int c = 0; c < choices; ++c)
            ticked.push_back(below(2) == 0);
        return tick(ticked);
    }
    if (question.typeCode == "T") {
        const std::vector<std::string> texts{"", "", "[END]", "[Q1R]", sjis("ソフト"), "a", sjis("表")};
        return type(texts[static_cast<std::size_t>(below(static_cast<int>(texts.size())))]);
    }
    return {};
}

} // namespace

TEST_CASE("file names are ordered as people order them")
{
    std::vector<std::string> names{"PC10.ans", "pc2.ans", "PC1.ans", "PC02.ans", "PC2.ans",  ".ans",
                                   "PC1a.ans", "A.ans",   "b.ans",   "PC.ans",   "PC100.ans"};
    std::sort(names.begin(), names.end(), naturalLess);
    CHECK(names
          == std::vector<std::string>{".ans", "A.ans", "b.ans", "PC.ans", "PC1.ans", "PC1a.ans", "PC02.ans", "PC2.ans",
                                      "pc2.ans", "PC10.ans", "PC100.ans"});
    // Digit runs longer than any integer still compare by value.
    CHECK(naturalLess("x99999999999999999999999", "x100000000000000000000000"));
    CHECK_FALSE(naturalLess("PC2.ans", "PC2.ans"));
}

TEST_CASE("each question is counted in slot order, the files in natural order")
{
    WorkingFolder folder;
    writeAnswerFile(answerRecord(
        "PC10", sjis("山田"),
        {{1, choose(3, 2)}, {3, type(sjis("よい"))}, {4, tick({true, false, true, false})}, {5, choose(2, {})}}));
    writeAnswerFile(answerRecord(
        "PC2", "Jiro", {{1, choose(3, 2)}, {3, type("")}, {4, tick({false, false, false, false})}, {5, choose(2, 1)}}));
    writeAnswerFile(answerRecord(
        "PC1", "", {{1, choose(3, {})}, {3, type("[END]")}, {4, tick({true, true, true, true})}, {5, choose(2, 1)}}));

    const Tally tally = tallyFolder(questionnaireOf(kSlotCodes), 0);
    CHECK(tally.problems.empty());
    CHECK(tally.notes.empty());
    REQUIRE(fileNames(tally) == std::vector<std::string>{"PC1.ans", "PC2.ans", "PC10.ans"});
    CHECK(tally.files[2].record.respondentName == sjis("山田"));

    CHECK(tally.questions[0].typeCode == "R");
    CHECK(tally.questions[0].choiceCounts == std::vector<int>{0, 2, 0});
    CHECK(tally.questions[0].noAnswer == 1);
    CHECK(tally.questions[1].typeCode.empty());
    CHECK(tally.questions[1].choiceCounts.empty());
    CHECK(tally.questions[2].textAnswers == std::vector<std::size_t>{0, 2});
    CHECK(tally.questions[2].emptyTexts == 1);
    CHECK(tally.questions[3].choiceCounts == std::vector<int>{2, 1, 2, 1});
    CHECK(tally.questions[3].noAnswer == 1);
    CHECK(tally.questions[4].choiceCounts == std::vector<int>{2, 0});
    CHECK(tally.questions[4].noAnswer == 1);
}

TEST_CASE("random folders written by the writer count as the records do")
{
    std::mt19937 random(4242);
    for (const std::vector<std::string>& codes :
         {std::vector<std::string>{"R5", "C5", "T", "", "R1", "C1", "T", "R0", "C0", "T"}, kSlotCodes}) {
        const Questionnaire questionnaire = questionnaireOf(codes);
        WorkingFolder folder;
        std::vector<std::pair<std::string, AnswerRecord>> written;
        for (int i = 1; i <= 300; ++i) {
            AnswerRecord record;
            record.computerName = "PC" + std::to_string(i);
            record.respondentName = "pupil " + std::to_string(i);
            for (std::size_t q = 0; q < kSlotCount; ++q)
                record.slotAnswers[q] = randomAnswer(random, questionnaire.questionSlots[q]);
            writeAnswerFile(record);
            written.emplace_back(record.computerName + ".ans", record);
        }
        const Tally tally = tallyFolder(questionnaire, 0);
        CHECK(tally.problems.empty());
        REQUIRE(tally.files.size() == written.size());
        for (std::size_t i = 0; i < written.size(); ++i)
            CHECK(tally.files[i].fileName == written[i].first);
        checkCounts(tally, countDirectly(questionnaire, written));
    }
}

TEST_CASE("files that cannot be counted are listed by name and left out, and the rest is counted")
{
    WorkingFolder folder(MIRUNEA_LIMITS_BASE);
    const Questionnaire questionnaire = questionnaireOf(kSlotCodes);
    const AnswerRecord good = answerRecord(
        "good", "Taro", {{1, choose(3, 1)}, {3, type("x")}, {4, tick({true, true, false, false})}, {5, choose(2, 2)}});
    writeAnswerFile(good);

    std::string cut = answerFileBytes(good);
    cut.resize(cut.size() - 9);
    writeFileBytes("cut.ans", cut);
    AnswerRecord otherKind = good;
    otherKind.slotAnswers[0] = tick({true, false, false});
    writeFileBytes("kind.ans", answerFileBytes(otherKind));
    AnswerRecord otherChoices = good;
    otherChoices.slotAnswers[3] = tick({true, false, false, false, false});
    writeFileBytes("choices.ans", answerFileBytes(otherChoices));
    AnswerRecord missing = good;
    missing.slotAnswers[4] = {};
    writeFileBytes("missing.ans", answerFileBytes(missing));
    AnswerRecord extra = good;
    extra.slotAnswers[1] = type("x");
    writeFileBytes("extra.ans", answerFileBytes(extra));
    std::string twoChosen = answerFileBytes(good);
    twoChosen.replace(twoChosen.find("[Q1R]\r\n1\r\n0\r\n"), 13, "[Q1R]\r\n1\r\n1\r\n");
    writeFileBytes("two.ans", twoChosen);
    writeFileBytes("binary.ans", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    writeFileBytes("letter.ans", "Dear parents,\r\nthe marks of the class:\r\nTaro 80\r\n");
    writeFileBytes("lf.ans", "good\nTaro\n[END]\n");
    writeFileBytes("empty.ans", "");
    writeSparse("huge.ans", answerFileBytes(good), std::int64_t{1} << 40);
    std::filesystem::create_directory("folder.ans");
    writeFileBytes("held.ans", answerFileBytes(good));
    mirunea::test::ChildProcess writer(MIRUNEA_FILE_HOLDER, {"write", "held.ans"});
    REQUIRE(writer.readLine() == "held");

    const auto start = std::chrono::steady_clock::now();
    const Tally tally = tallyFolder(questionnaire, 0);
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
    writer.closeInput();
    CHECK(writer.wait().exitCode == 0);

    CHECK(fileNames(tally) == std::vector<std::string>{"good.ans"});
    const std::map<std::string, std::string> problems = problemsByName(tally);
    const std::map<std::string, const char*> expected{
        {"binary.ans", "回答ファイルではありません"},
        {"choices.ans", "設問 4 の選択肢の数が違います（回答: 5、data.txt: 4）"},
        {"cut.ans", "[END] の行がありません"},
        {"empty.ans", "[END] の行がありません"},
        {"extra.ans", "設問 2 の種類が違います（回答: 記述、data.txt: なし）"},
        {"folder.ans", "フォルダー"},
        {"held.ans", "書き込み中"},
        {"huge.ans", "大きすぎます"},
        {"kind.ans", "設問 1 の種類が違います（回答: 複数選択、data.txt: 択一）"},
        {"letter.ans", "回答ファイルの形式ではありません（3 行目）"},
        {"lf.ans", "CR LF"},
        {"missing.ans", "設問 5 の種類が違います（回答: なし、data.txt: 択一）"},
        {"two.ans", "複数の選択肢"},
    };
    for (const auto& [name, words] : expected) {
        CAPTURE(name);
        REQUIRE(problems.count(name) == 1);
        CHECK_MESSAGE(problems.at(name).find(words) != std::string::npos, problems.at(name));
    }
    CHECK(problems.size() == expected.size());
    // The problems come in the files' order.
    CHECK(tally.problems.front().fileName == "binary.ans");
    CHECK(tally.problems.back().fileName == "two.ans");
    // Nothing of a file left out is counted.
    CHECK(tally.questions[0].choiceCounts == std::vector<int>{1, 0, 0});
    CHECK(tally.questions[2].textAnswers == std::vector<std::size_t>{0});
    CHECK(tally.questions[3].choiceCounts == std::vector<int>{1, 1, 0, 0});
    CHECK(tally.questions[4].choiceCounts == std::vector<int>{0, 1});
}

TEST_CASE("a name sent from several PCs and a file older than data.txt are notes, and counted")
{
    WorkingFolder folder;
    const Questionnaire questionnaire = questionnaireOf({"T"});
    for (const char* pc : {"PC1", "PC2", "PC3", "PC4", "PC5", "PC6"})
        writeAnswerFile(answerRecord(pc, sjis("山田"), {{1, type(pc)}}));
    writeAnswerFile(answerRecord("PC7", "", {{1, type("")}}));
    writeAnswerFile(answerRecord("PC8", "", {{1, type("")}}));
    writeAnswerFile(answerRecord("PC9", "Sato", {{1, type("")}}));
    const std::int64_t questionnaireTime = nowUnixSeconds() - 3600;
    setModified("PC9.ans", questionnaireTime - 60);

    const Tally tally = tallyFolder(questionnaire, questionnaireTime);
    CHECK(tally.problems.empty());
    CHECK(tally.files.size() == 9);
    std::map<std::string, std::vector<std::string>> notes;
    for (const FileNote& note : tally.notes)
        notes[note.fileName].push_back(note.message);
    // Empty names are no shared name; PC7 and PC8 have no note.
    CHECK(notes.size() == 7);
    REQUIRE(notes["PC1.ans"].size() == 1);
    CHECK(notes["PC1.ans"][0].find("山田") != std::string::npos);
    CHECK(notes["PC1.ans"][0].find("PC2.ans、PC3.ans、PC4.ans ほか 2 件") != std::string::npos);
    CHECK(notes["PC1.ans"][0].find("PC1.ans") == std::string::npos);
    REQUIRE(notes["PC6.ans"].size() == 1);
    CHECK(notes["PC6.ans"][0].find("PC1.ans、PC2.ans、PC3.ans ほか 2 件") != std::string::npos);
    REQUIRE(notes["PC9.ans"].size() == 1);
    CHECK(notes["PC9.ans"][0].find("data.txt") != std::string::npos);
    CHECK(tally.files[8].modifiedUnixSeconds == questionnaireTime - 60);
}

TEST_CASE("thousands of files are all counted")
{
    WorkingFolder folder;
    const Questionnaire questionnaire = questionnaireOf({"R2"});
#ifdef _WIN32
    constexpr int kFiles = 1000; // each file operation is a round trip to Wine's server: about 15 ms to write one
#else
    constexpr int kFiles = 3000;
#endif
    for (int i = 0; i < kFiles; ++i)
        writeAnswerFile(answerRecord("PC" + std::to_string(i), "", {{1, choose(2, i % 5 == 0 ? 1 : 2)}}));
    const Tally tally = tallyFolder(questionnaire, 0);
    CHECK(tally.problems.empty());
    REQUIRE(tally.files.size() == kFiles);
    CHECK(tally.files[9].fileName == "PC9.ans");
    CHECK(tally.files[10].fileName == "PC10.ans");
    CHECK(tally.questions[0].choiceCounts == std::vector<int>{kFiles / 5, kFiles - kFiles / 5});
}

#ifndef _WIN32

TEST_CASE("links, FIFOs and hard links are problems, and no byte of what they point at reaches the tally")
{
    const FolderBesideSecret folder;
    folder.placeLinksAndFifo();
    writeFileBytes("PC1.ans", "PC1\r\nown\r\n[Q1T]\r\nmine\r\n[END]\r\n");
    REQUIRE(::link("PC1.ans", "PC2.ans") == 0);
    writeAnswerFile(answerRecord("PC3", "Hanako", {{1, type("ok")}}));

    const auto start = std::chrono::steady_clock::now();
    const Tally tally = tallyFolder(questionnaireOf({"T"}), 0);
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
    CHECK(fileNames(tally) == std::vector<std::string>{"PC3.ans"});
    const std::map<std::string, std::string> problems = problemsByName(tally);
    CHECK(problems.size() == 5);
    CHECK(problems.at("link.ans").find("リンク") != std::string::npos);
    CHECK(problems.at("zero.ans").find("リンク") != std::string::npos);
    CHECK(problems.at("fifo.ans").find("通常のファイルではありません") != std::string::npos);
    CHECK(problems.at("PC1.ans").find("ハードリンク") != std::string::npos);
    CHECK(problems.at("PC2.ans").find("ハードリンク") != std::string::npos);
    for (const FileProblem& problem : tally.problems)
        CHECK(problem.message.find("secret") == std::string::npos);
    CHECK(tally.notes.empty());
}

#endif
