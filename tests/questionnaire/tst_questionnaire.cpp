// The questionnaire reader on real files, natively and under Wine: the line
// structure of "data.txt" and how far it is read, the questionnaire made of
// it, what a failed open or read reports, share modes, and files past the
// 64 MiB bound. The POSIX part provokes what only POSIX has (links, FIFOs,
// sockets, modes, /proc files, an address-space limit, errno values); the
// Windows part a second program that shares nothing.
#include "app/failure/io_failure.h"
#include "app/platform/file_layer.h"
#include "questionnaire/line_reader.h"
#include "questionnaire/line_table.h"
#include "questionnaire/questionnaire_parser.h"
#include "questionnaire/questionnaire_reader.h"

#include "case_rows.h"
#include "child_process.h"
#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#ifdef _WIN32
#  include <windows.h>
#else
#  include "app/platform/posix/windows_error_code.h"

#  include <cerrno>
#  include <fcntl.h>
#  include <sys/socket.h>
#  include <sys/stat.h>
#  include <sys/un.h>
#  include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

using namespace mirunea;
using namespace std::string_literals;
using namespace mirunea::test;

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBufferSize = 64 * 1024; // the reader's buffer: cases straddle its edge

using Lines = std::vector<std::string>;

std::string run(char byte, std::size_t count)
{
    return std::string(count, byte);
}

SharedReadFile openWritten(const std::string& bytes)
{
    writeFileBytes("data.txt", bytes);
    return SharedReadFile::open("data.txt");
}

// data.txt holding the bytes, opened and split into lines as the reader does.
struct FileLines
{
    explicit FileLines(const std::string& bytes)
        : file(openWritten(bytes))
        , reader(file)
        , lines(reader)
    {
    }
    SharedReadFile file;
    LineReader reader;
    LineTable lines;
};

Lines allLines(LineTable& lines)
{
    Lines result;
    for (int j = 1; lines.exists(j); ++j)
        result.push_back(lines.takeWhole(j));
    return result;
}

std::string printableLines(const Lines& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += printable(line) + "\n";
    return out;
}

std::string restOfCurrentLine(LineReader& reader)
{
    std::string rest;
    reader.readInto(rest, std::numeric_limits<std::size_t>::max());
    return rest;
}

// One line per item, so that a failed comparison shows where it differs:
// title, description, prompt, then each slot holding anything at all.
std::string render(const Questionnaire& questionnaire)
{
    std::string out = "title:" + questionnaire.title + "\ndescription:" + questionnaire.description
        + "\nprompt:" + questionnaire.namePrompt + "\n";
    for (int q = 1; q <= kSlotCount; ++q) {
        const QuestionSlot& slot = questionnaire.questionSlots[static_cast<std::size_t>(q - 1)];
        if (slot.typeCode.empty() && slot.questionText.empty() && slot.choices.empty())
            continue;
        out += "Q" + std::to_string(q) + "[" + slot.typeCode + "]" + slot.questionText + "\n";
        for (const std::string& choice : slot.choices)
            out += "  -" + choice + "\n";
    }
    return out;
}

std::string typeCodes(const Questionnaire& questionnaire)
{
    std::string codes;
    for (const auto& slot : questionnaire.questionSlots)
        codes += slot.typeCode.empty() ? "-" : slot.typeCode;
    return codes;
}

// Nobody holds the file: a writer gets it at once.
[[nodiscard]] bool fileIsFree(const std::string& name)
{
    return failureCodeOf([&] { SharedWriteFile::create(name).close(); }) == 0;
}

void checkFailure(const std::string& name, int code, const char* messageUtf8)
{
    const std::optional<IoFailure> failure = failureOf([&] { (void)readQuestionnaireFile(name); });
    REQUIRE_MESSAGE(failure.has_value(), "the read succeeded");
    CHECK(failure->code() == code);
    CHECK(printable(failure->message()) == printable(sjis(messageUtf8)));
}

constexpr const char* kNotFound = "ファイルが見つかりません";
constexpr const char* kDenied = "ファイルへのアクセスが拒否されました";
constexpr const char* kBadName = "不正なファイル名です";

} // namespace

