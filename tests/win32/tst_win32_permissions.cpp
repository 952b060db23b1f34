// Access denied (5) from the file system's own permissions: a read-only
// answer file, a folder that does not allow writing, an unreadable
// questionnaire. Wine lets root through every permission, so
// run_unprivileged.sh prepares the folders and runs this as a plain user.
#include "answers/answer_file.h"
#include "app/cp932.h"
#include "app/io_failure.h"
#include "questionnaire/questionnaire_reader.h"

#include "mini_test.h"
#include "temp_folder.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

using mirunea::IoFailure;

namespace {

std::optional<int> failureCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoFailure& failure) {
        return failure.code();
    }
    return std::nullopt;
}

mirunea::AnswerRecord record(std::string computerName)
{
    mirunea::AnswerRecord r;
    r.computerName = std::move(computerName);
    r.respondentName = "Taro";
    return r;
}

// Runs the action inside one of the prepared folders.
class InFolder
{
public:
    explicit InFolder(const char* folder)
    {
        ::GetCurrentDirectoryA(MAX_PATH, m_previous);
        MT_REQUIRE(::SetCurrentDirectoryA(folder));
    }
    ~InFolder() { ::SetCurrentDirectoryA(m_previous); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    char m_previous[MAX_PATH] = {};
};

} // namespace

MT_TEST(readOnlyAnswerFileIsNotReplaced)
{
    InFolder folder("writable");
    MT_CHECK_EQ(failureCode([] { mirunea::writeAnswerFile(record("READONLY")); }).value_or(0), ERROR_ACCESS_DENIED);
    MT_CHECK_EQ(mirunea::test::readFileBytes("READONLY.ans"), std::string("earlier answers\r\n"));
    // The folder itself takes new files.
    MT_CHECK(!failureCode([] { mirunea::writeAnswerFile(record("PC")); }));
}

MT_TEST(readOnlyFolderTakesNoAnswerFile)
{
    InFolder folder("read-only");
    MT_CHECK_EQ(failureCode([] { mirunea::writeAnswerFile(record("PC")); }).value_or(0), ERROR_ACCESS_DENIED);
    MT_CHECK(!mirunea::test::fileExists("PC.ans"));
    // Reading still works there.
    MT_CHECK_EQ(mirunea::readQuestionnaire().title, std::string("T"));
}

MT_TEST(unreadableQuestionnaireIsDenied)
{
    InFolder folder("unreadable");
    const std::optional<int> code = failureCode([] { static_cast<void>(mirunea::readQuestionnaire()); });
    MT_CHECK_EQ(code.value_or(0), ERROR_ACCESS_DENIED);
    MT_CHECK_EQ(IoFailure(code.value_or(0)).message(),
                mirunea::cp932::fromUtf8("ファイルへのアクセスが拒否されました"));
}
