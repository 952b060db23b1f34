// Access denied (5) from the file system's own permissions: a read-only
// answer file, a folder that does not allow writing, an unreadable
// questionnaire. Wine lets root through every permission, so
// run_unprivileged.sh prepares the folders and runs this as a plain user.
#include "answers/answer_file.h"
#include "app/failure/io_failure.h"
#include "questionnaire/questionnaire_reader.h"

#include "printable.h"
#include "records.h"
#include "working_folder.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <optional>
#include <string>

using namespace mirunea::test;

namespace {

// Runs the checks inside one of the prepared folders.
class InFolder
{
public:
    explicit InFolder(const char* folder)
    {
        ::GetCurrentDirectoryA(MAX_PATH, m_previous);
        REQUIRE(::SetCurrentDirectoryA(folder));
    }
    ~InFolder() { ::SetCurrentDirectoryA(m_previous); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    char m_previous[MAX_PATH] = {};
};

} // namespace

TEST_CASE("a read-only answer file is not replaced")
{
    InFolder folder("writable");
    CHECK(failureCodeOf([] { mirunea::writeAnswerFile(answerRecord("READONLY", "Taro")); }) == ERROR_ACCESS_DENIED);
    CHECK(mirunea::test::readFileBytes("READONLY.ans") == "earlier answers\r\n");
    // The folder itself takes new files.
    CHECK(failureCodeOf([] { mirunea::writeAnswerFile(answerRecord("PC", "Taro")); }) == 0);
}

TEST_CASE("a read-only folder takes no answer file")
{
    InFolder folder("read-only");
    CHECK(failureCodeOf([] { mirunea::writeAnswerFile(answerRecord("PC", "Taro")); }) == ERROR_ACCESS_DENIED);
    CHECK_FALSE(mirunea::test::fileExists("PC.ans"));
    // Reading still works there.
    CHECK(mirunea::readQuestionnaire().title == "T");
}

TEST_CASE("an unreadable questionnaire is access denied")
{
    InFolder folder("unreadable");
    const std::optional<mirunea::IoFailure> failure = failureOf([] { (void)mirunea::readQuestionnaire(); });
    REQUIRE(failure.has_value());
    CHECK(failure->code() == ERROR_ACCESS_DENIED);
    CHECK(printable(failure->message()) == printable(mirunea::test::sjis("ファイルへのアクセスが拒否されました")));
}