TEST_CASE("lines are split by the rules")
{
    CaseRows<std::string, Lines> rows{
        {"empty file", "", {}},
        {"last line without break", "a\nb", {"a", "b"}},
        {"one final break adds no line", "a\nb\n", {"a", "b"}},
        {"two final breaks add one empty line", "a\nb\n\n", {"a", "b", ""}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"lone CR dropped", "a\rb\r\nc", {"ab", "c"}},
        {"CR CR LF", "a\r\r\nb", {"a", "b"}},
        {"CR at end of file", "a\nb\r", {"a", "b"}},
        {"CR only separators make one line", "a\rb\rc\r", {"abc"}},
        {"empty lines kept", "\n\r\n\nx", {"", "", "", "x"}},
        {"Ctrl-Z at file start",
         "\x1A"
         "a\nb",
         {}},
        {"Ctrl-Z at line start ends file",
         "a\nb\n\x1A"
         "c\nd\n",
         {"a", "b"}},
        {"Ctrl-Z after CR LF", "a\r\n\x1A", {"a"}},
        {"Ctrl-Z inside line is ordinary",
         "a\x1A"
         "b\nc",
         {"a\x1A"
          "b",
          "c"}},
        {"Ctrl-Z after dropped CR is inside line",
         "a\n\r\x1A"
         "b\nc",
         {"a",
          "\x1A"
          "b",
          "c"}},
        {"zero bytes are ordinary", "a\0b\n\0"s, {"a\0b"s, "\0"s}},
    };
    Lines hundred;
    std::string hundredAndOne;
    for (int i = 1; i <= 101; ++i) {
        const std::string line = "line" + std::to_string(i);
        if (i <= 100)
            hundred.push_back(line);
        hundredAndOne += line + "\n";
    }
    rows.push_back({"lines after the 100th are not stored", hundredAndOne, hundred});
    const std::string full = run('x', kBufferSize);
    rows.push_back({"long line", run('y', 5 * kBufferSize + 7) + "\nb", {run('y', 5 * kBufferSize + 7), "b"}});
    rows.push_back(
        {"CR and LF in different buffers", run('x', kBufferSize - 1) + "\r\nb", {run('x', kBufferSize - 1), "b"}});
    rows.push_back({"LF first in second buffer", full + "\nb", {full, "b"}});
    rows.push_back({"Ctrl-Z first in second buffer",
                    run('x', kBufferSize - 1)
                        + "\n\x1A"
                          "b",
                    {run('x', kBufferSize - 1)}});
    rows.push_back(
        {"lone CR at buffer edge", run('x', kBufferSize - 1) + "\rz\nb", {run('x', kBufferSize - 1) + "z", "b"}});

    WorkingFolder folder;
    forEachRow(rows, [](const auto& row) {
        FileLines read(row.input);
        CHECK(printableLines(allLines(read.lines)) == printableLines(row.expected));
    });
}

// Only the first three bytes of a passed-over line are looked at, wherever
// its bytes lie in the buffer.
TEST_CASE("the head of a line is read and the rest skipped")
{
    struct Row
    {
        const char* tag;
        std::string input;
        int lineNumber;
        std::string head;
    };
    const std::vector<Row> rows{
        {"short line", "ab\nnext", 1, "ab"},
        {"CR dropped from head", "a\n[\rR]x\nnext", 2, "[R]"},
        {"head across buffer edge", run('x', kBufferSize - 2) + "\n[T]" + run('q', 2 * kBufferSize) + "\nnext", 2,
         "[T]"},
    };
    WorkingFolder folder;
    forEachRow(rows, [](const Row& row) {
        FileLines read(row.input);
        CHECK(std::string(read.lines.head(row.lineNumber)) == row.head);
        REQUIRE(read.lines.exists(row.lineNumber + 1));
        CHECK(read.lines.takeWhole(row.lineNumber + 1) == "next");
        CHECK_FALSE(read.lines.exists(row.lineNumber + 2));
    });
}

