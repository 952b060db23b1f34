#pragma once

#include "answers/answer_record.h"
#include "questionnaire/questionnaire.h"

#include <cstdint>
#include <string>
#include <vector>

// What the folder tests build: questionnaires from short slot codes, files of
// a chosen size and age.
namespace mirunea::test {

// One code a slot, from slot 1: "R3" (choose one of three), "C4", "T", or ""
// for an empty slot. Choices are named "c1", "c2", ...
[[nodiscard]] Questionnaire questionnaireOf(const std::vector<std::string>& slotCodes);

// head, then a hole up to size bytes in all (a sparse file: no disk used).
void writeSparse(const std::string& name, const std::string& head, std::int64_t size);

// Sets the file's modification time, in Unix seconds.
void setModified(const std::string& name, std::int64_t unixSeconds);

[[nodiscard]] std::int64_t nowUnixSeconds();

} // namespace mirunea::test
