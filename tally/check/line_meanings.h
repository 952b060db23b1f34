#pragma once

#include "tally/check/line_walk.h"
#include "tally/check/questionnaire_check.h"

#include <vector>

namespace mirunea::tally {

// What the sheet does with each line, in words: lines 1 to 100 one by one,
// a Ctrl-Z that ended the file, the lines past the 100th in one summary.
[[nodiscard]] std::vector<LineMeaning> describeLines(const LineWalk& walk, FileEncoding encoding);

} // namespace mirunea::tally
