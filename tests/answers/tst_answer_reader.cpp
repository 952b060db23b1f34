// The answer-file reader against the real writer: the golden files and
// generated records of every kind read back to what was written; every cut
// of a file reads as a send cut short; hostile bytes are faults, never a
// crash, and no fault quotes the file.
#include "answers/answer_file.h"
#include "answers/answer_file_name.h"
#include "answers/answer_file_reader.h"

#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace mirunea;
using namespace std::string_literals;
using namespace mirunea::test;

namespace {

using Faults = std::vector<AnswerFileFault>;

std::string goldenBytes(const char* golden)
{
    return readFileBytes(pathIn(MIRUNEA_TEST_DATA, golden));
}

// The record as a comparable text: what the writer puts in the file for each
// slot, and nothing it leaves out (an "R" slot's selection past its choices).
std::string described(const AnswerRecord& record)
{
    std::string text = printable(record.computerName) + " " + printable(record.respondentName);
    for (std::size_t i = 0; i < record.slotAnswers.size(); ++i) {
        const SlotAnswer& slot = record.slotAnswers[i];
        text += " |" + std::to_string(i + 1) + ":" + slot.typeCode;
        if (slot.typeCode == "R")
            text += std::to_string(slot.choiceCount) + "/" + (slot.selected ? std::to_string(*slot.selected) : "-");
        if (slot.typeCode == "C") {
            for (const bool ticked : slot.ticked)
                text += ticked ? "1" : "0";
        }
        if (slot.typeCode == "T")
            text += printable(slot.text);
    }
    return text;
}

// What the writer wrote for the record: line 1 is the file-safe name.
AnswerRecord asWritten(AnswerRecord record)
{
    record.computerName = fileSafeComputerName(record.computerName);
    return record;
}

// Texts that the writer does not escape and a reader could mistake, Shift-JIS
// whose trail bytes are "\" (ソ 83 5C, 表 95 5C, 能 94 5C), lone CR and LF.
const std::vector<std::string> kTextPieces = {
    "",         "[END]",      "[Q1R]",      "[Q10T]",     "[Q3C]", "0",  "1",    "\r",   "\n", " ",    "a",
    sjis("ソ"), sjis("表示"), sjis("能力"), sjis("山田"), "\\",    "[Q", "END]", "\x1A", "\t", "=1+2",
};

class RecordGenerator
{
public:
    explicit RecordGenerator(unsigned seed)
        : m_random(seed)
    {
    }

