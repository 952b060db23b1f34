// The tally of a large folder, timed from outside against reading the same
// files with cat:
//   mirunea_bench_tally make FOLDER [FILES [TEXT_CHARACTERS]]
//       writes the example questionnaire and FILES answer files (10,000) with
//       the real writer, random answers, "T" texts of up to TEXT_CHARACTERS
//       (40) characters;
//   mirunea_bench_tally tally FOLDER
//       tallies FOLDER as the tool does and prints the counts, the time and
//       the peak memory.
#include "answers/answer_file.h"
#include "app/failure/io_failure.h"
#include "app/text/cp932.h"
#include "questionnaire/questionnaire_reader.h"
#include "tally/count/tally.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>

using namespace mirunea;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: mirunea_bench_tally make FOLDER [FILES [TEXT_CHARACTERS]] | tally FOLDER\n");
    return 2;
}

SlotAnswer randomAnswer(std::mt19937& random, const QuestionSlot& question, int textCharacters)
{
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    SlotAnswer answer;
    answer.typeCode = question.typeCode;
    const int choices = static_cast<int>(question.choices.size());
    if (question.typeCode == "R") {
        answer.choiceCount = choices;
        if (choices > 0 && below(10) != 0)
            answer.selected = 1 + below(choices);
    } else if (question.typeCode == "C") {
        for (int c = 0; c < choices; ++c)
            answer.ticked.push_back(below(2) == 0);
    } else if (question.typeCode == "T") {
        const std::string pieces[] = {cp932::fromUtf8("楽しかった"), cp932::fromUtf8("運動会"), "ABC ",
                                      cp932::fromUtf8("ソフトボール"), cp932::fromUtf8("。")};
        for (int n = below(textCharacters / 4 + 1); n > 0; --n)
            answer.text += pieces[below(5)];
    }
    return answer;
}

int make(const std::filesystem::path& folder, int files, int textCharacters)
{
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(MIRUNEA_EXAMPLES "/data.txt", folder / "data.txt",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(folder);
    const Questionnaire questionnaire = readQuestionnaire();
    std::mt19937 random(1);
    for (int i = 1; i <= files; ++i) {
        AnswerRecord record;
        char name[16];
        std::snprintf(name, sizeof name, "PC%05d", i);
        record.computerName = name;
        record.respondentName = cp932::fromUtf8("生徒 ") + std::to_string(i);
        for (std::size_t q = 0; q < record.slotAnswers.size(); ++q)
            record.slotAnswers[q] = randomAnswer(random, questionnaire.questionSlots[q], textCharacters);
        writeAnswerFile(record);
    }
    std::printf("%d answer files in %s\n", files, folder.c_str());
    return 0;
}

int tallyOnce(const std::filesystem::path& folder)
{
    const auto start = std::chrono::steady_clock::now();
    std::filesystem::current_path(folder);
    const Questionnaire questionnaire = readQuestionnaire();
    const tally::Tally result = tally::tallyFolder(questionnaire, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%zu files counted, %zu problems, %zu notes; slot 1:", result.files.size(), result.problems.size(),
                result.notes.size());
    for (const int count : result.questions[0].choiceCounts)
        std::printf(" %d", count);
    std::printf("; %.3f s, peak RSS %ld KiB\n", seconds, usage.ru_maxrss);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    const std::string mode = argv[1];
    try {
        if (mode == "make")
            return make(argv[2], argc > 3 ? std::stoi(argv[3]) : 10000, argc > 4 ? std::stoi(argv[4]) : 40);
        if (mode == "tally")
            return tallyOnce(argv[2]);
    } catch (const IoFailure& failure) {
        std::fprintf(stderr, "failed with code %d\n", failure.code());
        return 1;
    }
    return usage();
}
