// Builds an answer record from arbitrary bytes and turns it into the answer
// file's lines and name, checking what must hold for every record.
#include "answers/answer_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Takes bytes from the front of the input; runs dry into zeros and empty texts.
class ByteSource
{
public:
    ByteSource(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size)
    {
    }

    [[nodiscard]] unsigned byte()
    {
        if (m_rest.empty())
            return 0;
        const auto value = static_cast<unsigned char>(m_rest.front());
        m_rest.remove_prefix(1);
        return value;
    }

    [[nodiscard]] std::string text()
    {
        const std::size_t length = std::min<std::size_t>(byte() * 4, m_rest.size());
        std::string taken(m_rest.substr(0, length));
        m_rest.remove_prefix(length);
        return taken;
    }

private:
    std::string_view m_rest;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ByteSource source(data, size);
    mirunea::AnswerRecord record;
    record.computerName = source.text();
    record.respondentName = source.text();
    static const char* const kTypes[] = {"", "R", "C", "T", "X"};
    for (mirunea::SlotAnswer& slot : record.slotAnswers) {
        slot.typeCode = kTypes[source.byte() % 5];
        // Counts and selections out of range on purpose: the writer must not trust them.
        slot.choiceCount = static_cast<int>(source.byte() % 8) - 1;
        if (const unsigned selected = source.byte(); selected % 2)
            slot.selected = static_cast<int>(selected % 9) - 1;
        for (unsigned i = source.byte() % 8; i > 0; --i)
            slot.ticked.push_back(source.byte() % 2);
        slot.text = source.text();
    }

    const auto lines = mirunea::answerFileLines(record);
    if (lines.size() < 3 || lines.back() != "[END]")
        std::abort();
    const std::string name = mirunea::answerFileName(record.computerName);
    // The file must stay in the working directory under a plain name.
    if (name.size() < 4 || name.substr(name.size() - 4) != ".ans")
        std::abort();
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
        std::abort();
    return 0;
}