    AnswerRecord next()
    {
        AnswerRecord record;
        record.computerName = text(3);
        record.respondentName = text(4);
        for (SlotAnswer& slot : record.slotAnswers)
            slot = answer();
        return record;
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // A text of up to maxPieces pieces; CR LF is the one sequence no
    // single-line answer holds (it would end the line), so it is avoided.
    std::string text(int maxPieces)
    {
        for (;;) {
            std::string text;
            for (int n = below(maxPieces + 1); n > 0; --n)
                text += kTextPieces[static_cast<std::size_t>(below(static_cast<int>(kTextPieces.size())))];
            if (text.find("\r\n") == std::string::npos)
                return text;
        }
    }

    SlotAnswer answer()
    {
        const int choices = below(kMaxChoices + 1);
        switch (below(4)) {
        case 0:
            return SlotAnswer{}; // an empty slot between filled ones
        case 1:
            return choose(choices, below(2) == 0 || choices == 0 ? std::nullopt : std::optional(1 + below(choices)));
        case 2: {
            std::vector<bool> ticked;
            for (int i = 0; i < choices; ++i)
                ticked.push_back(below(2) == 1);
            return tick(ticked);
        }
        default:
            return type(text(5));
        }
    }

    std::mt19937 m_random;
};

void checkWellFormed(const AnswerFileContent& content)
{
    CHECK(content.ended);
    CHECK(content.faults.empty());
    CHECK(content.faultKinds.empty());
}

} // namespace

TEST_CASE("the golden files read back to the bytes the writer makes of them")
{
    for (const char* golden :
         {"example.ans", "all_slots_empty.ans", "empty_text_answer.ans", "choice_without_selection.ans",
          "questions_without_choices.ans", "fifteen_byte_computer_name.ans", "texts_like_section_lines.ans",
          "shift_jis_trail_5c.ans", "empty_computer_name.ans", "second_write_replaces_first.ans",
          "unsafe_computer_name.ans"}) {
        CAPTURE(golden);
        const std::string bytes = goldenBytes(golden);
        const AnswerFileContent content = parseAnswerFile(bytes);
        checkWellFormed(content);
        CHECK(printable(answerFileBytes(content.record)) == printable(bytes));
    }
}

TEST_CASE("the golden files read to the records they were written from")
{
    struct Row
    {
        const char* golden;
        AnswerRecord record;
    };
    const std::vector<Row> rows{
        {"example.ans",
         answerRecord("PC05", sjis("山田"),
                      {{1, choose(2, 2)}, {3, type(sjis("よい"))}, {4, tick({true, false, true})}})},
        {"choice_without_selection.ans", answerRecord("PC03", "Taro", {{2, choose(3, std::nullopt)}})},
        {"questions_without_choices.ans", answerRecord("PC04", "Taro", {{1, choose(0, std::nullopt)}, {10, tick({})}})},
        {"texts_like_section_lines.ans", answerRecord("PC06", "[Q3C]", {{1, type("[END]")}, {2, type("[Q1R]")}})},
        {"shift_jis_trail_5c.ans", answerRecord(sjis("ソ"), sjis("表示"), {{5, type(sjis("ソフト能力ソ"))}})},
        {"empty_text_answer.ans", answerRecord("PC02", "Taro", {{1, type("")}})},
    };
    for (const Row& row : rows) {
        CAPTURE(row.golden);
        CHECK(described(parseAnswerFile(goldenBytes(row.golden)).record) == described(row.record));
    }
}

TEST_CASE("records of every kind written by the writer read back equal")
{
    RecordGenerator generator(20240521);
    WorkingFolder folder;
    for (int i = 0; i < 400; ++i) {
        const AnswerRecord record = generator.next();
        writeAnswerFile(record);
        // On a POSIX disk the name is UTF-8; the one file is the one written.
        const std::vector<std::string> names = mirunea::test::entryNames();
        REQUIRE(names.size() == 1);
        const std::string bytes = readFileBytes(names[0]);
        REQUIRE(std::remove(names[0].c_str()) == 0);
        CAPTURE(printable(bytes));
        const AnswerFileContent content = parseAnswerFile(bytes);
        checkWellFormed(content);
        CHECK(described(content.record) == described(asWritten(record)));
    }
}

TEST_CASE("every cut of a file reads as a send cut short, and the whole file as complete")
{
    RecordGenerator generator(7);
    std::vector<std::string> files{goldenBytes("example.ans"), goldenBytes("texts_like_section_lines.ans"),
                                   goldenBytes("questions_without_choices.ans")};
    for (int i = 0; i < 20; ++i)
        files.push_back(answerFileBytes(generator.next()));
    for (const std::string& bytes : files) {
        // Up to "[END]" without its CR LF, all answers are there.
        const std::size_t complete = bytes.size() - 2;
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const std::string cut = bytes.substr(0, length);
            CAPTURE(printable(cut));
            const AnswerFileContent content = parseAnswerFile(cut);
            if (length >= complete) {
                checkWellFormed(content);
            } else {
                CHECK_FALSE(content.ended);
                CHECK(content.faultKinds == Faults{AnswerFileFault::MissingEnd});
            }
        }
    }
}

