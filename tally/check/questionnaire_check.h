#pragma once

#include "questionnaire/questionnaire.h"

#include <string>
#include <string_view>
#include <vector>

// The questionnaire as the answer sheet will take it, checked before class:
// which encoding the file is in, what the sheet does with each line, and what
// will surely (errors) or may (warnings) differ from what its author meant.
// Every text here is UTF-8.
namespace mirunea::tally {

enum class Severity { Error, Warning, Note };

struct Finding
{
    Severity severity;
    int lineNumber; // 0: the whole file
    std::string message;
};

enum class FileEncoding { ShiftJis, Utf8, Utf8WithBom, Utf16LittleEndian, Utf16BigEndian, InvalidShiftJis };

struct LineMeaning
{
    int lineNumber;
    std::string text; // as the sheet shows it (cut short where long)
    std::string meaning; // e.g. "タイトル", "設問 3（択一）", "設問 3 の選択肢 2", "無視されます: ..."
    bool ignored;
    int lastLineNumber = 0; // a summary of lines lineNumber..lastLineNumber; 0 for one line
    std::string asWritten;  // a file in another encoding: the line as its author wrote it; else empty
};

struct QuestionnaireCheck
{
    FileEncoding encoding = FileEncoding::ShiftJis;
    std::vector<LineMeaning> lines; // by line number; lines past the 100th in one summary
    std::vector<Finding> findings;  // sorted error, warning, note, then by line
    [[nodiscard]] bool hasErrors() const;
};

// fileBytes: "data.txt" as it stands; asRead: what the questionnaire reader
// made of the same file.
[[nodiscard]] QuestionnaireCheck checkQuestionnaire(std::string_view fileBytes, const Questionnaire& asRead);

// A name for the encoding, for the summary ("Shift-JIS", "UTF-8（BOM 付き）", ...).
[[nodiscard]] std::string encodingName(FileEncoding encoding);

} // namespace mirunea::tally
