#pragma once

#include "tally/report/report_model.h"

#include <string>
#include <string_view>

namespace mirunea::tally::report {

// The names a question's kind goes by in the report.
struct KindNames
{
    std::string_view label;    // 択一, 複数選択, 自由記述
    std::string_view code;     // R, C, T
    std::string_view cssClass; // kind-r, kind-c, kind-t
};
[[nodiscard]] const KindNames& kindNames(QuestionKind kind);

// One answer as the responses table shows it: the chosen choice's text, the
// ticked choices' texts joined by "、", or the typed text; empty for none.
[[nodiscard]] std::string answerText(const QuestionResult& question, const AnswerCell& answer);

// The question's text, or "設問 N" where the file gives it none.
[[nodiscard]] std::string questionHeading(const QuestionResult& question);

} // namespace mirunea::tally::report
