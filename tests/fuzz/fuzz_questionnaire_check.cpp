// Checks arbitrary bytes as a "data.txt", as the teacher's tool does before class: the check must
// not crash, and its own walk through the lines must agree with the reader the sheet uses, which
// reads the same bytes from a file.
#include "questionnaire/questionnaire_reader.h"
#include "scratch_file.h"
#include "tally/check/line_walk.h"
#include "tally/check/questionnaire_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[nodiscard]] bool sameQuestions(const mirunea::Questionnaire& a, const mirunea::Questionnaire& b)
{
    if (a.title != b.title || a.description != b.description || a.namePrompt != b.namePrompt)
        return false;
    for (std::size_t i = 0; i < a.questionSlots.size(); ++i) {
        const mirunea::QuestionSlot& x = a.questionSlots[i];
        const mirunea::QuestionSlot& y = b.questionSlots[i];
        if (x.typeCode != y.typeCode || x.questionText != y.questionText || x.choices != y.choices)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const char* file = mirunea::fuzz::scratchFile();
    std::FILE* out = std::fopen(file, "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0)
        std::abort();
    const mirunea::Questionnaire asRead = mirunea::readQuestionnaireFile(file);
    if (!sameQuestions(mirunea::tally::walkLines(bytes).questionnaire, asRead))
        std::abort();
    const mirunea::tally::QuestionnaireCheck check = mirunea::tally::checkQuestionnaire(bytes, asRead);
    for (std::size_t i = 1; i < check.findings.size(); ++i) {
        // Errors first, then warnings, then notes.
        if (check.findings[i - 1].severity > check.findings[i].severity)
            std::abort();
    }
    return 0;
}
