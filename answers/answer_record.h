#pragma once

#include "questionnaire/questionnaire.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace mirunea {

// The answer to one slot; which fields count depends on the type code.
struct SlotAnswer
{
    std::string typeCode;        // "R", "C", "T" or empty
    int choiceCount = 0;         // "R": number of choices
    std::optional<int> selected; // "R": selected choice, from 1
    std::vector<bool> ticked;    // "C": one flag per choice
    std::string text;            // "T": Shift-JIS text as typed
};

// The answers of one send. Texts are Shift-JIS bytes.
struct AnswerRecord
{
    std::string computerName;
    std::string respondentName;
    std::array<SlotAnswer, kSlotCount> slotAnswers; // [0] is slot 1
};

} // namespace mirunea
