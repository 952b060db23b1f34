// The questionnaire reader and the answer writer on real files through the
// Win32 file layer: bytes, error codes and share modes as Windows has them.
#include "answers/answer_file.h"
#include "app/cp932.h"
#include "app/file_layer.h"
#include "app/io_failure.h"
#include "questionnaire/questionnaire_reader.h"

#include "child_process.h"
#include "mini_test.h"
#include "temp_folder.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using mirunea::AnswerRecord;
using mirunea::IoFailure;
using mirunea::Questionnaire;
using mirunea::SharedReadFile;
using mirunea::SharedWriteFile;
using mirunea::SlotAnswer;
using mirunea::test::readFileBytes;
using mirunea::test::TempWorkingFolder;
using mirunea::test::writeFileBytes;

namespace {

std::string sjis(const char* utf8)
{
    return mirunea::cp932::fromUtf8(utf8);
}

// The code of the I/O failure the action raised, or none.
std::optional<int> failureCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoFailure& failure) {
        return failure.code();
    }
    return std::nullopt;
}

SlotAnswer choose(int choiceCount, std::optional<int> selected)
{
    SlotAnswer slot;
    slot.typeCode = "R";
    slot.choiceCount = choiceCount;
    slot.selected = selected;
    return slot;
}

SlotAnswer tick(std::vector<bool> ticked)
{
    SlotAnswer slot;
    slot.typeCode = "C";
    slot.ticked = std::move(ticked);
    return slot;
}

SlotAnswer type(std::string text)
{
    SlotAnswer slot;
    slot.typeCode = "T";
    slot.text = std::move(text);
    return slot;
}

AnswerRecord record(std::string computerName, std::string respondentName,
                    std::vector<std::pair<int, SlotAnswer>> answers = {})
{
    AnswerRecord r;
    r.computerName = std::move(computerName);
    r.respondentName = std::move(respondentName);
    for (auto& [number, slot] : answers)
        r.slotAnswers.at(static_cast<std::size_t>(number - 1)) = std::move(slot);
    return r;
}

std::string typeCodes(const Questionnaire& questionnaire)
{
    std::string codes;
    for (const auto& slot : questionnaire.questionSlots)
        codes += slot.typeCode.empty() ? "-" : slot.typeCode;
    return codes;
}

std::string fileHolderCommand(const char* mode, const char* path)
{
    return std::string("\"" MIRUNEA_FILE_HOLDER "\" ") + mode + " " + path;
}

} // namespace

MT_TEST(readsQuestionnaireFiles)
{
    struct Row
    {
        const char* tag;
        std::string bytes;
        std::string title;
        std::string codes;
        std::vector<std::string> firstChoices;
    };
    const std::string example = readFileBytes(MIRUNEA_EXAMPLES "/data.txt");
    const std::string longLine(300000, 'x'); // longer than any read buffer
    const std::vector<Row> rows{
        {"example questionnaire",
         example,
         sjis("学校生活アンケート（２学期）"),
         "RCTRCRT----",
         {sjis("とても楽しい"), sjis("まあまあ楽しい"), sjis("ふつう"), sjis("あまり楽しくない"), sjis("楽しくない")}},
        {"CR LF and a lone CR", "T\r\nD\r\nP\r\n[R]Q\r\na\rb\r\nc", "T", "R---------", {"ab", "c"}},
        {"Ctrl-Z at a line start ends the file", "T\nD\nP\n[C]Q\nx\x1Ay\n\x1A[T]gone\n", "T", "C---------", {"x\x1Ay"}},
        {"no line break at the end", "T\nD\nP\n[R]Q\nlast", "T", "R---------", {"last"}},
        {"empty file", "", "", "----------", {}},
        {"line longer than the buffer", longLine + "\nD\nP\n[T]Q\n", longLine, "T---------", {}},
    };
    for (const Row& row : rows) {
        MT_ROW(row.tag);
        TempWorkingFolder folder;
        writeFileBytes("data.txt", row.bytes);
        const Questionnaire questionnaire = mirunea::readQuestionnaire();
        MT_CHECK_EQ(questionnaire.title, row.title);
        MT_CHECK_EQ(typeCodes(questionnaire), row.codes.substr(0, 10));
        MT_CHECK(questionnaire.questionSlots[0].choices == row.firstChoices);
        // The reader closed the file: it can be replaced at once.
        MT_CHECK(!failureCode([] { SharedWriteFile::create("data.txt").close(); }));
    }
}

