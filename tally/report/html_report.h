#pragma once

#include "tally/report/report_model.h"

#include <string>

namespace mirunea::tally::report {

// The report as one self-contained UTF-8 HTML page: no script, nothing
// fetched (its Content-Security-Policy forbids both), charts as inline SVG
// with their figures also written as text, readable on a phone and printable
// on A4. Elements that carry figures have stable classes and data- attributes.
[[nodiscard]] std::string renderHtmlReport(const Report& report);

} // namespace mirunea::tally::report