// Reading stops once nothing further can change the questionnaire: the
// bytes after that point are still unread in the file.
TEST_CASE("reading stops when nothing more counts")
{
    const std::string head = "t\nd\np\n";
    std::string nineTexts;
    for (int q = 1; q <= 9; ++q)
        nineTexts += "[T]q" + std::to_string(q) + "\n";
    std::string hundredLines = head;
    for (int j = 4; j <= 99; ++j)
        hundredLines += "ignored\n";
    const std::vector<std::pair<std::string, std::string>> rows{
        // after the tenth text question
        {head + nineTexts + "[T]q10\n[R]eleven\n", "[R]eleven"},
        // the eleventh marker that ends the tenth choice list
        {head + nineTexts + "[C]q10\na\n[R]eleven" + run('e', 3 * kBufferSize), "eleven" + run('e', 3 * kBufferSize)},
        // the empty line that ends the tenth choice list
        {head + nineTexts + "[R]q10\na\n\nignored", "ignored"},
        // the sixth line of the tenth choice list
        {head + nineTexts + "[R]q10\n1\n2\n3\n4\n5\nsixth", "sixth"},
        // the rest of the 100th line
        {hundredLines + "abcdef\n[T]101\n", "def"},
    };
    WorkingFolder folder;
    for (const auto& [input, unread] : rows) {
        CAPTURE(unread.substr(0, 12));
        FileLines read(input);
        (void)parseQuestionnaire(read.lines);
        std::string rest = restOfCurrentLine(read.reader);
        if (rest.empty()) { // the parser stood at a line's end: the next line is unread
            read.reader.finishLine();
            rest = restOfCurrentLine(read.reader);
        }
        CHECK(rest == unread);
    }
}

