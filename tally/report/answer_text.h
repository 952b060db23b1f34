#pragma once

#include "tally/report/report_model.h"

#include <string>

namespace mirunea::tally::report {

[[nodiscard]] std::string_view kindLabel(QuestionKind kind); // 択一, 複数選択, 自由記述
[[nodiscard]] std::string_view kindCode(QuestionKind kind);  // R, C, T

// One answer as the responses table shows it: the chosen choice's text, the
// ticked choices' texts joined by "、", or the typed text; empty for none.
[[nodiscard]] std::string answerText(const QuestionResult& question, const AnswerCell& answer);

// The question's text, or "設問 N" where the file gives it none.
[[nodiscard]] std::string questionHeading(const QuestionResult& question);

} // namespace mirunea::tally::report
