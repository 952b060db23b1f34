// The answer writer on real files, natively and under Wine: the bytes against
// the golden files, the file's name, what a failed creation, write or close
// reports and leaves behind, share modes against a second handle and a second
// process. The POSIX part provokes the file systems' own faults (links, FIFOs,
// mounts, limits, signals, a preloaded shim); the Windows part the attributes.
#include "answers/answer_file.h"
#include "app/failure/error_box_text.h"
#include "app/failure/io_failure.h"
#include "app/platform/file_layer.h"
#include "app/text/cp932.h"

#include "child_process.h"
#include "failing_write_file_layer.h"
#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#ifdef _WIN32
#  include <windows.h>
#else
#  include <chrono>
#  include <csignal>
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <thread>
#  include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::test;

namespace fs = std::filesystem;

namespace {

const std::string kSampleBytes = "PC05\r\nTaro\r\n[Q1T]\r\nnew answer\r\n[END]\r\n";

AnswerRecord sampleRecord()
{
    return answerRecord("PC05", "Taro", {{1, type("new answer")}});
}

std::optional<IoFailure> sendSample()
{
    return failureOf([] { writeAnswerFile(sampleRecord()); });
}

std::optional<IoFailure> sendSample(WriteFileLayer& files)
{
    return failureOf([&] { writeAnswerFile(sampleRecord(), files); });
}

// The failure's code and message, and the error box that reports it.
void checkReported(const std::optional<IoFailure>& failure, int code, const char* messageUtf8, const char* boxUtf8)
{
    REQUIRE_MESSAGE(failure.has_value(), "the send succeeded");
    CHECK(failure->code() == code);
    CHECK(printable(failure->message()) == printable(sjis(messageUtf8)));
    CHECK(printable(errorBoxText(failure->message())) == printable(sjis(boxUtf8)));
}

// Nobody holds the file: a second writer gets it at once.
[[nodiscard]] bool fileIsFree(const std::string& name)
{
    return failureCodeOf([&] { SharedWriteFile::create(name).close(); }) == 0;
}

// After a failed send nobody holds the file, and the next send writes it whole.
void checkNextSendGoesThrough()
{
    CHECK(fileIsFree("PC05.ans"));
    CHECK_FALSE(sendSample().has_value());
    CHECK(printable(readFileBytes("PC05.ans")) == printable(kSampleBytes));
}

const std::string kEarlierSend = "PC05\r\nTaro\r\n[Q1T]\r\nold answer of an earlier send\r\n[END]\r\n";

// After a failed send nothing half-written stands under any name: the earlier
// answers (none: empty) are as they were, and a first send leaves no file
// that reads as empty. Then the next send goes through.
void checkEarlierAnswersStand(const std::string& earlier)
{
    if (!earlier.empty()) {
        CHECK(entryNames() == std::vector<std::string>{"PC05.ans"});
        CHECK(printable(readFileBytes("PC05.ans")) == printable(earlier));
    } else {
        CHECK(entryNames().empty());
    }
    checkNextSendGoesThrough();
}

std::string goldenBytes(const char* golden)
{
    return readFileBytes(pathIn(MIRUNEA_TEST_DATA, golden));
}

} // namespace