TEST_CASE("the file becomes the questionnaire")
{
    const std::string tdp = "title:t\ndescription:d\nprompt:p\n";
    CaseRows<std::string, std::string> rows{
        {"example",
         "school survey, spring\r\nplease answer honestly\r\nname\r\n[R]Which season do you like?\r\n"
         "spring\r\nsummer\r\n\r\n[T]Any comment?\r\n[C]Which clubs?\r\nart\r\n",
         "title:school survey, spring\ndescription:please answer honestly\nprompt:name\n"
         "Q1[R]Which season do you like?\n  -spring\n  -summer\n"
         "Q2[T]Any comment?\n"
         "Q3[C]Which clubs?\n  -art\n"},
        {"empty file", "", "title:\ndescription:\nprompt:\n"},
        {"three lines give no question", "t\nd\np\n", tdp},
        {"markers on lines 1 to 3 are plain text", "[R]t\n[C]d\n[T]p\na\n",
         "title:[R]t\ndescription:[C]d\nprompt:[T]p\n"},
        {"marker after marker: no choices", "t\nd\np\n[R]one\n[C]two\nx\n", tdp + "Q1[R]one\nQ2[C]two\n  -x\n"},
        {"seven choice lines keep five", "t\nd\np\n[C]q\n1\n2\n3\n4\n5\n6\n7\n[T]next\n",
         tdp + "Q1[C]q\n  -1\n  -2\n  -3\n  -4\n  -5\nQ2[T]next\n"},
        {"sixth choice line that is a marker starts next slot", "t\nd\np\n[R]q\n1\n2\n3\n4\n5\n[R]n\nx\n",
         tdp + "Q1[R]q\n  -1\n  -2\n  -3\n  -4\n  -5\nQ2[R]n\n  -x\n"},
        {"line of spaces is a choice", "t\nd\np\n[R]q\n  \nb\n", tdp + "Q1[R]q\n  -  \n  -b\n"},
        {"empty line ends list, lines up to next marker skipped", "t\nd\np\n[R]q\na\n\nb\nc\n[C]r\nd\n",
         tdp + "Q1[R]q\n  -a\nQ2[C]r\n  -d\n"},
        {"CR-only line ends list", "t\nd\np\n[R]q\na\r\n\r\nb\r\n", tdp + "Q1[R]q\n  -a\n"},
        {"lines after a text question are skipped", "t\nd\np\n[T]q\nnot a choice\n[R]r\nx\n",
         tdp + "Q1[T]q\nQ2[R]r\n  -x\n"},
        {"lines before the first marker are skipped", "t\nd\np\nintro\n\nmore\n[T]q\n", tdp + "Q1[T]q\n"},
        {"lower-case and indented markers are plain lines", "t\nd\np\n[r]no\n [R]no\n[X]no\n[R\n[T]yes\n",
         tdp + "Q1[T]yes\n"},
        {"marker alone: empty question text", "t\nd\np\n[R]\na\n", tdp + "Q1[R]\n  -a\n"},
        {"marker twice in a line", "t\nd\np\n[R]a[R]b\n", tdp + "Q1[R]a[R]b\n"},
        {"choice list runs to end of file", "t\nd\np\n[C]q\na\nb", tdp + "Q1[C]q\n  -a\n  -b\n"},
        {"Ctrl-Z at line start ends the file", "t\nd\np\n[R]q\na\n\x1A[R]later\nb\n", tdp + "Q1[R]q\n  -a\n"},
        {"CR-only file is one title line", "t\rd\rp\r[T]q\r", "title:tdp[T]q\ndescription:\nprompt:\n"},
    };

    std::string eleven = "t\nd\np\n";
    std::string tenRendered = tdp;
    for (int q = 1; q <= 11; ++q) {
        const std::string n = std::to_string(q);
        eleven += (q % 2 ? "[R]" : "[C]") + n + "\nc" + n + "\n";
        if (q <= 10)
            tenRendered += "Q" + n + (q % 2 ? "[R]" : "[C]") + n + "\n  -c" + n + "\n";
    }
    rows.push_back({"eleven markers give ten questions", eleven, tenRendered});

    std::string upTo98 = "t\nd\np\n";
    for (int j = 4; j <= 98; ++j)
        upTo98 += "\n";
    rows.push_back({"question on line 99, choices cut at line 100", upTo98 + "[R]q\nc100\nc101\nc102\n",
                    tdp + "Q1[R]q\n  -c100\n"});
    rows.push_back({"marker on line 100 counts", upTo98 + "\n[T]q\n", tdp + "Q1[T]q\n"});
    rows.push_back({"marker on line 101 is ignored", upTo98 + "\n\n[T]q\n", tdp});

    const std::string longText(300 * 1000, 'L');
    rows.push_back({"long title, question text and choice",
                    "t" + longText + "\nd\np\n[R]" + longText + "\n" + longText + "c\n",
                    "title:t" + longText + "\ndescription:d\nprompt:p\nQ1[R]" + longText + "\n  -" + longText + "c\n"});
    rows.push_back({"long skipped line", "t\nd\np\n" + longText + "\n[T]q\n", tdp + "Q1[T]q\n"});

    // 0x5C as a trail byte ("ソ", "表") and bytes that are no Shift-JIS at
    // all pass through unchanged.
    const std::string japanese = sjis("ソフト表示");
    const std::string invalid = "\x80\xA0\xFD\xFF\x81";
    rows.push_back({"Shift-JIS bytes untouched",
                    japanese + "\n" + invalid + "\n" + sjis("氏名") + "\n[C]" + japanese + "\n" + invalid + "\n"
                        + japanese + "\\\n",
                    "title:" + japanese + "\ndescription:" + invalid + "\nprompt:" + sjis("氏名") + "\nQ1[C]" + japanese
                        + "\n  -" + invalid + "\n  -" + japanese + "\\\n"});

    WorkingFolder folder;
    forEachRow(rows, [](const auto& row) {
        writeFileBytes("data.txt", row.input);
        CHECK(printable(render(readQuestionnaireFile("data.txt"))) == printable(row.expected));
    });
}

