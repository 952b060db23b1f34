// The report's outputs written into the folder: a new file beside the target
// renamed over it. Natively and under Wine; the POSIX part places links under
// the target's name and makes a write fail for real under a file-size limit.
#include "tally/report/output_file.h"

#include "app/failure/io_failure.h"
#include "app/platform/replacing_file.h"

#include "working_folder.h"

#include <doctest/doctest.h>

#ifdef _WIN32
#  include <windows.h>
#else
#  include <csignal>
#  include <sys/resource.h>
#  include <sys/stat.h>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using mirunea::IoFailure;
using mirunea::ReplacingFile;
using mirunea::ReplacingFileLayer;
using mirunea::tally::report::OutputFailure;
using mirunea::tally::report::writeOutputFile;
using namespace mirunea::test;

namespace fs = std::filesystem;

namespace {

const std::string kOld = "<p>前回の集計</p>\n";
const std::string kNew = "<p>今回の集計</p>\n" + std::string(100000, 'x');

std::optional<OutputFailure> failureOf(const std::string& name, const std::string& bytes, ReplacingFileLayer& layer)
{
    try {
        writeOutputFile(name, bytes, layer);
    } catch (const OutputFailure& failure) {
        return failure;
    }
    return std::nullopt;
}

std::optional<OutputFailure> failureOf(const std::string& name, const std::string& bytes)
{
    ReplacingFileLayer layer;
    return failureOf(name, bytes, layer);
}

// The real files, except that the chosen step fails with a Windows code after
// doing its real work up to that point: half the bytes written, or the file
// closed but not renamed.
class FailingLayer : public ReplacingFileLayer
{
public:
    enum class Step { Write, Commit };
    FailingLayer(Step step, int code)
        : m_step(step)
        , m_code(code)
    {
    }
    ReplacingFile create(const std::string& targetName) override
    {
        ReplacingFile file = ReplacingFile::create(targetName);
        m_temporaryName = file.temporaryName();
        return file;
    }
    void write(ReplacingFile& file, std::string_view bytes) override
    {
        if (m_step != Step::Write)
            return file.write(bytes);
        file.write(bytes.substr(0, bytes.size() / 2));
        // While the write goes on, the temporary file lies beside the target.
        CHECK(fs::is_regular_file(m_temporaryName));
        throw IoFailure(m_code);
    }
    void commit(ReplacingFile& file) override
    {
        if (m_step != Step::Commit)
            return file.commit();
        throw IoFailure(m_code);
    }
    [[nodiscard]] const std::string& temporaryName() const { return m_temporaryName; }

private:
    Step m_step;
    int m_code;
    std::string m_temporaryName;
};

} // namespace

TEST_CASE("an output replaces the previous file whole and leaves nothing else behind")
{
    WorkingFolder folder;
    writeOutputFile("tally.html", kOld);
    CHECK(readFileBytes("tally.html") == kOld);
    writeOutputFile("tally.html", kNew);
    CHECK(readFileBytes("tally.html") == kNew);
    writeOutputFile("tally.csv", "");
    CHECK(readFileBytes("tally.csv").empty());
    CHECK(entryNames() == std::vector<std::string>{"tally.csv", "tally.html"});
}

TEST_CASE("the temporary file is a new name beside the target, a different one each time")
{
    WorkingFolder folder;
    ReplacingFile first = ReplacingFile::create("tally.html");
    ReplacingFile second = ReplacingFile::create("tally.html");
    CHECK(first.temporaryName() != second.temporaryName());
    CHECK(first.temporaryName().rfind(".tally.html.", 0) == 0);
    CHECK(fs::is_regular_file(first.temporaryName()));
    CHECK_FALSE(fs::exists("tally.html"));
    first.write("erste");
    second.write("zweite");
    second.commit();
    CHECK(readFileBytes("tally.html") == "zweite");
    first.commit();
    CHECK(readFileBytes("tally.html") == "erste");
    CHECK(entryNames() == std::vector<std::string>{"tally.html"});
}

TEST_CASE("a file given up before its commit takes its temporary file with it")
{
    WorkingFolder folder;
    writeFileBytes("tally.csv", kOld);
    std::string temporary;
    {
        ReplacingFile file = ReplacingFile::create("tally.csv");
        temporary = file.temporaryName();
        file.write(kNew);
        ReplacingFile moved = std::move(file);
        CHECK(fs::exists(temporary));
    }
    CHECK_FALSE(fs::exists(temporary));
    CHECK(readFileBytes("tally.csv") == kOld);
    CHECK(entryNames() == std::vector<std::string>{"tally.csv"});
}

TEST_CASE("a failed write or rename leaves the previous file whole and no temporary file")
{
    for (const FailingLayer::Step step : {FailingLayer::Step::Write, FailingLayer::Step::Commit}) {
        CAPTURE(static_cast<int>(step));
        WorkingFolder folder;
        writeFileBytes("tally.html", kOld);
        FailingLayer layer(step, 112);
        const std::optional<OutputFailure> failure = failureOf("tally.html", kNew, layer);
        REQUIRE(failure.has_value());
        CHECK(failure->code() == 112);
        CHECK(std::string(failure->what())
              == "tally.html を書き込めませんでした（I/O エラー "
                 "(112)）。前に書いたファイルがあれば、そのまま残っています。");
        CHECK(readFileBytes("tally.html") == kOld);
        CHECK_FALSE(layer.temporaryName().empty());
        CHECK(entryNames() == std::vector<std::string>{"tally.html"});
    }
}

