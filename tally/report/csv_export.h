#pragma once

#include "tally/report/report_model.h"

#include <string>
#include <string_view>
#include <vector>

// The spreadsheet: RFC 4180 text (CR LF, quoted where needed) in UTF-8 with a
// byte-order mark, which Excel and LibreOffice both take as UTF-8 when the
// file is opened by a double click; Shift-JIS would do for Japanese Excel but
// asks LibreOffice's import dialog to guess.
namespace mirunea::tally::report {

using CsvRow = std::vector<std::string>;

// One cell as it stands in the file: a text that a spreadsheet would read as a
// formula (it begins with =, +, -, @, a tab or a CR) gets a leading "'", and
// the cell is quoted when it holds a comma, a quote, a CR or a LF.
[[nodiscard]] std::string csvCell(std::string_view text);

// The rows, each line ended by CR LF, after the byte-order mark.
[[nodiscard]] std::string renderCsv(const std::vector<CsvRow>& rows);

// The header (computer, respondent, time, then the questions: one column per
// "R" or "T" question, one per choice of a "C" question headed
// "question: choice") and one row per counted answer file: an "R" answer as its
// choice's text, a "C" choice as 1 or 0, a "T" answer as its text.
[[nodiscard]] std::vector<CsvRow> csvTable(const Report& report);
[[nodiscard]] std::string renderCsv(const Report& report);

} // namespace mirunea::tally::report
