// Feeds arbitrary bytes to the questionnaire reader through a real file, as
// the program meets them, and checks the model's limits.
#include "app/failure/io_failure.h"
#include "questionnaire/questionnaire_reader.h"
#include "scratch_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

using mirunea::fuzz::scratchFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = scratchFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();

    try {
        const mirunea::Questionnaire questionnaire = mirunea::readQuestionnaireFile(path);
        bool ended = false;
        for (const mirunea::QuestionSlot& slot : questionnaire.questionSlots) {
            const std::string& type = slot.typeCode;
            if (type != "R" && type != "C" && type != "T" && !type.empty())
                std::abort();
            if (slot.choices.size() > static_cast<std::size_t>(mirunea::kMaxChoices))
                std::abort();
            if ((type == "T" || type.empty()) && !slot.choices.empty())
                std::abort();
            // Slots fill from the first: no question after an empty slot.
            if (ended && !type.empty())
                std::abort();
            ended = ended || type.empty();
        }
    } catch (const mirunea::IoFailure&) {
        // A readable file is never refused for its content.
        std::abort();
    }
    return 0;
}
