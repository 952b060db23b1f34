#include "tally/run/tally_run.h"

#include "app/failure/io_failure.h"
#include "app/failure/windows_error_codes.h"
#include "app/platform/folder_files.h"
#include "app/text/cp932.h"
#include "questionnaire/line_reader.h"
#include "questionnaire/questionnaire_reader.h"
#include "tally/check/encoding_fix.h"
#include "tally/check/file_encoding.h"
#include "tally/check/questionnaire_check.h"
#include "tally/count/tally.h"
#include "tally/report/csv_export.h"
#include "tally/report/html_report.h"
#include "tally/report/output_file.h"
#include "tally/run/command_line.h"
#include "tally/run/report_adapter.h"
#include "tally/run/run_ending.h"
#include "tally/run/summary.h"

#include <filesystem>
#include <optional>

namespace mirunea::tally {

namespace {

constexpr const char* kBackupName = "data.txt.orig";

// Why the run cannot go on; its text goes to standard error.
struct CannotRun
{
    std::string message;
};

[[nodiscard]] std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The folder's entry of that name without following it: the exact name, or
// else one that differs in case (which Windows opens under that name).
[[nodiscard]] std::optional<FolderEntry> findEntry(const std::string& name)
{
    const FolderListing listing = listWorkingFolder(name, 4096);
    std::optional<FolderEntry> found;
    for (const FolderEntry& entry : listing.entries) {
        if (entry.name == name)
            return entry;
        if (!found && lowerAscii(entry.name) == lowerAscii(name))
            found = entry;
    }
    return found;
}

constexpr const char* kReportName = "tally.html";

void enterFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::path path(std::u8string(folder.begin(), folder.end()));
    // A data.txt or an answer file dropped on the tool in place of its folder.
    if (std::filesystem::is_regular_file(path, error) && path.has_parent_path())
        path = path.parent_path();
    std::filesystem::current_path(path, error);
    if (error)
        throw CannotRun{"フォルダー「" + folder + "」を開けません（" + error.message() + "）"};
}

[[nodiscard]] std::string folderName()
{
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    const std::filesystem::path shown = here.has_filename() ? here.filename() : here;
    const std::u8string name = shown.u8string();
    return std::string(name.begin(), name.end());
}

// "data.txt" as a plain file of the folder: a link could show the teacher's
// own files in a report the pupils can read, so it is not followed.
[[nodiscard]] FolderEntry questionnaireEntry()
{
    const std::optional<FolderEntry> entry = findEntry(kQuestionnaireFileName);
    if (!entry)
        throw CannotRun{"data.txt がありません。アンケートのフォルダーを指定してください"};
    if (entry->kind != FolderEntryKind::RegularFile)
        throw CannotRun{"data.txt は普通のファイルではありません（リンクやフォルダーは読みません）"};
    return *entry;
}

[[nodiscard]] std::string readQuestionnaireBytes(const FolderEntry& entry)
{
    std::string bytes;
    const ReadResult result = readListedFile(entry, LineReader::kMaxFileBytes, bytes);
    switch (result.outcome) {
    case ReadOutcome::Read:
        return bytes;
    case ReadOutcome::TooLarge:
        throw CannotRun{"data.txt が大きすぎます（64 MiB を超えています）。答案用紙は設問を表示できません"};
    case ReadOutcome::HardLinked:
        throw CannotRun{
            "data.txt には別の名前（ハードリンク）があります。安全のため読みません。コピーし直してください"};
    case ReadOutcome::Busy:
        throw CannotRun{"data.txt はほかのプログラムが書いている途中です。閉じてからもう一度実行してください"};
    case ReadOutcome::NotRegularFile:
    case ReadOutcome::Changed:
    case ReadOutcome::Failed:
        break;
    }
    throw CannotRun{"data.txt を読めません（" + cp932::toUtf8(ioFailureMessage(result.errorCode)) + "）"};
}

// --fix-encoding: a UTF-8 or UTF-16 "data.txt" rewritten as Shift-JIS, the
// original kept as data.txt.orig. Returns whether the file was rewritten.
bool fixEncoding(const std::string& bytes, RunHost& output)
{
    const FileEncoding encoding = detectEncoding(bytes);
    if (encoding == FileEncoding::ShiftJis) {
        output.out("data.txt はすでに Shift-JIS です。直すところはありません\n");
        return false;
    }
    if (encoding == FileEncoding::InvalidShiftJis) {
        output.out("data.txt は UTF-8 でも UTF-16 でもないため、自動では直せません\n");
        return false;
    }
    const EncodingFix fix = toShiftJis(bytes, encoding);
    if (!fix.ok()) {
        output.out(
            "data.txt を Shift-JIS に直せません。次の文字は Shift-JIS にありません（別の文字に書き換えてください）:\n");
        for (const std::string& character : fix.unmappable)
            output.out("  " + character + "\n");
        return false;
    }
    if (findEntry(kBackupName))
        throw CannotRun{"data.txt.orig がすでにあります。上書きしないので、移すか消してからもう一度実行してください"};
    try {
        report::writeOutputFile(kBackupName, bytes);
        report::writeOutputFile(kQuestionnaireFileName, fix.shiftJis);
    } catch (const report::OutputFailure& failure) {
        throw CannotRun{std::string("data.txt を直せませんでした: ") + failure.what()};
    }
    output.out("data.txt を " + encodingName(encoding)
               + " から Shift-JIS に直しました（元のファイル: data.txt.orig）\n");
    return true;
}

// The exit code of a run that wrote its report.
int run(const CommandLine& line, RunHost& output, std::int64_t nowUnixSeconds)
{
    enterFolder(line.folder);
    FolderEntry entry = questionnaireEntry();
    std::string bytes = readQuestionnaireBytes(entry);
    if (line.fixEncoding && fixEncoding(bytes, output)) {
        entry = questionnaireEntry();
        bytes = readQuestionnaireBytes(entry);
    }

    Questionnaire questionnaire;
    Tally tally;
    try {
        questionnaire = readQuestionnaireFile(kQuestionnaireFileName);
    } catch (const IoFailure& failure) {
        throw CannotRun{"data.txt を読めません（" + cp932::toUtf8(failure.message()) + "）"};
    }
    try {
        tally = tallyFolder(questionnaire, entry.modifiedUnixSeconds);
    } catch (const IoFailure& failure) {
        throw CannotRun{"フォルダーを読めません（" + cp932::toUtf8(failure.message()) + "）"};
    }
    const QuestionnaireCheck check = checkQuestionnaire(bytes, questionnaire);
    const report::Report report = makeReport({folderName(), nowUnixSeconds, questionnaire, check, tally});

    try {
        report::writeOutputFile(kReportName, report::renderHtmlReport(report));
        report::writeOutputFile("tally.csv", report::renderCsv(report));
    } catch (const report::OutputFailure& failure) {
        throw CannotRun{failure.what()};
    }
    output.out(summaryText(report));
    return check.hasErrors() || !tally.problems.empty() ? kExitFindings : kExitFine;
}

int runCommandLine(const CommandLine& line, RunHost& output, std::int64_t nowUnixSeconds, bool& reportWritten)
{
    if (!line.error.empty()) {
        output.err("mirunea-tally: " + line.error + "\n（mirunea-tally --help で使い方を表示します）\n");
        return kExitCouldNotRun;
    }
    if (line.help) {
        output.out(usageText());
        return kExitFine;
    }
    if (line.version) {
        output.out("mirunea-tally " MIRUNEA_VERSION "\n");
        return kExitFine;
    }
    try {
        const int code = run(line, output, nowUnixSeconds);
        reportWritten = true;
        return code;
    } catch (const CannotRun& cannot) {
        output.err("mirunea-tally: " + cannot.message + "\n");
    } catch (const std::bad_alloc&) {
        output.err("mirunea-tally: メモリーが足りません\n");
    }
    return kExitCouldNotRun;
}

} // namespace

int runTally(const std::vector<std::string>& arguments, RunHost& host, std::int64_t nowUnixSeconds)
{
    // Asked first: whose console it is was settled when the program started.
    const bool ownConsole = host.consoleIsOwn();
    const CommandLine line = parseCommandLine(arguments);
    bool reportWritten = false;
    const int code = runCommandLine(line, host, nowUnixSeconds, reportWritten);

    const RunEnding ending = runEnding(line, ownConsole, code, reportWritten);
    if (ending.dropHint)
        host.err("（アンケートのフォルダーを mirunea-tally "
                 "のアイコンにドラッグ＆ドロップすると、そのフォルダーを集計します）\n");
    if (ending.openReport && !host.openInBrowser(kReportName))
        host.err("tally.html をブラウザーで開けませんでした。フォルダーの tally.html を開いてください\n");
    if (ending.waitForKey) {
        host.out("\n何かキーを押すと終了します。");
        host.waitForKey();
    }
    return code;
}

} // namespace mirunea::tally