TEST_CASE("the answer file's bytes are the golden file's")
{
    struct Row
    {
        const char* tag;
        std::vector<AnswerRecord> sends; // written in this order, into one folder
        std::string fileName;            // as the folder lists it
        const char* golden;
    };
    // "ソ" 83 5C, "表" 95 5C, "能" 94 5C: trail bytes that read as "\". On a
    // POSIX disk the name is UTF-8, as the share shows it to Windows; line 1 is
    // 83 5C everywhere.
#ifdef _WIN32
    const std::string trail5cName = "\x83\x5C.ans";
#else
    const std::string trail5cName = "\xE3\x82\xBD.ans";
#endif
    const std::vector<Row> rows{
        // Slot 1 "R" with the second of two choices, slot 2 empty, slot 3
        // "T", slot 4 "C" with the first and third of three ticked.
        {"example",
         {answerRecord("PC05", sjis("山田"),
                       {{1, choose(2, 2)}, {3, type(sjis("よい"))}, {4, tick({true, false, true})}})},
         "PC05.ans",
         "example.ans"},
        {"all slots empty", {answerRecord("PC01", "")}, "PC01.ans", "all_slots_empty.ans"},
        {"empty text answer", {answerRecord("PC02", "Taro", {{1, type("")}})}, "PC02.ans", "empty_text_answer.ans"},
        {"choice without selection",
         {answerRecord("PC03", "Taro", {{2, choose(3, std::nullopt)}})},
         "PC03.ans",
         "choice_without_selection.ans"},
        {"questions without choices",
         {answerRecord("PC04", "Taro", {{1, choose(0, std::nullopt)}, {10, tick({})}})},
         "PC04.ans",
         "questions_without_choices.ans"},
        {"15-byte computer name",
         {answerRecord("ABCDEFGHIJKLMNO", "Taro", {{10, type("last")}})},
         "ABCDEFGHIJKLMNO.ans",
         "fifteen_byte_computer_name.ans"},
        {"texts that read like section lines",
         {answerRecord("PC06", "[Q3C]", {{1, type("[END]")}, {2, type("[Q1R]")}})},
         "PC06.ans",
         "texts_like_section_lines.ans"},
        {"Shift-JIS trail bytes 5C",
         {answerRecord(sjis("ソ"), sjis("表示"), {{5, type(sjis("ソフト能力ソ"))}})},
         trail5cName,
         "shift_jis_trail_5c.ans"},
        {"empty computer name", {answerRecord("", "Taro")}, ".ans", "empty_computer_name.ans"},
        {"empty computer name, written twice",
         {answerRecord("", "Jiro"), answerRecord("", "Taro")},
         ".ans",
         "empty_computer_name.ans"},
        {"unsafe computer name on line 1 too",
         {answerRecord("A/B\\*C", "Taro")},
         "A_B__C.ans",
         "unsafe_computer_name.ans"},
        {"second write replaces a longer first",
         {answerRecord(
              "PC07", "Hanako Yamada",
              {{1, tick({true, true, true, true, true})}, {2, type(std::string(300, 'a'))}, {3, choose(5, 1)}}),
          answerRecord("PC07", "Hanako", {{1, tick({false, true})}})},
         "PC07.ans",
         "second_write_replaces_first.ans"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.tag);
        WorkingFolder folder;
        for (const AnswerRecord& send : row.sends)
            writeAnswerFile(send);
        REQUIRE(mirunea::test::entryNames() == std::vector<std::string>{row.fileName});
        CHECK(printable(readFileBytes(row.fileName)) == printable(goldenBytes(row.golden)));
        // Closed after the send: nothing keeps the next one out.
        CHECK(fileIsFree(row.fileName));
    }
}

TEST_CASE("the file name stays in the working directory, and line 1 agrees with it")
{
    const std::vector<std::pair<std::string, std::string>> rows{
        {"LAB-PC_07", "LAB-PC_07.ans"},
        {"", ".ans"},
        {".x", ".x.ans"}, // a leading dot is kept
        {".", "_.ans"},
        {"..", "__.ans"},
        {"...", "___.ans"},
        {"../etc/x", ".._etc_x.ans"},
        {"..\\x", ".._x.ans"},
        {"/tmp", "_tmp.ans"},
        {std::string("A\0B", 3), "A_B.ans"},
        {"\x01\t\r\n\x1F\x7F", "______.ans"}, // control bytes and DEL
        {":*?\"<>|", "_______.ans"},          // reserved punctuation
        {"A B!#$%&'()", "A B!#$%&'().ans"},   // space and others kept
        {"\x83\x5C", "\x83\x5C.ans"},         // katakana with trail 5C
        {"\x81\x7C", "\x81\x7C.ans"},         // trail 7C kept
        {"\x83\x5C\x5C", "\x83\x5C_.ans"},    // backslash after a pair
        {"\x81/x", "\x81_x.ans"},             // lead byte then slash
        {"A\xE0", "A\xE0.ans"},               // lone lead byte at the end
        {"\xB1\xDC", "\xB1\xDC.ans"},         // half-width katakana
    };
    for (const auto& [computerName, fileName] : rows) {
        CAPTURE(printable(computerName));
        CHECK(printable(answerFileName(computerName)) == printable(fileName));
        const std::vector<std::string> lines = answerFileLines(answerRecord(computerName, ""));
        CHECK(printable(lines.front() + ".ans") == printable(fileName));
    }
}

TEST_CASE("a device name gets a file Windows can open, and line 1 keeps the name")
{
    const std::vector<std::pair<std::string, std::string>> rows{
        {"CON", "CON_.ans"},       {"con", "con_.ans"},
        {"Prn", "Prn_.ans"},       {"aUX", "aUX_.ans"},
        {"nul", "nul_.ans"},       {"NUL ", "NUL _.ans"}, // spaces before the dot
        {"COM1", "COM1_.ans"},     {"com9", "com9_.ans"},
        {"Com0", "Com0_.ans"},     {"LPT1", "LPT1_.ans"},
        {"lpt9", "lpt9_.ans"},     {"LPT0", "LPT0_.ans"},
        {"CONIN$", "CONIN$_.ans"}, {"conout$", "conout$_.ans"},
        {"CON.X", "CON_.X.ans"}, // the part before the dot
        {"CON:", "CON_.ans"},    // ":" made "_" first: no device
        {"COM10", "COM10.ans"},    {"CONX", "CONX.ans"},
        {"LPT", "LPT.ans"}, // near misses
        {"XCON", "XCON.ans"},      {"COMA", "COMA.ans"},
        {"CO N", "CO N.ans"},      {" CON", " CON.ans"},
        {"CONIN", "CONIN.ans"},    {"\x82\x62\x82\x6E\x82\x6D", "\x82\x62\x82\x6E\x82\x6D.ans"},
    };
    for (const auto& [computerName, fileName] : rows) {
        CAPTURE(printable(computerName));
        CHECK(printable(answerFileName(computerName)) == printable(fileName));
    }
    // Written for real (under Wine too, where "CON.ans" would be the console).
    WorkingFolder folder;
    for (const std::string computerName : {"CON", "nul", "com1", "Lpt9"}) {
        writeAnswerFile(answerRecord(computerName, "Taro"));
        CHECK(printable(readFileBytes(answerFileName(computerName)))
              == printable(computerName + "\r\nTaro\r\n[END]\r\n"));
    }
    CHECK(mirunea::test::entryNames() == std::vector<std::string>{"CON_.ans", "Lpt9_.ans", "com1_.ans", "nul_.ans"});
}

