#include "tally/report/answer_text.h"

#include <cstddef>

namespace mirunea::tally::report {

std::string_view kindLabel(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::SingleChoice:
        return "択一";
    case QuestionKind::MultipleChoice:
        return "複数選択";
    case QuestionKind::FreeText:
        return "自由記述";
    }
    return "";
}

std::string_view kindCode(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::SingleChoice:
        return "R";
    case QuestionKind::MultipleChoice:
        return "C";
    case QuestionKind::FreeText:
        return "T";
    }
    return "";
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