MT_TEST(writesGoldenAnswerFiles)
{
    struct Row
    {
        const char* tag;
        std::vector<AnswerRecord> sends; // written in this order, into one folder
        std::string fileName;
        const char* golden;
    };
    const std::vector<Row> rows{
        {"example",
         {record("PC05", sjis("山田"), {{1, choose(2, 2)}, {3, type(sjis("よい"))}, {4, tick({true, false, true})}})},
         "PC05.ans",
         "example.ans"},
        {"all slots empty", {record("PC01", "")}, "PC01.ans", "all_slots_empty.ans"},
        {"choice without selection",
         {record("PC03", "Taro", {{2, choose(3, std::nullopt)}})},
         "PC03.ans",
         "choice_without_selection.ans"},
        {"15-byte computer name",
         {record("ABCDEFGHIJKLMNO", "Taro", {{10, type("last")}})},
         "ABCDEFGHIJKLMNO.ans",
         "fifteen_byte_computer_name.ans"},
        {"Shift-JIS trail bytes 5C",
         {record(sjis("ソ"), sjis("表示"), {{5, type(sjis("ソフト能力ソ"))}})},
         "\x83\x5C.ans",
         "shift_jis_trail_5c.ans"},
        {"empty computer name, written twice",
         {record("", "Jiro"), record("", "Taro")},
         ".ans",
         "empty_computer_name.ans"},
        {"second write replaces a longer first",
         {record("PC07", "Hanako Yamada",
                 {{1, tick({true, true, true, true, true})}, {2, type(std::string(300, 'a'))}, {3, choose(5, 1)}}),
          record("PC07", "Hanako", {{1, tick({false, true})}})},
         "PC07.ans",
         "second_write_replaces_first.ans"},
    };
    for (const Row& row : rows) {
        MT_ROW(row.tag);
        TempWorkingFolder folder;
        for (const AnswerRecord& send : row.sends)
            mirunea::writeAnswerFile(send);
        MT_CHECK_EQ(readFileBytes(row.fileName),
                    readFileBytes(std::string(MIRUNEA_ANSWERS_TEST_DATA "/") + row.golden));
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
            ++entries;
        MT_CHECK_EQ(entries, 1u);
    }
}

MT_TEST(failuresCarryTheWindowsCode)
{
    struct Row
    {
        const char* tag;
        std::function<void()> prepare;
        std::function<void()> action;
        int code;
    };
    const auto readData = [] { static_cast<void>(mirunea::readQuestionnaire()); };
    const auto writePc = [] { mirunea::writeAnswerFile(record("PC", "x")); };
    const std::vector<Row> rows{
        {"missing data.txt", [] {}, readData, ERROR_FILE_NOT_FOUND},
        {"data.txt in a missing folder", [] {},
         [] { static_cast<void>(mirunea::readQuestionnaireFile("missing\\data.txt")); }, ERROR_PATH_NOT_FOUND},
        {"data.txt is a folder", [] { ::CreateDirectoryA("data.txt", nullptr); }, readData, ERROR_ACCESS_DENIED},
        {"answer file in a missing folder", [] {}, [] { SharedWriteFile::create("missing\\PC.ans").close(); },
         ERROR_PATH_NOT_FOUND},
        {"folder in place of the answer file", [] { ::CreateDirectoryA("PC.ans", nullptr); }, writePc,
         ERROR_ACCESS_DENIED},
        // Windows also refuses to replace a hidden or system file; Wine does not
        // reproduce that, and a read-only file needs a user who is not root:
        // tst_win32_permissions.
        {"name hiding a zero byte", [] {}, [] { SharedWriteFile::create(std::string("PC\0x.ans", 8)).close(); },
         ERROR_PATH_NOT_FOUND},
    };
    for (const Row& row : rows) {
        MT_ROW(row.tag);
        TempWorkingFolder folder;
        row.prepare();
        MT_CHECK_EQ(failureCode(row.action).value_or(0), row.code);
    }
    // The message the error box shows for a code outside the table's named rows.
    MT_CHECK_EQ(IoFailure(32).message(), sjis("I/O エラー (32)"));
    MT_CHECK_EQ(IoFailure(2).message(), sjis("ファイルが見つかりません"));
}