TEST_CASE("a send that fails after the creation keeps the previous answers whole and leaves nothing else")
{
    struct Row
    {
        const char* tag;
        FailingWriteFileLayer files;
        int writes; // what the writer asked for before it stopped
        int closes;
        int replaces;
    };
    // The sample's five lines are five writes. The layers count over their
    // life, so each run gets new ones.
    const auto makeRows = [] {
        std::vector<Row> rows;
        // 112: the disk fills up before the first byte, part way through the
        // third line (after "[Q1"), or at the end line.
        rows.push_back({"full before the first byte", FailingWriteFileLayer::failingWrite(1, 112), 1, 0, 0});
        rows.push_back({"full in the third line", FailingWriteFileLayer::failingWrite(3, 112, 3), 3, 0, 0});
        rows.push_back({"full at the end line", FailingWriteFileLayer::failingWrite(5, 112, 4), 5, 0, 0});
        // 1117 (EIO): a share that drops mid-write.
        rows.push_back({"share dropped in a write", FailingWriteFileLayer::failingWrite(2, 1117), 2, 0, 0});
        // 59: a network share that reports the lost write at the close; 112: a
        // disk that was full by the time the cache was written back.
        rows.push_back({"lost write at the close", FailingWriteFileLayer::failingClose(59), 5, 1, 0});
        rows.push_back({"full at the close", FailingWriteFileLayer::failingClose(112), 5, 1, 0});
        // The replacement refused: someone opened the answer file meanwhile (32),
        // or the share dropped at the rename.
        rows.push_back({"answer file opened meanwhile", FailingWriteFileLayer::failingReplace(32), 5, 1, 1});
        rows.push_back({"share dropped at the rename", FailingWriteFileLayer::failingReplace(1117), 5, 1, 1});
        return rows;
    };

    const std::string earlier = kEarlierSend;
    for (const bool earlierSend : {true, false}) {
        for (Row& row : makeRows()) {
            const std::string tag = row.tag;
            CAPTURE(tag);
            CAPTURE(earlierSend);
            WorkingFolder folder;
            if (earlierSend)
                writeFileBytes("PC05.ans", earlier);
            const int code = failureCodeOf([&] { writeAnswerFile(sampleRecord(), row.files); });
            CHECK(code != 0);
            CHECK(row.files.writes() == row.writes);
            CHECK(row.files.closes() == row.closes);
            CHECK(row.files.replaces() == row.replaces);
            checkEarlierAnswersStand(earlierSend ? earlier : std::string());
            CHECK(entryNames() == std::vector<std::string>{"PC05.ans"});
        }
    }
}

TEST_CASE("a failed write, close or replacement reports its own code")
{
    WorkingFolder folder;
    auto full = FailingWriteFileLayer::failingWrite(1, 112);
    checkReported(sendSample(full), 112, "I/O エラー (112)", "I/O エラー (112)");
    auto lost = FailingWriteFileLayer::failingClose(59);
    checkReported(sendSample(lost), 59, "I/O エラー (59)", "I/O エラー (59)");
    auto opened = FailingWriteFileLayer::failingReplace(32);
    checkReported(sendSample(opened), 32, "I/O エラー (32)", "I/O エラー (32)");
}

TEST_CASE("a send left behind by a killed program is taken over by the next send")
{
    WorkingFolder folder;
    writeFileBytes("PC05.ans", "PC05\r\nold\r\n[END]\r\n");
    writeFileBytes(SharedWriteFile::sendingName("PC05.ans"), "PC05\r\nhalf of a send, longer than the new one");
    CHECK_FALSE(sendSample().has_value());
    CHECK(printable(readFileBytes("PC05.ans")) == printable(kSampleBytes));
    CHECK(entryNames() == std::vector<std::string>{"PC05.ans"});
}

