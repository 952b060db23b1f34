#pragma once

#include "questionnaire/questionnaire.h"

#include <string>

namespace mirunea {

inline constexpr const char* kQuestionnaireFileName = "data.txt";

// Reads "data.txt" from the working directory; throws IoFailure.
[[nodiscard]] Questionnaire readQuestionnaire();

// The same for another file name (tests, tools).
[[nodiscard]] Questionnaire readQuestionnaireFile(const std::string& fileName);

} // namespace mirunea
