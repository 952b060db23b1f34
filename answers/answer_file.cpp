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
    // A log-out or a closed terminal while the lines are written would lose
    // the send the pupil is waiting for: such requests wait until it is done.
    const TerminationRequestsHeld held;
    // Each step throws on failure, and the file's destructor then removes what
    // was written: the answers of the previous send stay as they were, and the
    // next send can begin again.
    SharedWriteFile file = files.create(answerFileName(record.computerName));
    for (const std::string& line : answerFileLines(record))
        files.write(file, line + "\r\n");
    files.close(file);
    files.replace(file);
}

} // namespace mirunea
