#include "sheet_folder.h"

#include "answers/answer_file.h"
#include "answers/answer_file_name.h"
#include "app/platform/computer_name.h"
#include "records.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mirunea::test {

void SheetFolder::writeQuestionnaire(const std::vector<std::string>& utf8Lines) const
{
    std::ofstream out(path() / "data.txt", std::ios::binary);
    for (const std::string& line : utf8Lines)
        out << sjis(line) << "\r\n";
    if (!out.flush())
        throw std::runtime_error("cannot write data.txt");
}

void SheetFolder::copyQuestionnaire(const std::filesystem::path& from) const
{
    std::filesystem::copy_file(from, path() / "data.txt");
}

std::string SheetFolder::answerFileName()
{
    return mirunea::answerFileName(localComputerName());
}

bool SheetFolder::hasAnswerFile() const
{
    return std::filesystem::is_regular_file(path() / answerFileName());
}

std::string SheetFolder::answerFileBytes() const
{
    return fileBytes(path() / answerFileName());
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {
std::string thisComputersFirstLine()
{
    // Line 1 carries the computer name made safe as in the file name, but
    // without the "_" a device name ("CON") gets there.
    return fileSafeComputerName(localComputerName()) + "\r\n";
}
} // namespace

std::string expectedAnswerFile(const std::vector<std::string>& utf8LinesAfterName)
{
    return thisComputersFirstLine() + sjis(joinedLines(utf8LinesAfterName));
}

std::string goldenForThisComputer(const std::filesystem::path& golden)
{
    const std::string bytes = fileBytes(golden);
    return thisComputersFirstLine() + bytes.substr(bytes.find("\r\n") + 2);
}

} // namespace mirunea::test
