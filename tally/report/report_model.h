#pragma once

#include <optional>
#include <string>
#include <vector>

// Everything the teacher's report and spreadsheet show, already in words and
// numbers: every text is UTF-8. The writers know nothing of the files the
// figures came from; an adapter fills this from the check and the count.
namespace mirunea::tally::report {

enum class Severity { Error, Warning, Note };

struct Finding
{
    Severity severity = Severity::Note;
    int lineNumber = 0; // 0: the whole file
    std::string message;
};

// One line of data.txt and what the answer sheet makes of it.
struct QuestionnaireLine
{
    int lineNumber = 0;
    std::string text;    // as the sheet shows it
    std::string meaning; // e.g. "設問 3（択一）", "無視されます: ..."
    bool ignored = false;
    int lastLineNumber = 0; // a row for lines lineNumber..lastLineNumber (past the 100th); 0 for one line
    std::string asWritten;  // a file in another encoding: the line as its author wrote it; else empty
};

struct QuestionnaireSection
{
    std::string encodingVerdict; // e.g. "Shift-JIS（正しい形式です）"
    bool encodingOk = true;
    std::vector<Finding> findings; // in the order shown: errors, warnings, notes
    std::vector<QuestionnaireLine> lines;
};

enum class QuestionKind {
    SingleChoice,   // "R": 択一
    MultipleChoice, // "C": 複数選択
    FreeText,       // "T": 自由記述
};

struct ChoiceCount
{
    std::string text;
    int count = 0; // "R": chosen by; "C": ticked by
};

struct FreeTextAnswer
{
    std::string text;
    std::string respondentName;
    std::string computerName;
};

struct QuestionResult
{
    int slot = 0; // 1 to 10: the panel and the answer file's section
    QuestionKind kind = QuestionKind::SingleChoice;
    std::string text;
    std::vector<ChoiceCount> choices;      // "R" and "C", in the order shown
    int respondents = 0;                   // answer files counted: the base of every percentage
    int noAnswer = 0;                      // "R": nothing chosen; "C": nothing ticked
    std::vector<FreeTextAnswer> freeTexts; // "T": the non-empty answers, in file order
    int emptyTexts = 0;                    // "T": answers left empty
};

// One counted answer file's answer to one question, as the responses table and
// the spreadsheet show it.
struct AnswerCell
{
    std::optional<int> chosen; // "R": the index of the chosen choice, from 0
    std::vector<bool> ticked;  // "C": one flag per choice
    std::string text;          // "T"
};

struct Response
{
    std::string fileName;
    std::string computerName;
    std::string respondentName;
    std::string writtenAt;           // the file's modification time, as shown
    std::vector<AnswerCell> answers; // one per entry of Report::questions
};

struct FileMessage
{
    std::string fileName; // empty: the folder as a whole (e.g. too many files)
    std::string message;
};

struct Report
{
    std::string folderName;
    std::string runAt;
    std::string title;
    std::string description;
    std::string namePrompt; // empty: the sheet asks for no name
    QuestionnaireSection questionnaire;
    std::vector<QuestionResult> questions; // in slot order, filled slots only
    std::vector<Response> responses;       // the counted files
    std::vector<FileMessage> problems;     // files left out of the counts
    std::vector<FileMessage> notes;

    // Before class the folder holds no answer files: the report shows the
    // questionnaire as the pupils will see it instead of results.
    [[nodiscard]] bool isPreview() const { return responses.empty() && problems.empty(); }
};

} // namespace mirunea::tally::report
