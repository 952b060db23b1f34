#pragma once

#include <array>
#include <string>
#include <vector>

namespace mirunea {

inline constexpr int kSlotCount = 10;
inline constexpr int kMaxChoices = 5;

// Texts are Shift-JIS bytes as they stand in the file.
struct QuestionSlot
{
    std::string typeCode; // "R", "C", "T", or empty for no question
    std::string questionText;
    std::vector<std::string> choices; // at most five; always empty for "T"
};

struct Questionnaire
{
    std::string title;
    std::string description;
    std::string namePrompt;                             // empty: no name is asked for
    std::array<QuestionSlot, kSlotCount> questionSlots; // [0] is slot 1
};

} // namespace mirunea