TEST_CASE("data.txt is read from the working directory and closed afterwards")
{
    struct Row
    {
        const char* tag;
        std::string bytes;
        std::string title;
        std::string codes;
        std::vector<std::string> firstChoices;
    };
    const std::string longLine(300000, 'x'); // longer than any read buffer
    const std::vector<Row> rows{
        {"example questionnaire",
         readFileBytes(MIRUNEA_EXAMPLES "/data.txt"),
         sjis("学校生活アンケート（２学期）"),
         "RCTRCRT---",
         {sjis("とても楽しい"), sjis("まあまあ楽しい"), sjis("ふつう"), sjis("あまり楽しくない"), sjis("楽しくない")}},
        {"built in Shift-JIS",
         mirunea::test::DataTxt("校内アンケート", "説明", "")
             .tick("好きな教科", {"国語", "算数"})
             .text("感想")
             .choose("ソフト", {"表", "能"})
             .bytes(),
         sjis("校内アンケート"),
         "CTR-------",
         {sjis("国語"), sjis("算数")}},
        {"CR LF and a lone CR", "T\r\nD\r\nP\r\n[R]Q\r\na\rb\r\nc", "T", "R---------", {"ab", "c"}},
        {"Ctrl-Z at a line start ends the file", "T\nD\nP\n[C]Q\nx\x1Ay\n\x1A[T]gone\n", "T", "C---------", {"x\x1Ay"}},
        {"no line break at the end", "T\nD\nP\n[R]Q\nlast", "T", "R---------", {"last"}},
        {"empty file", "", "", "----------", {}},
        {"line longer than the buffer", longLine + "\nD\nP\n[T]Q\n", longLine, "T---------", {}},
    };
    forEachRow(rows, [](const Row& row) {
        WorkingFolder folder;
        writeFileBytes("data.txt", row.bytes);
        const Questionnaire questionnaire = readQuestionnaire();
        CHECK(printable(questionnaire.title) == printable(row.title));
        CHECK(typeCodes(questionnaire) == row.codes);
        CHECK(questionnaire.questionSlots[0].choices == row.firstChoices);
        // The reader closed the file: it can be replaced at once.
        CHECK(fileIsFree("data.txt"));
    });
}

TEST_CASE("a failed open carries the Windows code and its message")
{
    WorkingFolder folder;
    fs::create_directories("folder/data.txt");
    fs::create_directory("file");
    writeFileBytes("file/data.txt", "t\n");

    checkFailure("data.txt", 2, kNotFound);
    checkFailure("folder/data.txt", 5, kDenied);
    checkFailure("file/data.txt/x", 3, kBadName);
    checkFailure("file/data.txt\0x"s, 3, kBadName);
    // A folder of the path that is missing: Windows tells it from a missing
    // file (3), POSIX does not (ENOENT, 2).
#ifdef _WIN32
    checkFailure("missing\\data.txt", 3, kBadName);
#else
    checkFailure("missing/data.txt", 2, kNotFound);
#endif
}

TEST_CASE("a file held for writing is a sharing violation, readers share it")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", "T\nD\nP\n");
    {
        // A writer of ours in this process shuts out the reader.
        SharedWriteFile writer = SharedWriteFile::create("data.txt");
        checkFailure("data.txt", 32, "I/O エラー (32)");
        writer.close();
    }
    CHECK(readFileBytes("data.txt") == "T\nD\nP\n"); // a writer that never replaced it changed nothing
    {
        // And one of another process; once it lets go, the read goes through.
        mirunea::test::ChildProcess holder(MIRUNEA_FILE_HOLDER, {"write", "data.txt"});
        REQUIRE(holder.readLine() == "held");
        checkFailure("data.txt", 32, "I/O エラー (32)");
        CHECK(holder.wait().exitCode == 0);
        CHECK(failureCodeOf([] { (void)readQuestionnaire(); }) == 0);
    }
    writeFileBytes("data.txt", "T\nD\nP\n[T]q\n");
    {
        mirunea::test::ChildProcess holder(MIRUNEA_FILE_HOLDER, {"read", "data.txt"});
        REQUIRE(holder.readLine() == "held");
        CHECK(readQuestionnaire().title == "T");
        CHECK(holder.wait().exitCode == 0);
    }
    // No lock is left behind by the reads: a writer gets the file at once.
    CHECK(readQuestionnaire().questionSlots[0].typeCode == "T");
    mirunea::test::ChildProcess holder(MIRUNEA_FILE_HOLDER, {"write", "data.txt"});
    CHECK(holder.readLine() == "held");
    CHECK(holder.wait().exitCode == 0);
}

