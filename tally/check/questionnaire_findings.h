#pragma once

#include "tally/check/line_walk.h"
#include "tally/check/questionnaire_check.h"

#include <vector>

namespace mirunea::tally {

// Everything the sheet will show otherwise than meant (errors) or perhaps
// otherwise (warnings), and lines it leaves out (notes); unsorted.
// asRead: what the questionnaire reader made of the same file.
[[nodiscard]] std::vector<Finding> findingsOf(const LineWalk& walk, FileEncoding encoding, const Questionnaire& asRead);

} // namespace mirunea::tally