TEST_CASE("a file held open elsewhere is named as the likely cause")
{
    WorkingFolder folder;
    writeFileBytes("tally.csv", kOld);
    for (const int code : {5, 32}) {
        FailingLayer layer(FailingLayer::Step::Commit, code);
        const std::optional<OutputFailure> failure = failureOf("tally.csv", kNew, layer);
        REQUIRE(failure.has_value());
        CHECK(std::string(failure->what()).find("Excel などで開いているときは、閉じて") != std::string::npos);
    }
    CHECK(readFileBytes("tally.csv") == kOld);
}

TEST_CASE("only plain names in the folder are written")
{
    WorkingFolder folder;
    fs::create_directory("sub");
    for (const std::string& name :
         std::vector<std::string>{"../tally.html", "sub/tally.html", "sub\\tally.html", "C:tally.html", "", ".", "..",
                                  std::string("tally.html\0.txt", 15)}) {
        CAPTURE(name);
        const std::optional<OutputFailure> failure = failureOf(name, kNew);
        REQUIRE(failure.has_value());
        CHECK(std::string(failure->what()).find("を書き込めませんでした") != std::string::npos);
    }
    CHECK(entryNames() == std::vector<std::string>{"sub"});
    CHECK(fs::is_empty("sub"));
    CHECK_FALSE(fs::exists(folder.path().parent_path() / "tally.html"));
}

TEST_CASE("a folder under the target's name is kept and reported")
{
    WorkingFolder folder;
    fs::create_directory("tally.html");
    writeFileBytes("tally.html/inside.txt", kOld);
    const std::optional<OutputFailure> failure = failureOf("tally.html", kNew);
    REQUIRE(failure.has_value());
    CHECK(fs::is_directory("tally.html"));
    CHECK(readFileBytes("tally.html/inside.txt") == kOld);
    CHECK(entryNames() == std::vector<std::string>{"tally.html"});
}

#ifdef _WIN32

TEST_CASE("a file another program holds open, as Excel holds its CSV, is kept and named as the cause")
{
    WorkingFolder folder;
    writeFileBytes("tally.csv", kOld);
    // Excel's way: others may read and write, but not delete or rename.
    const HANDLE held = ::CreateFileA("tally.csv", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    const std::optional<OutputFailure> failure = failureOf("tally.csv", kNew);
    ::CloseHandle(held);
    REQUIRE(failure.has_value());
    CHECK((failure->code() == 5 || failure->code() == 32));
    CHECK(std::string(failure->what()).find("Excel などで開いているときは") != std::string::npos);
    CHECK(readFileBytes("tally.csv") == kOld);
    CHECK(entryNames() == std::vector<std::string>{"tally.csv"});

    writeOutputFile("tally.csv", kNew);
    CHECK(readFileBytes("tally.csv") == kNew);
}

#else

TEST_CASE("a link placed under the target's name is replaced, its target untouched")
{
    WorkingFolder folder;
    fs::create_directory("private");
    writeFileBytes("private/teacher.txt", kOld);

    SUBCASE("a symbolic link")
    {
        fs::create_symlink("private/teacher.txt", "tally.html");
    }
    SUBCASE("a symbolic link to a file not there yet")
    {
        fs::remove("private/teacher.txt");
        fs::create_symlink("private/teacher.txt", "tally.html");
    }
    SUBCASE("a hard link")
    {
        fs::create_hard_link("private/teacher.txt", "tally.html");
    }
    writeOutputFile("tally.html", kNew);

    CHECK_FALSE(fs::is_symlink("tally.html"));
    CHECK(fs::hard_link_count("tally.html") == 1);
    CHECK(readFileBytes("tally.html") == kNew);
    if (fs::exists("private/teacher.txt")) {
        CHECK(readFileBytes("private/teacher.txt") == kOld);
        CHECK(fs::hard_link_count("private/teacher.txt") == 1);
    }
    CHECK(entryNames() == std::vector<std::string>{"private", "tally.html"});
}

TEST_CASE("a write that fails for real under a file-size limit leaves the previous file whole")
{
    WorkingFolder folder;
    writeFileBytes("tally.html", kOld);
    // Beyond the limit a write fails with EFBIG instead of ending the process.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    REQUIRE(::getrlimit(RLIMIT_FSIZE, &previous) == 0);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    REQUIRE(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    const std::optional<OutputFailure> failure = failureOf("tally.html", kNew);
    REQUIRE(::setrlimit(RLIMIT_FSIZE, &previous) == 0);
    std::signal(SIGXFSZ, previousHandler);

    REQUIRE(failure.has_value());
    CHECK(failure->code() == 223);
    CHECK(readFileBytes("tally.html") == kOld);
    CHECK(entryNames() == std::vector<std::string>{"tally.html"});
}

#endif