namespace {

// size bytes: head, then "x" up to size, without a line break.
void writeFilled(const std::string& name, const std::string& head, std::int64_t size)
{
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(head.data(), static_cast<std::streamsize>(head.size()));
    const std::string chunk(1 << 20, 'x');
    for (auto left = size - static_cast<std::int64_t>(head.size()); left > 0; left -= std::int64_t{1} << 20)
        file.write(chunk.data(), static_cast<std::streamsize>(std::min<std::int64_t>(left, chunk.size())));
    REQUIRE(file.flush());
}

constexpr auto kBound = static_cast<std::int64_t>(LineReader::kMaxFileBytes);

} // namespace

TEST_CASE("files past the 64 MiB bound fail with 223 within seconds")
{
    // The head of the file, and its size.
    const CaseRows<std::string, std::int64_t> rows{
        {"three short lines, then a 16 TB line", "title\r\ndescription\r\nname\r\n[T]q\r\n", 16'000'000'000'000},
        {"a 3 GB title", "", std::int64_t{3} << 30},
        {"one byte past the bound", "title", kBound + 1},
    };
    // On the build's disk, which holds sparse files up to 16 TB.
    WorkingFolder folder(MIRUNEA_LIMITS_BASE);
    forEachRow(rows, [](const auto& row) {
        writeSparse("data.txt", row.input, row.expected);
        const auto start = std::chrono::steady_clock::now();
        checkFailure("data.txt", 223, "I/O エラー (223)");
        CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
        fs::remove("data.txt");
    });
}

// The bound itself is read; a 60 MB title is kept whole.
TEST_CASE("files up to the bound read as ever")
{
    WorkingFolder folder(MIRUNEA_LIMITS_BASE);
    writeFilled("data.txt", "[T]", kBound);
    Questionnaire questionnaire = readQuestionnaire();
    CHECK(questionnaire.title.size() == std::size_t(kBound));

    constexpr std::int64_t kSixtyMegabytes = 60'000'000;
    writeFilled("data.txt", "", kSixtyMegabytes);
    {
        std::ofstream file("data.txt", std::ios::binary | std::ios::app);
        file << "\r\ndescription\r\n\r\n[R]q\r\na\r\n";
    }
    questionnaire = readQuestionnaire();
    CHECK(questionnaire.title.size() == std::size_t(kSixtyMegabytes));
    CHECK(questionnaire.description == "description");
    CHECK(questionnaire.questionSlots[0].choices == std::vector<std::string>{"a"});
}

#ifdef _WIN32

TEST_CASE("a file another program writes without sharing is a sharing violation")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", "T\nD\nP\n");
    const HANDLE exclusive = ::CreateFileA("data.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                           nullptr);
    REQUIRE(exclusive != INVALID_HANDLE_VALUE);
    checkFailure("data.txt", ERROR_SHARING_VIOLATION, "I/O エラー (32)");
    ::CloseHandle(exclusive);
    CHECK(readQuestionnaire().title == "T");
}

#else // POSIX: what only POSIX has

namespace {

// A listening Unix socket at name, closed with the test process.
bool bindSocket(const std::string& name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= sizeof address.sun_path)
        return false;
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    return fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

int openDescriptorCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

} // namespace

TEST_CASE("links, FIFOs, sockets and long names fail the open with the Windows code")
{
    WorkingFolder folder;
    REQUIRE(::symlink("nowhere", "dangling.txt") == 0);
    REQUIRE(::mkfifo("fifo.txt", 0644) == 0);
    REQUIRE(bindSocket("socket.txt"));

    checkFailure("dangling.txt", 2, kNotFound);
    checkFailure("fifo.txt", 5, kDenied); // and does not hang
    checkFailure("socket.txt", 5, kDenied);
    checkFailure(std::string(300, 'n'), 3, kBadName);
}