MT_TEST(shareModesOfASecondHandle)
{
    TempWorkingFolder folder;
    writeFileBytes("data.txt", "T\nD\nP\n");
    writeFileBytes("PC.ans", "previous answers");
    {
        // A writer of ours shuts out readers and a second writer.
        SharedWriteFile writer = SharedWriteFile::create("data.txt");
        MT_CHECK_EQ(failureCode([] { static_cast<void>(mirunea::readQuestionnaire()); }).value_or(0),
                    ERROR_SHARING_VIOLATION);
        MT_CHECK_EQ(failureCode([] { SharedWriteFile::create("data.txt").close(); }).value_or(0),
                    ERROR_SHARING_VIOLATION);
        writer.close();
    }
    {
        // Readers share with each other but not with a writer; the refused
        // creation leaves the existing answers as they were.
        SharedReadFile first = SharedReadFile::open("PC.ans");
        SharedReadFile second = SharedReadFile::open("PC.ans");
        MT_CHECK_EQ(failureCode([] { mirunea::writeAnswerFile(record("PC", "x")); }).value_or(0),
                    ERROR_SHARING_VIOLATION);
        first.close();
        second.close();
        MT_CHECK_EQ(readFileBytes("PC.ans"), std::string("previous answers"));
    }
    {
        // Another program writing without sharing at all.
        const HANDLE exclusive = ::CreateFileA("data.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr);
        MT_REQUIRE(exclusive != INVALID_HANDLE_VALUE);
        MT_CHECK_EQ(failureCode([] { static_cast<void>(mirunea::readQuestionnaire()); }).value_or(0),
                    ERROR_SHARING_VIOLATION);
        ::CloseHandle(exclusive);
    }
    // Everything released: both files work again.
    writeFileBytes("data.txt", "T\nD\nP\n"); // our writer emptied it
    MT_CHECK_EQ(mirunea::readQuestionnaire().title, std::string("T"));
    mirunea::writeAnswerFile(record("PC", "x"));
    MT_CHECK_EQ(readFileBytes("PC.ans").substr(0, 4), std::string("PC\r\n"));
}

MT_TEST(shareModesOfASecondProcess)
{
    TempWorkingFolder folder;
    writeFileBytes("data.txt", "T\nD\nP\n");
    {
        mirunea::test::ChildProcess holder(fileHolderCommand("write", "data.txt"));
        MT_REQUIRE(holder.readLine() == "held");
        MT_CHECK_EQ(failureCode([] { static_cast<void>(mirunea::readQuestionnaire()); }).value_or(0),
                    ERROR_SHARING_VIOLATION);
        MT_CHECK_EQ(holder.wait(), 0u);
    }
    writeFileBytes("data.txt", "T\nD\nP\n"); // the holder emptied it
    {
        mirunea::test::ChildProcess holder(fileHolderCommand("read", "PC.ans"));
        MT_CHECK_EQ(holder.readLine(), std::string("2")); // no such file yet
        MT_CHECK_EQ(holder.wait(), 1u);
    }
    mirunea::writeAnswerFile(record("PC", "x"));
    {
        mirunea::test::ChildProcess holder(fileHolderCommand("read", "PC.ans"));
        MT_REQUIRE(holder.readLine() == "held");
        MT_CHECK_EQ(failureCode([] { mirunea::writeAnswerFile(record("PC", "y")); }).value_or(0),
                    ERROR_SHARING_VIOLATION);
        // A reader is welcome beside another reader.
        MT_CHECK(!failureCode([] { SharedReadFile::open("PC.ans").close(); }));
        MT_CHECK_EQ(holder.wait(), 0u);
    }
    MT_CHECK_EQ(mirunea::readQuestionnaire().title, std::string("T"));
}
