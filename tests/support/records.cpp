#include "records.h"

#include "answers/answer_file.h"
#include "app/text/cp932.h"

namespace mirunea::test {

std::string sjis(const std::string& utf8)
{
    return cp932::fromUtf8(utf8);
}

SlotAnswer choose(int choiceCount, std::optional<int> selected)
{
    SlotAnswer slot;
    slot.typeCode = "R";
    slot.choiceCount = choiceCount;
    slot.selected = selected;
    return slot;
}

SlotAnswer tick(std::vector<bool> ticked)
{
    SlotAnswer slot;
    slot.typeCode = "C";
    slot.ticked = std::move(ticked);
    return slot;
}

SlotAnswer type(std::string text)
{
    SlotAnswer slot;
    slot.typeCode = "T";
    slot.text = std::move(text);
    return slot;
}

AnswerRecord answerRecord(std::string computerName, std::string respondentName,
                          std::vector<std::pair<int, SlotAnswer>> answers)
{
    AnswerRecord record;
    record.computerName = std::move(computerName);
    record.respondentName = std::move(respondentName);
    for (auto& [number, slot] : answers)
        record.slotAnswers.at(static_cast<std::size_t>(number - 1)) = std::move(slot);
    return record;
}

std::string joinedLines(const std::vector<std::string>& lines, std::string_view lineBreak)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes.append(line).append(lineBreak);
    return bytes;
}

std::string answerFileBytes(const AnswerRecord& record)
{
    return joinedLines(answerFileLines(record));
}

DataTxt::DataTxt(const std::string& title, const std::string& description, const std::string& namePrompt)
{
    line(title).line(description).line(namePrompt);
}

DataTxt& DataTxt::choices(const std::string& marker, const std::string& question,
                          std::initializer_list<std::string> list)
{
    line(marker + question);
    for (const std::string& choice : list)
        line(choice);
    return line("");
}

DataTxt& DataTxt::choose(const std::string& question, std::initializer_list<std::string> list)
{
    return choices("[R]", question, list);
}

DataTxt& DataTxt::tick(const std::string& question, std::initializer_list<std::string> list)
{
    return choices("[C]", question, list);
}

DataTxt& DataTxt::text(const std::string& question)
{
    return line("[T]" + question);
}

DataTxt& DataTxt::line(const std::string& text)
{
    m_bytes += sjis(text) + m_lineBreak;
    return *this;
}

DataTxt& DataTxt::lineBreak(std::string lineBreak)
{
    m_lineBreak = std::move(lineBreak);
    return *this;
}

} // namespace mirunea::test