TEST_CASE("a send under way holds the name: a second one is refused until it ends")
{
    WorkingFolder folder;
    writeFileBytes("PC05.ans", "old\r\n");
    for (const bool answerFileExists : {true, false}) {
        CAPTURE(answerFileExists);
        if (!answerFileExists)
            fs::remove("PC05.ans");
        SharedWriteFile first = SharedWriteFile::create("PC05.ans");
        first.write("PC05\r\n");
        checkReported(sendSample(), 32, "I/O エラー (32)", "I/O エラー (32)");
        first.close();
        // Closed but not yet in place: still held. Windows lets the written
        // file go at its close; the answer file it replaces stays held.
#ifdef _WIN32
        if (answerFileExists)
#endif
            CHECK(failureCodeOf([] { SharedWriteFile::create("PC05.ans").close(); }) == 32);
        first.replace();
        CHECK(readFileBytes("PC05.ans") == "PC05\r\n");
        CHECK_FALSE(sendSample().has_value());
        CHECK(printable(readFileBytes("PC05.ans")) == printable(kSampleBytes));
    }
}

// Run by tests/tools/failing_share.py, which mounts a folder that fails the
// chosen operation for real and names it in MIRUNEA_FAILING_SHARE.
TEST_CASE("on a share that fails a write, the close or the rename, the earlier answers stay whole" * doctest::skip())
{
    const char* share = std::getenv("MIRUNEA_FAILING_SHARE");
    REQUIRE_MESSAGE(share != nullptr, "run by failing_share.py");
    const std::string faults = pathIn(share, "faults");
    struct Row
    {
        const char* fault;
        int code; // as the platform reports the file system's errno
    };
#ifdef _WIN32
    // Wine reports EIO as "not ready" (21), and as 998 at a rename.
    constexpr int kIoError = 21;
    constexpr int kIoErrorAtRename = 998;
#else
    constexpr int kIoError = 1117;
    constexpr int kIoErrorAtRename = 1117;
#endif
    const std::vector<Row> rows{
        {"write EIO 1", kIoError},        // the share drops before the first byte
        {"write EIO 3", kIoError},        // ... or part way
        {"write ENOSPC 2", 112},          // the disk fills up
        {"close EIO", kIoError},          // the lost write is reported at the close
        {"rename EIO", kIoErrorAtRename}, // the share drops at the rename
    };
    const std::string earlier = kEarlierSend;
    for (const Row& row : rows) {
        for (const bool earlierSend : {true, false}) {
            const std::string fault = row.fault;
            CAPTURE(fault);
            CAPTURE(earlierSend);
            WorkingFolder folder(share);
            if (earlierSend)
                writeFileBytes("PC05.ans", earlier);
            writeFileBytes(faults, fault);
            const std::optional<IoFailure> failure = sendSample();
            writeFileBytes(faults, "");
            REQUIRE(failure.has_value());
            CHECK(failure->code() == row.code);
            checkEarlierAnswersStand(earlierSend ? earlier : std::string());
        }
    }
}

TEST_CASE("a failed creation writes nothing and keeps an existing file as it was")
{
    WorkingFolder folder;
    writeFileBytes("PC05.ans", "old answers\r\n");
    for (const int code : {5, 32}) {
        CAPTURE(code);
        auto refusing = FailingWriteFileLayer::failingCreate(code);
        const std::optional<IoFailure> failure = sendSample(refusing);
        REQUIRE(failure.has_value());
        CHECK(failure->code() == code);
        CHECK(refusing.writes() == 0);
        CHECK(refusing.closes() == 0);
        CHECK(readFileBytes("PC05.ans") == "old answers\r\n");
    }
    auto refusing = FailingWriteFileLayer::failingCreate(5);
    checkReported(failureOf([&] { writeAnswerFile(answerRecord("PC09", ""), refusing); }), 5,
                  "ファイルへのアクセスが拒否されました", "ファイルへのアクセスが拒否されました.");
    CHECK_FALSE(mirunea::test::fileExists("PC09.ans"));
}

TEST_CASE("failed creations carry the Windows code")
{
    WorkingFolder folder;
    // A folder of the path that is missing: Windows tells it from a missing
    // file (3), POSIX does not (ENOENT, 2).
#ifdef _WIN32
    constexpr int kMissingFolder = 3;
#else
    constexpr int kMissingFolder = 2;
#endif
    const std::string inMissingFolder = pathIn("missing", "PC.ans");
    CHECK(failureCodeOf([&] { SharedWriteFile::create(inMissingFolder).close(); }) == kMissingFolder);
    CHECK(failureCodeOf([] { SharedWriteFile::create(std::string("PC\0x.ans", 8)).close(); }) == 3);
    CHECK_FALSE(mirunea::test::fileExists("PC"));

    fs::create_directory("PC.ans");
    checkReported(failureOf([] { writeAnswerFile(answerRecord("PC", "x")); }), 5,
                  "ファイルへのアクセスが拒否されました", "ファイルへのアクセスが拒否されました.");
    CHECK(fs::is_directory("PC.ans"));
}

TEST_CASE("a hard link in place of the answer file is refused and its target kept")
{
    WorkingFolder folder;
    const std::string other = "PC31\r\nHanako\r\n[END]\r\n";
    writeFileBytes("PC31.ans", other);
    fs::create_hard_link("PC31.ans", "PC05.ans");

    checkReported(sendSample(), 5, "ファイルへのアクセスが拒否されました", "ファイルへのアクセスが拒否されました.");
    CHECK(readFileBytes("PC31.ans") == other);
    CHECK(readFileBytes("PC05.ans") == other);

    // Once the second name is gone the send goes through.
    fs::remove("PC31.ans");
    CHECK_FALSE(sendSample().has_value());
    CHECK(printable(readFileBytes("PC05.ans")) == printable(kSampleBytes));
}

