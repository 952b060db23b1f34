// Reads arbitrary bytes as an answer file, as the teacher's tool meets whatever a folder holds:
// the reader must neither crash nor read past the input, and whatever it takes for a whole answer
// file must be what the writer makes of the record it read.
#include "answers/answer_file.h"
#include "answers/answer_file_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const mirunea::AnswerFileContent content = mirunea::parseAnswerFile(bytes);
    if (content.faults.size() != content.faultKinds.size())
        std::abort();
    if (!content.wellFormed())
        return 0;
    if (!content.ended)
        std::abort();
    // The writer makes the computer name safe on line 1 (a file name is made of it); every line
    // after it must come back exactly.
    std::string written;
    const auto lines = mirunea::answerFileLines(content.record);
    for (std::size_t i = 1; i < lines.size(); ++i)
        written += lines[i] + "\r\n";
    const std::size_t firstBreak = bytes.find("\r\n");
    if (firstBreak == std::string_view::npos)
        std::abort();
    const std::string_view afterFirst = bytes.substr(firstBreak + 2);
    // The last line's CR LF, or its LF, may be missing from a file taken as whole.
    if (written != afterFirst && written != std::string(afterFirst) + "\r\n"
        && written != std::string(afterFirst) + "\n")
        std::abort();
    return 0;
}
