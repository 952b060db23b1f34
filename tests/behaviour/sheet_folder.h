#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mirunea::test {

// A fresh folder made the working directory for one test, as the program
// runs in the shared folder; the previous one is restored afterwards.
class SheetFolder
{
public:
    SheetFolder();
    SheetFolder(const SheetFolder&) = delete;
    SheetFolder& operator=(const SheetFolder&) = delete;
    ~SheetFolder();

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }

    // Writes data.txt: each line (UTF-8 here) in Shift-JIS, ended by CR LF.
    void writeQuestionnaire(const std::vector<std::string>& utf8Lines) const;
    void copyQuestionnaire(const std::filesystem::path& from) const;

    // This computer's answer file, as the send action names it.
    [[nodiscard]] static std::string answerFileName();
    [[nodiscard]] bool hasAnswerFile() const;
    [[nodiscard]] std::string answerFileBytes() const;

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

[[nodiscard]] std::string fileBytes(const std::filesystem::path& path);

// The bytes of an answer file: the computer name, then the given lines (UTF-8
// here, Shift-JIS in the file), each ended by CR LF.
[[nodiscard]] std::string expectedAnswerFile(const std::vector<std::string>& utf8LinesAfterName);

// A golden answer file with this computer's name on its first line.
[[nodiscard]] std::string goldenForThisComputer(const std::filesystem::path& golden);

} // namespace mirunea::test