TEST_CASE("share modes against a second handle: a writer shuts out readers and writers")
{
    WorkingFolder folder;
    writeFileBytes("PC.ans", "previous answers");
    {
        SharedWriteFile writer = SharedWriteFile::create("PC.ans");
        CHECK(failureCodeOf([] { SharedReadFile::open("PC.ans").close(); }) == 32);
        CHECK(failureCodeOf([] { SharedWriteFile::create("PC.ans").close(); }) == 32);
        writer.close();
    }
    // A writer that never got to its replacement leaves the file as it was.
    CHECK(readFileBytes("PC.ans") == "previous answers");
    CHECK(entryNames() == std::vector<std::string>{"PC.ans"});
    {
        // Readers share with each other but not with a writer; the refused
        // creation leaves the existing answers as they were.
        SharedReadFile first = SharedReadFile::open("PC.ans");
        SharedReadFile second = SharedReadFile::open("PC.ans");
        checkReported(failureOf([] { writeAnswerFile(answerRecord("PC", "x")); }), 32, "I/O エラー (32)",
                      "I/O エラー (32)");
        first.close();
        second.close();
        CHECK(readFileBytes("PC.ans") == "previous answers");
    }
    // Everything released: the file can be written again.
    writeAnswerFile(answerRecord("PC", "x"));
    CHECK(readFileBytes("PC.ans") == "PC\r\nx\r\n[END]\r\n");
}

TEST_CASE("a file held by another process is refused and kept, and written once it is let go")
{
    for (const char* mode : {"write", "read"}) {
        CAPTURE(mode);
        WorkingFolder folder;
        writeFileBytes("PC05.ans", "old answers\r\n");
        mirunea::test::ChildProcess holder(MIRUNEA_FILE_HOLDER, {mode, "PC05.ans"});
        REQUIRE(holder.readLine() == "held");
        const std::string before = readFileBytes("PC05.ans");
        CHECK(before == "old answers\r\n"); // holding it for writing changes nothing yet

        checkReported(sendSample(), 32, "I/O エラー (32)", "I/O エラー (32)");
        CHECK(readFileBytes("PC05.ans") == before);
        if (std::string(mode) == "read") {
            // A reader is welcome beside another reader.
            CHECK(failureCodeOf([] { SharedReadFile::open("PC05.ans").close(); }) == 0);
        }

        const auto exit = holder.wait();
        CHECK(exit.exited);
        CHECK(exit.exitCode == 0);
        CHECK_FALSE(sendSample().has_value());
        CHECK(printable(readFileBytes("PC05.ans")) == printable(kSampleBytes));
    }
}

TEST_CASE("the file holder reports a missing file by its code")
{
    WorkingFolder folder;
    mirunea::test::ChildProcess holder(MIRUNEA_FILE_HOLDER, {"read", "PC.ans"});
    CHECK(holder.readLine() == "2");
    CHECK(holder.wait().exitCode == 1);
}

#ifdef _WIN32

TEST_CASE("a hidden or system file in place of the answer file is refused and kept")
{
    for (const DWORD attribute : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
        CAPTURE(attribute);
        WorkingFolder folder;
        writeFileBytes("PC05.ans", "old\r\n");
        REQUIRE(::SetFileAttributesA("PC05.ans", attribute));
        REQUIRE((::GetFileAttributesA("PC05.ans") & attribute) != 0);
        CHECK(failureCodeOf([] { writeAnswerFile(sampleRecord()); }) == ERROR_ACCESS_DENIED);
        CHECK(readFileBytes("PC05.ans") == "old\r\n");
        ::SetFileAttributesA("PC05.ans", FILE_ATTRIBUTE_NORMAL);
    }
}

#else // POSIX: links, FIFOs, modes, mounts, limits and signals as only POSIX has them

namespace {

constexpr const char* kAccessDenied = "ファイルへのアクセスが拒否されました";
constexpr const char* kAccessDeniedBox = "ファイルへのアクセスが拒否されました.";

// Everything in the working directory as lstat sees it: names, kinds, modes,
// link targets and file contents, so that any change made by a failed send shows.
std::vector<std::string> snapshot()
{
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(".")) {
        const fs::file_status status = entry.symlink_status();
        std::string line = entry.path().filename().native() + " type=" + std::to_string(int(status.type()))
            + " mode=" + std::to_string(int(status.permissions()));
        if (status.type() == fs::file_type::symlink)
            line += " -> " + fs::read_symlink(entry.path()).native();
        if (status.type() == fs::file_type::regular)
            line += " = " + printable(readFileBytes(entry.path().native()));
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string fromHex(std::string_view digits)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(digits.substr(i, 2)), nullptr, 16));
    return bytes;
}

