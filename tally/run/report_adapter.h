#pragma once

#include "questionnaire/questionnaire.h"
#include "tally/check/questionnaire_check.h"
#include "tally/count/tally.h"
#include "tally/report/report_model.h"

#include <cstdint>
#include <string>

namespace mirunea::tally {

struct ReportSources
{
    std::string folderName; // UTF-8
    std::int64_t runAtUnixSeconds = 0;
    const Questionnaire& questionnaire;
    const QuestionnaireCheck& check;
    const Tally& tally;
};

// The check and the counts in words and figures, as the report and the
// spreadsheet show them: Shift-JIS texts turned into UTF-8, times into local
// dates.
[[nodiscard]] report::Report makeReport(const ReportSources& sources);

// A moment as the report shows it, in local time: "2026-12-09 10:41".
[[nodiscard]] std::string localTimeText(std::int64_t unixSeconds);

} // namespace mirunea::tally
