#include "answers/answer_file.h"

#include "answers/answer_file_name.h"
#include "app/platform/file_layer.h"
#include "app/platform/process.h"

namespace mirunea {

namespace {

[[nodiscard]] std::string sectionLine(int slotNumber, const std::string& typeCode)
{
    return "[Q" + std::to_string(slotNumber) + typeCode + "]";
}

[[nodiscard]] const char* flagLine(bool set)
{
    return set ? "1" : "0";
}

void appendSlotLines(std::vector<std::string>& lines, int slotNumber, const SlotAnswer& slot)
{
    if (slot.typeCode == "R") {
        lines.push_back(sectionLine(slotNumber, slot.typeCode));
        for (int choice = 1; choice <= slot.choiceCount; ++choice)
            lines.emplace_back(flagLine(slot.selected == choice));
    } else if (slot.typeCode == "C") {
        lines.push_back(sectionLine(slotNumber, slot.typeCode));
        for (const bool ticked : slot.ticked)
            lines.emplace_back(flagLine(ticked));
    } else if (slot.typeCode == "T") {
        lines.push_back(sectionLine(slotNumber, slot.typeCode));
        lines.push_back(slot.text);
    }
    // Any other type code is no question and leaves no trace.
}

} // namespace

std::vector<std::string> answerFileLines(const AnswerRecord& record)
{
    std::vector<std::string> lines;
    // Line 1 agrees with the file's name.
    lines.push_back(fileSafeComputerName(record.computerName));
    lines.push_back(record.respondentName);
    for (int slotNumber = 1; slotNumber <= kSlotCount; ++slotNumber)
        appendSlotLines(lines, slotNumber, record.slotAnswers[static_cast<std::size_t>(slotNumber - 1)]);
    lines.emplace_back("[END]");
    return lines;
}

void writeAnswerFile(const AnswerRecord& record)
{
    WriteFileLayer platform;
    writeAnswerFile(record, platform);
}

void writeAnswerFile(const AnswerRecord& record, WriteFileLayer& files)
{
    std::string content;
    for (const std::string& line : answerFileLines(record))
        content += line + "\r\n";
    // A log-out or a closed terminal between the emptying and the last byte
    // would leave the file cut off: such requests wait until it is closed.
    const TerminationRequestsHeld held;
    // Each step throws on failure; the file is then closed by its destructor,
    // so a later send can create it again. One write: the lines go in whole.
    SharedWriteFile file = files.create(answerFileName(record.computerName));
    files.write(file, content);
    files.close(file);
}

} // namespace mirunea