std::vector<std::string> linesOf(const std::string& output)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t end = output.find('\n', start);
        lines.push_back(output.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

// One line of the probe: "failed <code> <hex message>" (a failure) or "ok <hex file>".
std::optional<IoFailure> probeFailure(const std::string& line, std::string* message = nullptr)
{
    if (!line.starts_with("failed "))
        return std::nullopt;
    const std::size_t space = line.find(' ', 7);
    if (message)
        *message = fromHex(line.substr(space + 1));
    return IoFailure(std::stoi(line.substr(7, space - 7)));
}

// What the probe's send writes for computer name pc and a text of n "x".
std::string probeFileBytes(const std::string& computerName, std::size_t textLength)
{
    return computerName + "\r\n\r\n[Q1T]\r\n" + std::string(textLength, 'x') + "\r\n[END]\r\n";
}

// Runs the writer probe in the folder after mountScript has changed what the
// folder ("$1") is, in a private mount namespace that ends with the probe.
// Its lines, one per send; none when the namespace could not be set up.
std::vector<std::string> runProbeWithPrivateMounts(const std::string& mountScript, const std::string& folder,
                                                   const std::vector<std::string>& probeArguments)
{
    // Root needs only its own mount namespace; others need a user namespace too.
    std::vector<std::string> arguments = ::geteuid() == 0 ? std::vector<std::string>{"-m"}
                                                          : std::vector<std::string>{"-r", "-m"};
    for (const std::string& argument :
         {std::string("sh"), std::string("-c"), mountScript + R"( && cd "$1" && shift && exec "$@")", std::string("sh"),
          folder, std::string(MIRUNEA_WRITE_PROBE)})
        arguments.push_back(argument);
    arguments.insert(arguments.end(), probeArguments.begin(), probeArguments.end());
    return linesOf(mirunea::test::runProgram("unshare", arguments).output);
}

std::vector<std::string> withShim(const std::string& fault)
{
    // A sanitized probe would refuse a library loaded before its runtime.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string options = asan && *asan ? std::string(asan) + ":" : std::string();
    return {"LD_PRELOAD=" MIRUNEA_FAULT_SHIM, "MIRUNEA_FAULT=" + fault,
            "ASAN_OPTIONS=" + options + "verify_asan_link_order=0"};
}

mirunea::test::Run runInFolder(const WorkingFolder& folder, const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment = {},
                               std::chrono::milliseconds timeout = std::chrono::seconds(30))
{
    return mirunea::test::runProgram(program, arguments, {folder.pathName(), environment}, timeout);
}

} // namespace

