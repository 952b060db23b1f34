#include "tally/report/answer_text.h"

#include <cstddef>

namespace mirunea::tally::report {

const KindNames& kindNames(QuestionKind kind)
{
    static constexpr KindNames kSingleChoice{"択一", "R", "kind-r"};
    static constexpr KindNames kMultipleChoice{"複数選択", "C", "kind-c"};
    static constexpr KindNames kFreeText{"自由記述", "T", "kind-t"};
    switch (kind) {
    case QuestionKind::SingleChoice:
        return kSingleChoice;
    case QuestionKind::MultipleChoice:
        return kMultipleChoice;
    case QuestionKind::FreeText:
        break;
    }
    return kFreeText;
}

std::string answerText(const QuestionResult& question, const AnswerCell& answer)
{
    switch (question.kind) {
    case QuestionKind::SingleChoice:
        if (answer.chosen && *answer.chosen >= 0 && static_cast<std::size_t>(*answer.chosen) < question.choices.size())
            return question.choices[static_cast<std::size_t>(*answer.chosen)].text;
        return {};
    case QuestionKind::MultipleChoice: {
        std::string joined;
        for (std::size_t i = 0; i < answer.ticked.size() && i < question.choices.size(); ++i) {
            if (!answer.ticked[i])
                continue;
            if (!joined.empty())
                joined += "、";
            joined += question.choices[i].text;
        }
        return joined;
    }
    case QuestionKind::FreeText:
        return answer.text;
    }
    return {};
}

std::string questionHeading(const QuestionResult& question)
{
    if (!question.text.empty())
        return question.text;
    return "設問 " + std::to_string(question.slot);
}

} // namespace mirunea::tally::report
