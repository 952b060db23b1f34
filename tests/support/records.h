#pragma once

#include "answers/answer_record.h"
#include "app/failure/io_failure.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Builders of what the plain layers read and write: answer records, and
// questionnaire "data.txt" files in Shift-JIS.
namespace mirunea::test {

// Shift-JIS bytes of UTF-8 text.
[[nodiscard]] std::string sjis(const std::string& utf8);

// Slot answers: "R" with n choices and the selected one (from 1), "C" with
// one flag per choice, "T" with its text.
[[nodiscard]] SlotAnswer choose(int choiceCount, std::optional<int> selected);
[[nodiscard]] SlotAnswer tick(std::vector<bool> ticked);
[[nodiscard]] SlotAnswer type(std::string text);

// A record whose slots are given by their number, 1 to 10; the others stay empty.
[[nodiscard]] AnswerRecord answerRecord(std::string computerName, std::string respondentName,
                                        std::vector<std::pair<int, SlotAnswer>> answers = {});

// Every line followed by the break: CR LF, as the program writes and reads.
[[nodiscard]] std::string joinedLines(const std::vector<std::string>& lines, std::string_view lineBreak = "\r\n");
// The bytes the writer puts in the record's answer file.
[[nodiscard]] std::string answerFileBytes(const AnswerRecord& record);

// A "data.txt" built line by line from UTF-8 text, as Shift-JIS with CR LF
// line breaks (another break where a case needs it).
class DataTxt
{
public:
    DataTxt(const std::string& title, const std::string& description, const std::string& namePrompt);

    DataTxt& choose(const std::string& question, std::initializer_list<std::string> choices);
    DataTxt& tick(const std::string& question, std::initializer_list<std::string> choices);
    DataTxt& text(const std::string& question);
    DataTxt& line(const std::string& text);
    DataTxt& lineBreak(std::string lineBreak);

    [[nodiscard]] const std::string& bytes() const { return m_bytes; }

private:
    DataTxt& choices(const std::string& marker, const std::string& question, std::initializer_list<std::string> list);

    std::string m_bytes;
    std::string m_lineBreak = "\r\n";
};

// The I/O failure an action raised, or none when it succeeded.
template<class Action>
[[nodiscard]] std::optional<IoFailure> failureOf(Action&& action)
{
    try {
        action();
    } catch (const IoFailure& failure) {
        return failure;
    }
    return std::nullopt;
}

// Its code, or 0 when the action succeeded.
template<class Action>
[[nodiscard]] int failureCodeOf(Action&& action)
{
    const std::optional<IoFailure> failure = failureOf(std::forward<Action>(action));
    return failure ? failure->code() : 0;
}

} // namespace mirunea::test