TEST_CASE("hostile bytes are faults of their kind")
{
    struct Row
    {
        const char* tag;
        std::string bytes;
        Faults faults;
        bool ended;
    };
    const std::string head = "PC01\r\nTaro\r\n";
    const std::vector<Row> rows{
        {"empty file", "", {AnswerFileFault::MissingEnd}, false},
        {"NUL byte in a text", head + "[Q1T]\r\na\0b\r\n[END]\r\n"s, {AnswerFileFault::NotAnswerFile}, false},
        {"LF-only lines", "PC01\nTaro\n[Q1T]\nx\n[END]\n", {AnswerFileFault::NotAnswerFile}, false},
        {"a text file", "Dear teacher,\r\nthe marks:\r\nTaro 80\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"slots out of order",
         head + "[Q2T]\r\nx\r\n[Q1T]\r\ny\r\n[END]\r\n",
         {AnswerFileFault::SlotOutOfOrder},
         false},
        {"slot repeated", head + "[Q1R]\r\n1\r\n[Q1R]\r\n0\r\n[END]\r\n", {AnswerFileFault::SlotOutOfOrder}, false},
        {"two choices of one", head + "[Q1R]\r\n1\r\n0\r\n1\r\n[END]\r\n", {AnswerFileFault::SeveralSelected}, true},
        {"six flags",
         head + "[Q1C]\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n[END]\r\n",
         {AnswerFileFault::TooManyFlags},
         false},
        {"bytes after the end", head + "[END]\r\n[Q1T]\r\nx\r\n", {AnswerFileFault::BytesAfterEnd}, true},
        {"a flag of 2", head + "[Q1R]\r\n2\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"slot 0", head + "[Q0R]\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"slot 11", head + "[Q11T]\r\nx\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"leading zero", head + "[Q01T]\r\nx\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"lower case", head + "[q1T]\r\nx\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"unknown kind", head + "[Q1X]\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"space after a section", head + "[Q1T] \r\nx\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"lower-case end", head + "[end]\r\n", {AnswerFileFault::NotAnswerFile}, false},
        {"a text section without its text", head + "[Q1T]\r\n[END]\r\n", {AnswerFileFault::MissingEnd}, false},
        {"flags after a text", head + "[Q1T]\r\nx\r\n0\r\n[END]\r\n", {AnswerFileFault::NotAnswerFile}, false},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.tag));
        const AnswerFileContent content = parseAnswerFile(row.bytes);
        CHECK(content.faultKinds == row.faults);
        CHECK(content.faults.size() == content.faultKinds.size());
        CHECK(content.ended == row.ended);
    }
}

TEST_CASE("faults never quote the file, and random bytes never crash the reader")
{
    // What a pupil could point an answer file at: the messages name lines, not contents.
    const std::string secret = "password=hunter2";
    for (const std::string& bytes :
         {secret, secret + "\r\n" + secret + "\r\n" + secret + "\r\n", "PC\r\n" + secret + "\r\n[Q1T]\r\n",
          "PC\r\nx\r\n" + secret + "\r\n[END]\r\n", secret + std::string(1, '\0')}) {
        const AnswerFileContent content = parseAnswerFile(bytes);
        REQUIRE_FALSE(content.faults.empty());
        for (const std::string& fault : content.faults)
            CHECK(fault.find("hunter2") == std::string::npos);
    }

    // Pieces of answer files in random order: a file the reader takes as
    // whole must be exactly what the writer writes for the record it read.
    std::mt19937 random(99);
    const std::vector<std::string> pieces{
        "[Q1R]\r\n", "[Q2C]\r\n", "[Q3T]\r\n", "[Q10T]\r\n",         "0\r\n",    "1\r\n", "[END]\r\n",
        "x\r\n",     "\r",        "\n",        std::string(1, '\0'), "\x83\x5C", "[Q",    "\r\n"};
    int wellFormed = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string bytes = "PC\r\nx\r\n";
        for (int n = std::uniform_int_distribution<int>(0, 8)(random); n > 0; --n)
            bytes += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        CAPTURE(printable(bytes));
        const AnswerFileContent content = parseAnswerFile(bytes);
        CHECK(content.faults.size() == content.faultKinds.size());
        if (content.wellFormed()) {
            ++wellFormed;
            CHECK(printable(answerFileBytes(content.record)) == printable(bytes));
        }
    }
    CHECK(wellFormed > 100);
}