TEST_CASE("a name taken by anything but a writable file is refused, and the folder left as it was")
{
    enum class Obstacle { ReadOnlyFile, Folder, LinkToFile, DanglingLink, FifoWithoutReader, FifoWithReader };
    const std::vector<std::pair<const char*, Obstacle>> rows{
        {"read-only file", Obstacle::ReadOnlyFile},
        {"folder", Obstacle::Folder},
        {"link to a file", Obstacle::LinkToFile},
        {"dangling link", Obstacle::DanglingLink},
        {"FIFO without reader", Obstacle::FifoWithoutReader},
        {"FIFO with reader", Obstacle::FifoWithReader},
    };
    for (const auto& [tag, obstacle] : rows) {
        CAPTURE(tag);
        WorkingFolder folder;
        int fifoReader = -1;
        switch (obstacle) {
        case Obstacle::ReadOnlyFile:
            writeFileBytes("PC05.ans", "old answers\r\n");
            REQUIRE(::chmod("PC05.ans", 0444) == 0);
            break;
        case Obstacle::Folder:
            REQUIRE(fs::create_directory("PC05.ans"));
            break;
        case Obstacle::LinkToFile:
            writeFileBytes("target.txt", "someone else's file\n");
            REQUIRE(::symlink("target.txt", "PC05.ans") == 0);
            break;
        case Obstacle::DanglingLink:
            REQUIRE(::symlink("missing.txt", "PC05.ans") == 0);
            break;
        case Obstacle::FifoWithReader:
        case Obstacle::FifoWithoutReader:
            REQUIRE(::mkfifo("PC05.ans", 0666) == 0);
            if (obstacle == Obstacle::FifoWithReader)
                fifoReader = ::open("PC05.ans", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            break;
        }
        const std::vector<std::string> before = snapshot();

        const std::optional<IoFailure> failure = sendSample();
        if (fifoReader >= 0)
            ::close(fifoReader);

        checkReported(failure, 5, kAccessDenied, kAccessDeniedBox);
        CHECK(snapshot() == before);
    }
}

TEST_CASE("a read-only folder takes no answer file and keeps an existing one")
{
    for (const bool fileExists : {false, true}) {
        CAPTURE(fileExists);
        WorkingFolder folder;
        if (fileExists)
            writeFileBytes("PC05.ans", "old answers\r\n");
        const std::vector<std::string> before = snapshot();

        // A read-only mount refuses even root and even existing files, as a
        // share that only allows reading does.
        std::optional<IoFailure> failure;
        std::string message;
        const std::vector<std::string> lines = runProbeWithPrivateMounts(
            R"(mount --bind "$1" "$1" && mount -o remount,bind,ro "$1")", folder.pathName(), {"send", "PC05", "10"});
        if (!lines.empty()) {
            REQUIRE(lines.size() == 1);
            failure = probeFailure(lines.front(), &message);
            CHECK(printable(message) == printable(sjis(kAccessDenied)));
        } else if (::geteuid() != 0 && !fileExists) {
            // Without namespaces a folder without write permission refuses new files only.
            REQUIRE(::chmod(folder.pathName().c_str(), 0555) == 0);
            failure = sendSample();
        } else {
            FAIL("cannot mount in a private mount namespace here");
        }
        checkReported(failure, 5, kAccessDenied, kAccessDeniedBox);
        CHECK(snapshot() == before);
    }
}

TEST_CASE("a real full disk fails the send with 112, and a short answer goes through once the space is freed")
{
    WorkingFolder folder;
    // An 8 KiB disk: the long answer fills it; the short one is written after
    // the failed file was removed and its space freed.
    const std::vector<std::string> lines = runProbeWithPrivateMounts(
        R"(mount -t tmpfs -o size=8k tmpfs "$1")", folder.pathName(), {"send", "PC05", "65536", "10"});
    REQUIRE_MESSAGE(lines.size() == 2, "cannot mount a small tmpfs in a private mount namespace here");
    std::string message;
    checkReported(probeFailure(lines[0], &message), 112, "I/O エラー (112)", "I/O エラー (112)");
    CHECK(printable(message) == printable(sjis("I/O エラー (112)")));
    CHECK(lines[1] == "ok " + hex("PC05\r\n\r\n[Q1T]\r\nxxxxxxxxxx\r\n[END]\r\n"));
}

TEST_CASE("a created file stays writable whatever the umask")
{
    WorkingFolder folder;
    const mode_t previous = ::umask(0222);
    const int first = failureCodeOf([] { writeAnswerFile(sampleRecord()); });
    const int second = failureCodeOf([] { writeAnswerFile(sampleRecord()); });
    ::umask(previous);
    CHECK(first == 0);
    CHECK(second == 0);
    struct stat status
    {
    };
    REQUIRE(::stat("PC05.ans", &status) == 0);
    CHECK((status.st_mode & S_IWUSR) != 0);
    CHECK((status.st_mode & 0077) == mode_t(0044)); // the umask's other bits still hold
    CHECK(printable(readFileBytes("PC05.ans")) == printable(kSampleBytes));
}

TEST_CASE("a file system without locks is used unlocked")
{
    for (const char* fault : {"lock-EINVAL", "lock-EOPNOTSUPP", "lock-ENOSYS"}) {
        CAPTURE(fault);
        WorkingFolder folder;
        writeFileBytes("PC.ans", "old answers, longer than the new ones\r\n");
        writeFileBytes("data.txt", "title\r\n");
        const auto send = runInFolder(folder, MIRUNEA_WRITE_PROBE, {"send", "PC", "3"}, withShim(fault));
        CHECK(send.output == "ok " + hex(probeFileBytes("PC", 3)) + "\n");
        const auto read = runInFolder(folder, MIRUNEA_READ_TOOL, {"data.txt"}, withShim(fault));
        CHECK(read.output == "ok\n");
    }
}

TEST_CASE("busy from the share is a sharing violation")
{
    WorkingFolder folder;
    writeFileBytes("PC.ans", "old\r\n");
    writeFileBytes("data.txt", "title\r\n");
    const auto send = runInFolder(folder, MIRUNEA_WRITE_PROBE, {"send", "PC", "3"}, withShim("open-EBUSY"));
    CHECK(send.output.substr(0, 10) == "failed 32 ");
    const auto read = runInFolder(folder, MIRUNEA_READ_TOOL, {"data.txt"}, withShim("open-EBUSY"));
    CHECK(read.output == "32\n");
    CHECK(readFileBytes("PC.ans") == "old\r\n");
}

TEST_CASE("a creation that never settles gives up")
{
    WorkingFolder folder;
    const auto start = std::chrono::steady_clock::now();
    const auto send = runInFolder(folder, MIRUNEA_WRITE_PROBE, {"send", "PC", "3"}, withShim("create-race"),
                                  std::chrono::seconds(10));
    REQUIRE_MESSAGE(!send.output.empty(), "the send did not end");
    // "missing" was the last answer: the file is not found.
    CHECK(send.output.substr(0, 9) == "failed 2 ");
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(5));
}

TEST_CASE("a file-size limit fails the send with 223")
{
    WorkingFolder folder;
    // The first send fits under 64 bytes; the second does not, and the third fits again.
    const auto run = runInFolder(folder, "prlimit", {"--fsize=64", MIRUNEA_WRITE_PROBE, "send", "PC", "3", "100", "4"});
    CHECK(run.exit.exited);
    CHECK(run.exit.exitCode == 0);
    const std::vector<std::string> lines = linesOf(run.output);
    REQUIRE(lines.size() == 3);
    CHECK(lines[0] == "ok " + hex(probeFileBytes("PC", 3)));
    CHECK(lines[1] == "failed 223 " + hex(sjis("I/O エラー (223)")));
    CHECK(lines[2] == "ok " + hex(probeFileBytes("PC", 4)));
}

