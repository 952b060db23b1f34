#pragma once

#include "answers/answer_record.h"
#include "questionnaire/questionnaire.h"

#include <string>

namespace mirunea::tally {

// Why the record does not answer this questionnaire (a slot of another kind,
// another number of choices, a question it lacks or the questionnaire lacks:
// data.txt changed after the PC sent), in UTF-8; empty when it fits.
[[nodiscard]] std::string misfit(const AnswerRecord& record, const Questionnaire& questionnaire);

} // namespace mirunea::tally
