#pragma once

#include "answers/answer_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace mirunea {

// Why a file is no well-formed answer file, in the order a reader meets them.
enum class AnswerFileFault {
    NotAnswerFile,   // NUL bytes, LF-only lines, or lines where a section must stand
    MissingEnd,      // the bytes stop before "[END]": a send cut short
    SlotOutOfOrder,  // a section for a slot at or before the previous section's
    TooManyFlags,    // more "0"/"1" lines than a question has choices
    SeveralSelected, // more than one "1" in an "R" section
    BytesAfterEnd,   // anything after the "[END]" line
};

// What a file holds, read as the answer writer writes it: CR LF lines; the
// computer name; the respondent name; sections "[Q<n>R]", "[Q<n>C]" (each
// followed by its "0"/"1" lines) and "[Q<n>T]" (followed by exactly one text
// line, whatever it reads like) in increasing slot order; "[END]".
struct AnswerFileContent
{
    AnswerRecord record;                     // as far as it was read; texts are Shift-JIS as in the file
    bool ended = false;                      // "[END]" seen
    std::vector<std::string> faults;         // UTF-8, short; never quotes the file's bytes
    std::vector<AnswerFileFault> faultKinds; // the same faults, one kind each, in the same order

    [[nodiscard]] bool wellFormed() const { return faults.empty(); }
};

// Reads the bytes of one answer file; never throws for any content.
[[nodiscard]] AnswerFileContent parseAnswerFile(std::string_view bytes);

} // namespace mirunea
