#pragma once

#include "tally/report/report_model.h"

#include <string>

namespace mirunea::tally {

// The few lines printed after a run, UTF-8: the questionnaire, the worst of
// its findings, the files counted and those that could not be, and where the
// report is. Long lists end in a count of the rest.
[[nodiscard]] std::string summaryText(const report::Report& report);

} // namespace mirunea::tally
