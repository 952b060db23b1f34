// The Win32 build where pupils share the folder: a hard link or a hidden or
// system file in place of the answer file is refused before anything is
// emptied, and no exception from a handler ends the program.
#include "answers/answer_file.h"
#include "app/cp932.h"
#include "app/failure_report.h"
#include "app/io_failure.h"
#include "app/toolkit.h"

#include "mini_test.h"
#include "temp_folder.h"

#include <windows.h>

#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using mirunea::test::readFileBytes;
using mirunea::test::TempWorkingFolder;
using mirunea::test::writeFileBytes;

namespace {

std::optional<int> sendPc05()
{
    mirunea::AnswerRecord record;
    record.computerName = "PC05";
    record.respondentName = "Taro";
    try {
        mirunea::writeAnswerFile(record);
    } catch (const mirunea::IoFailure& failure) {
        return failure.code();
    }
    return std::nullopt;
}

class RecordingApplication : public mirunea::toolkit::Application
{
public:
    void setTitle(const std::string& title) override { m_title = title; }
    [[nodiscard]] const std::string& title() const override { return m_title; }
    std::unique_ptr<mirunea::toolkit::Window> createWindow(const mirunea::toolkit::WindowSpec&) override
    {
        return nullptr;
    }
    void run(mirunea::toolkit::Window&) override { }
    void showErrorBox(const std::string&, const std::string& text) override { boxes.push_back(text); }
    void showMessageDialog(const std::string&, const std::string&) override { }
    void releaseMouseCapture() override { }
    std::vector<std::string> boxes;

private:
    std::string m_title;
};

} // namespace

MT_TEST(hardLinkIsRefusedAndItsTargetKept)
{
    TempWorkingFolder folder;
    const std::string other = "PC31\r\nHanako\r\n[END]\r\n";
    writeFileBytes("PC31.ans", other);
    MT_REQUIRE(::CreateHardLinkA("PC05.ans", "PC31.ans", nullptr));
    MT_CHECK_EQ(sendPc05().value_or(0), ERROR_ACCESS_DENIED);
    MT_CHECK_EQ(readFileBytes("PC31.ans"), other);
    MT_CHECK_EQ(readFileBytes("PC05.ans"), other);

    MT_REQUIRE(::DeleteFileA("PC31.ans"));
    MT_CHECK(!sendPc05().has_value());
    MT_CHECK_EQ(readFileBytes("PC05.ans"), std::string("PC05\r\nTaro\r\n[END]\r\n"));
}

MT_TEST(hiddenOrSystemFileIsRefusedAndKept)
{
    const std::vector<std::pair<const char*, DWORD>> rows{{"hidden", FILE_ATTRIBUTE_HIDDEN},
                                                          {"system", FILE_ATTRIBUTE_SYSTEM}};
    for (const auto& [tag, attribute] : rows) {
        MT_ROW(tag);
        TempWorkingFolder folder;
        writeFileBytes("PC05.ans", "old\r\n");
        MT_REQUIRE(::SetFileAttributesA("PC05.ans", attribute));
        MT_REQUIRE((::GetFileAttributesA("PC05.ans") & attribute) != 0);
        MT_CHECK_EQ(sendPc05().value_or(0), ERROR_ACCESS_DENIED);
        MT_CHECK_EQ(readFileBytes("PC05.ans"), std::string("old\r\n"));
        ::SetFileAttributesA("PC05.ans", FILE_ATTRIBUTE_NORMAL);
    }
}

MT_TEST(everyExceptionFromAHandlerIsReported)
{
    RecordingApplication app;
    mirunea::deliverEvent(app, [] { throw std::bad_alloc(); });
    mirunea::deliverEvent(app, [] { throw std::runtime_error("x"); });
    mirunea::deliverEvent(app, [] { throw mirunea::IoFailure(ERROR_SHARING_VIOLATION); });
    const std::vector<std::string> expected{mirunea::cp932::fromUtf8("I/O エラー (8)"),
                                            mirunea::cp932::fromUtf8("I/O エラー (1359)"),
                                            mirunea::cp932::fromUtf8("I/O エラー (32)")};
    MT_CHECK(app.boxes == expected);
}
