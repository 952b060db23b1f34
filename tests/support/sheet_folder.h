#pragma once

#include "working_folder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mirunea::test {

// The working folder of one test (see working_folder.h) with what a sheet
// reads from it and writes to it.
class SheetFolder
{
public:
    [[nodiscard]] const std::filesystem::path& path() const { return m_folder.path(); }

    // Writes data.txt: each line (UTF-8 here) in Shift-JIS, ended by CR LF.
    void writeQuestionnaire(const std::vector<std::string>& utf8Lines) const;
    void copyQuestionnaire(const std::filesystem::path& from) const;

    // This computer's answer file, as the send action names it.
    [[nodiscard]] static std::string answerFileName();
    [[nodiscard]] bool hasAnswerFile() const;
    [[nodiscard]] std::string answerFileBytes() const;

private:
    WorkingFolder m_folder;
};

[[nodiscard]] std::string fileBytes(const std::filesystem::path& path);

// The bytes of an answer file: the computer name, then the given lines (UTF-8
// here, Shift-JIS in the file), each ended by CR LF.
[[nodiscard]] std::string expectedAnswerFile(const std::vector<std::string>& utf8LinesAfterName);

// A golden answer file with this computer's name on its first line.
[[nodiscard]] std::string goldenForThisComputer(const std::filesystem::path& golden);

} // namespace mirunea::test
