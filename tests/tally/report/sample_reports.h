#pragma once

#include "tally/report/report_model.h"

// Reports for the writers' tests: a class's results full of Japanese texts and
// of what pupils might type to break the page or the spreadsheet, and the same
// questionnaire before class. tally_report_sample renders both for the
// browser and spreadsheet tests, which know the figures given here.
namespace mirunea::tally::report::test {

[[nodiscard]] Report hostileClassReport();
[[nodiscard]] Report previewReport();

} // namespace mirunea::tally::report::test