TEST_CASE("a file without read permission is access denied")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", "t\n");
    writeFileBytes("readable.txt", "t\n");
    REQUIRE(::chmod("data.txt", 0200) == 0);
    // Others must reach the folder, so that only the file's own mode can deny.
    REQUIRE(::chmod(".", 0755) == 0);

    if (::geteuid() != 0) {
        CHECK(failureCodeOf([] { (void)readQuestionnaireFile("data.txt"); }) == 5);
        CHECK(failureCodeOf([] { (void)readQuestionnaireFile("readable.txt"); }) == 0);
        return;
    }
    // Root reads everything: read as nobody, in a second process.
    const auto read = mirunea::test::runProgram("setpriv",
                                                {"--reuid=65534", "--regid=65534", "--clear-groups", MIRUNEA_READ_TOOL,
                                                 folder.filePath("data.txt"), folder.filePath("readable.txt")});
    CHECK(read.exit.exitCode == 0);
    CHECK(read.output == "5\nok\n");
}

TEST_CASE("the file is closed after reading, whether the read succeeds or fails")
{
    WorkingFolder folder;
    writeFileBytes("data.txt", "t\nd\np\n[T]q\nrest\n");
    const int before = openDescriptorCount();
    CHECK(failureCodeOf([] { (void)readQuestionnaire(); }) == 0);
    CHECK(openDescriptorCount() == before);

    // Reading /proc/self/mem from offset 0 fails with EIO: a real read failure.
    const std::optional<IoFailure> failure = failureOf([] { (void)readQuestionnaireFile("/proc/self/mem"); });
    REQUIRE_MESSAGE(failure.has_value(), "the read did not fail");
    CHECK(failure->code() != 5); // an I/O error is no "access denied"
    CHECK(printable(failure->message()) == printable(sjis("I/O エラー (" + std::to_string(failure->code()) + ")")));
    CHECK(openDescriptorCount() == before);
}

TEST_CASE("an endless /proc file fails with 223")
{
    WorkingFolder folder;
    REQUIRE(::symlink("/proc/self/pagemap", "data.txt") == 0);
    const auto start = std::chrono::steady_clock::now();
    CHECK(failureCodeOf([] { (void)readQuestionnaire(); }) == 223);
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
}

#  ifndef MIRUNEA_SANITIZED
// Under a 2 GB address-space limit a 3 GB title fails with 223, where it
// once ended the process with std::bad_alloc. (The sanitizers' shadow memory
// alone is larger than the limit.)
TEST_CASE("a large title under an address-space limit fails with 223")
{
    WorkingFolder folder(MIRUNEA_LIMITS_BASE);
    writeSparse("data.txt", "title", std::int64_t{3} << 30);
    const auto read = mirunea::test::runProgram("prlimit", {"--as=2147483648", MIRUNEA_READ_TOOL, "data.txt"},
                                                {folder.pathName(), {}});
    CHECK(read.exit.exited);
    CHECK(read.output == "223\n");
}
#  endif

TEST_CASE("errno values map to the Windows codes the user is shown")
{
    const std::vector<std::pair<int, int>> rows{
        {ENOENT, 2}, {ENOTDIR, 3}, {ENAMETOOLONG, 3}, {EMFILE, 4},  {ENFILE, 4},   {EACCES, 5},  {EPERM, 5},
        {EISDIR, 5}, {EROFS, 5},   {ENXIO, 5},        {EAGAIN, 32}, {ENOSPC, 112}, {EDQUOT, 112}};
    for (const auto& [errnoValue, code] : rows) {
        CAPTURE(errnoValue);
        CHECK(windowsErrorCodeFromErrno(errnoValue) == code);
    }
}

// Errors without a meaning of their own in the message table must not be
// shown as one of its rows: EIO is errno 5, but no "access denied".
TEST_CASE("other errno values land outside the message table's named rows")
{
    for (const int errnoValue : {EIO, EBADF, ESTALE, 987654, 0, -2}) {
        CAPTURE(errnoValue);
        const int code = windowsErrorCodeFromErrno(errnoValue);
        for (const int namedRow : {2, 3, 4, 5, 100, 101, 106})
            CHECK(code != namedRow);
        CHECK(IoFailure(code).message().starts_with("I/O "));
    }
}

#endif
