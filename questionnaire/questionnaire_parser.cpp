#include "questionnaire/questionnaire_parser.h"

#include <array>
#include <string_view>

namespace mirunea {

namespace {

constexpr int kFirstQuestionLine = 4;
constexpr std::size_t kMarkerLength = 3;
constexpr std::array<std::string_view, 3> kMarkers = {"[R]", "[C]", "[T]"};

// A marker line starts with one of the markers exactly (case and position).
[[nodiscard]] bool isMarkerLine(std::string_view head)
{
    for (const auto marker : kMarkers) {
        if (head.starts_with(marker))
            return true;
    }
    return false;
}

// "R", "C" or "T": the letter between the marker's brackets.
[[nodiscard]] std::string markerLetter(std::string_view head)
{
    return std::string(head.substr(1, 1));
}

[[nodiscard]] bool hasChoices(const QuestionSlot& slot)
{
    return slot.typeCode == "R" || slot.typeCode == "C";
}

} // namespace

Questionnaire parseQuestionnaire(LineTable& lines)
{
    Questionnaire questionnaire;
    questionnaire.title = lines.takeWhole(1);
    questionnaire.description = lines.takeWhole(2);
    questionnaire.namePrompt = lines.takeWhole(3);

    // The cursor only moves forward, and the next slot's search starts where
    // the previous slot left it.
    int j = kFirstQuestionLine;
    for (QuestionSlot& slot : questionnaire.questionSlots) {
        while (lines.exists(j) && !isMarkerLine(lines.head(j)))
            ++j;
        if (!lines.exists(j))
            break; // no further marker line: this and all later slots stay empty

        slot.typeCode = markerLetter(lines.head(j));
        slot.questionText = lines.takeWhole(j);
        slot.questionText.erase(0, kMarkerLength); // in place: the line may be long
        ++j;

        if (hasChoices(slot)) {
            // A line past the end reads as empty, which ends the list too.
            for (int k = 1; k <= kMaxChoices && !lines.head(j).empty() && !isMarkerLine(lines.head(j)); ++k) {
                slot.choices.push_back(lines.takeWhole(j));
                ++j;
            }
        }
    }
    return questionnaire;
}

} // namespace mirunea
