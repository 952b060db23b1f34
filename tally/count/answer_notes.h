#pragma once

#include "tally/count/tally.h"

#include <cstdint>
#include <vector>

namespace mirunea::tally {

// The notes on counted files, in their order: a file written before data.txt
// was last changed, and a respondent name that other files carry too (two
// pupils may share a name; all are counted).
[[nodiscard]] std::vector<FileNote> answerNotes(const std::vector<CountedFile>& files,
                                                std::int64_t questionnaireModifiedUnixSeconds);

} // namespace mirunea::tally
