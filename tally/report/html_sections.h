#pragma once

#include "tally/report/report_model.h"

#include <string>
#include <string_view>

// The parts of the HTML report, each appended to the page in turn. Every text
// of the report goes through appendEscapedHtml on its way in.
namespace mirunea::tally::report::html {

[[nodiscard]] std::string_view style();
void appendQuestionnaireCheck(std::string& out, const QuestionnaireSection& section);
void appendQuestions(std::string& out, const Report& report);
void appendResponses(std::string& out, const Report& report);

// <tag class="name">text</tag>, the text escaped.
void appendElement(std::string& out, std::string_view tag, std::string_view className, std::string_view text);
// The same for a span.
void appendSpan(std::string& out, std::string_view className, std::string_view text);
// The text escaped, or the placeholder (our own words, in parentheses) where it is empty.
void appendTextOr(std::string& out, std::string_view text, std::string_view placeholder);

} // namespace mirunea::tally::report::html
