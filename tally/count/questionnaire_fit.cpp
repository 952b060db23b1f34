#include "tally/count/questionnaire_fit.h"

#include <cstddef>

namespace mirunea::tally {

namespace {

[[nodiscard]] std::string kindName(const std::string& typeCode)
{
    if (typeCode == "R")
        return "択一";
    if (typeCode == "C")
        return "複数選択";
    if (typeCode == "T")
        return "記述";
    return "なし";
}

[[nodiscard]] std::size_t answeredChoices(const SlotAnswer& answer)
{
    return answer.typeCode == "R" ? static_cast<std::size_t>(answer.choiceCount) : answer.ticked.size();
}

// One slot's difference, or empty.
[[nodiscard]] std::string slotMisfit(int slot, const SlotAnswer& answer, const QuestionSlot& question)
{
    const std::string name = "設問 " + std::to_string(slot);
    if (answer.typeCode != question.typeCode) {
        return name + " の種類が違います（回答: " + kindName(answer.typeCode)
            + "、data.txt: " + kindName(question.typeCode) + "）";
    }
    if (question.typeCode == "R" || question.typeCode == "C") {
        const std::size_t answered = answeredChoices(answer);
        if (answered != question.choices.size()) {
            return name + " の選択肢の数が違います（回答: " + std::to_string(answered)
                + "、data.txt: " + std::to_string(question.choices.size()) + "）";
        }
    }
    return {};
}

} // namespace

std::string misfit(const AnswerRecord& record, const Questionnaire& questionnaire)
{
    std::string differences;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const auto index = static_cast<std::size_t>(slot - 1);
        const std::string difference = slotMisfit(slot, record.slotAnswers[index], questionnaire.questionSlots[index]);
        if (difference.empty())
            continue;
        differences += differences.empty() ? "" : "、";
        differences += difference;
    }
    if (differences.empty())
        return {};
    return "今の data.txt と合いません（送信の後で data.txt が変えられたようです）: " + differences;
}

} // namespace mirunea::tally
