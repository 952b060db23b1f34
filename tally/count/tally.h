#pragma once

#include "answers/answer_record.h"
#include "questionnaire/questionnaire.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The answer files of the working directory counted against the questionnaire.
// Texts named fileName and message are UTF-8; the records keep the files'
// Shift-JIS bytes.
namespace mirunea::tally {

// An answer file is small: ten pasted texts of 100,000 characters each are
// 2 MB in Shift-JIS. Anything larger is no answer file and is not read.
inline constexpr std::size_t kMaxAnswerFileBytes = std::size_t{16} << 20;
// More answer files than any school folder holds; the rest are left out,
// said as one problem.
inline constexpr std::size_t kMaxAnswerFiles = 100000;
// The texts of the counted records are kept for the report; past this many
// bytes of them, further files are left out as problems rather than the
// run growing without bound.
inline constexpr std::size_t kMaxKeptTextBytes = std::size_t{256} << 20;

struct CountedFile
{
    std::string fileName;
    std::int64_t modifiedUnixSeconds = 0;
    AnswerRecord record;
};

// A file that was not counted, and why.
struct FileProblem
{
    std::string fileName; // empty for a problem of the whole folder (too many files)
    std::string message;
};

// Something the teacher may want to know about a counted file.
struct FileNote
{
    std::string fileName;
    std::string message;
};

struct QuestionCount
{
    int slot = 0;                         // 1 to 10
    std::string typeCode;                 // "R", "C", "T" or empty
    std::vector<int> choiceCounts;        // "R": files that chose each; "C": ticks of each
    int noAnswer = 0;                     // "R": nothing chosen; "C": nothing ticked
    std::vector<std::size_t> textAnswers; // "T": indexes into files of the non-empty answers
    int emptyTexts = 0;                   // "T": empty answers
};

struct Tally
{
    std::vector<CountedFile> files;                  // sorted by name, numbers in names by value (PC2 before PC10)
    std::vector<FileProblem> problems;               // in the same order
    std::vector<FileNote> notes;                     // in the same order
    std::array<QuestionCount, kSlotCount> questions; // [0] is slot 1
};

// Counts the working directory's "*.ans" files. Never throws for what the
// folder holds; a folder that cannot be listed at all throws IoFailure.
[[nodiscard]] Tally tallyFolder(const Questionnaire& questionnaire, std::int64_t questionnaireModifiedUnixSeconds);

} // namespace mirunea::tally
