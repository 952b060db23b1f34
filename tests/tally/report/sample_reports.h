#pragma once

#include "tally/report/report_model.h"

// Reports for the writers' tests: a class's results full of Japanese texts and
// of what pupils might type to break the page or the spreadsheet, and the same
// questionnaire before class. tally_report_sample renders both for the
// browser and spreadsheet tests, which know the figures given here.
namespace mirunea::tally::report::test {

[[nodiscard]] Report hostileClassReport();
[[nodiscard]] Report previewReport();
// A class of forty with all ten questions (choose one, tick any and free text in
// turn, five choices each), long enough to print on several pages. Every
// free-text question's last answer is PC40's.
[[nodiscard]] Report fullClassReport();

} // namespace mirunea::tally::report::test