// The signal comes as soon as the file being written exists, while its 64 MB
// are written; the probe ends by it, but only once the answer file is whole.
TEST_CASE("termination waits until the file is whole")
{
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        CAPTURE(signal);
        WorkingFolder folder;
        constexpr std::size_t kLength = 64 << 20;
        mirunea::test::ChildProcess probe(MIRUNEA_WRITE_PROBE,
                                          {"send", "PC", std::to_string(kLength), std::to_string(kLength)},
                                          {folder.pathName(), {}});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const std::string sending = SharedWriteFile::sendingName("PC.ans");
        while (!fs::exists(sending) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        REQUIRE_MESSAGE(fs::exists(sending), "the probe made no file");
        probe.sendSignal(signal);
        const auto exit = probe.wait();
        REQUIRE(exit.finished);
        CHECK_FALSE(exit.timedOut);
        CHECK(exit.signal == signal);
        CHECK(fs::file_size("PC.ans") == probeFileBytes("PC", kLength).size());
        CHECK(readFileBytes("PC.ans").ends_with("x\r\n[END]\r\n"));
        CHECK(entryNames() == std::vector<std::string>{"PC.ans"});
    }
}

namespace {

// Sets the host name in a private UTS namespace and runs the probe there.
mirunea::test::Run probeUnderHostName(const WorkingFolder& folder, const std::string& hostName,
                                      const std::string& probeArguments)
{
    std::vector<std::string> arguments = ::geteuid() == 0 ? std::vector<std::string>{"-u"}
                                                          : std::vector<std::string>{"-r", "-u"};
    for (const std::string& argument : {std::string("sh"), std::string("-c"),
                                        R"(printf %s "$1" > /proc/sys/kernel/hostname && exec "$2" )" + probeArguments,
                                        std::string("sh"), hostName, std::string(MIRUNEA_WRITE_PROBE)})
        arguments.push_back(argument);
    return runInFolder(folder, "unshare", arguments, {"LC_ALL=C.UTF-8"});
}

} // namespace

TEST_CASE("the local computer name comes from the host name")
{
    WorkingFolder folder;
    CHECK(probeUnderHostName(folder, "lab-pc-07.school.example", "computer-name").output == "LAB-PC-07\n");
    // 63 bytes: the beginning and the end around "~" and the hash.
    const std::string longName = probeUnderHostName(folder, std::string(63, 'a'), "computer-name").output;
    CHECK(longName.size() == 16);
    CHECK(longName.starts_with("AAAAAA~"));
    CHECK(longName.ends_with("AAAA\n"));
    // An ASCII name keeps its bytes, its first label upper-cased.
    CHECK(probeUnderHostName(folder, "lab-pc07.school", "computer-name").output == "LAB-PC07\n");
}

TEST_CASE("the NetBIOS name in Samba's settings wins over the host name")
{
    WorkingFolder folder;
    // Samba's settings laid over /etc (a tmpfs holds the layer), seen by the
    // probe alone.
    const std::vector<std::string> lines = runProbeWithPrivateMounts(
        R"(mount -t tmpfs tmpfs "$1" && mkdir -p "$1/up/samba" "$1/work" )"
        R"(&& printf '[global]\n\tnetbios name = lab-samba-07\n' > "$1/up/samba/smb.conf" )"
        R"(&& mount -t overlay overlay -o lowerdir=/etc,upperdir="$1/up",workdir="$1/work" /etc)",
        folder.pathName(), {"computer-name"});
    REQUIRE_MESSAGE(!lines.empty(), "cannot lay a folder over /etc in a private mount namespace here");
    CHECK(lines == std::vector<std::string>{"LAB-SAMBA-07"});
}

TEST_CASE("a host name outside ASCII becomes Shift-JIS")
{
    WorkingFolder folder;
    // Nine double-byte characters in Shift-JIS: 18 bytes, cut to three at
    // the beginning and two at the end around "~" and the hash.
    const std::string name = probeUnderHostName(folder, "テスト用のパソコン.school", "computer-name").output;
    REQUIRE(name.size() == 16);
    CHECK(name.starts_with(sjis("テスト") + "~"));
    CHECK(name.ends_with(sjis("コン") + "\n"));
    const std::string computerName = name.substr(0, 15);
    const auto run = probeUnderHostName(folder, "テスト用のパソコン.school", "send-local 1");
    CHECK(run.output == "ok " + hex(probeFileBytes(computerName, 1)) + "\n");
    // Named on the disk in the system's UTF-8.
    CHECK(mirunea::test::entryNames() == std::vector<std::string>{cp932::toUtf8(computerName) + ".ans"});
}

#endif
