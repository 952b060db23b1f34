// Times the questionnaire reader on large and hostile inputs and reports the
// peak memory of each read. Each case runs in its own child process, so that
// one case's peak does not hide the next one's.
#include "app/failure/io_failure.h"
#include "questionnaire/questionnaire_reader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mirunea;

namespace {

constexpr std::size_t kMegabyte = 1000 * 1000;

struct BenchCase
{
    const char* name;
    std::function<void(std::ofstream&)> write;
};

void writeRun(std::ofstream& out, char byte, std::size_t count)
{
    const std::string chunk(1 << 20, byte);
    for (; count >= chunk.size(); count -= chunk.size())
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    out.write(chunk.data(), static_cast<std::streamsize>(count));
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void measure(const std::filesystem::path& file)
{
    const long before = peakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    try {
        const Questionnaire questionnaire = readQuestionnaireFile(file.string());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        int questions = 0;
        for (const QuestionSlot& slot : questionnaire.questionSlots)
            questions += slot.typeCode.empty() ? 0 : 1;
        std::printf("  %.3f s, peak RSS %ld KiB (%ld KiB before reading); title %zu bytes, %d questions\n", seconds,
                    peakKilobytes(), before, questionnaire.title.size(), questions);
    } catch (const IoFailure& failure) {
        std::printf("  failed with code %d\n", failure.code());
    }
}

} // namespace

int main()
{
    const std::size_t big = 200 * kMegabyte;
    const BenchCase cases[] = {
        {"200 MB title on one line", [&](std::ofstream& out) { writeRun(out, 't', big); }},
        {"200 MB line 5, skipped after a text question",
         [&](std::ofstream& out) {
             out << "t\nd\np\n[T]q\n";
             writeRun(out, 's', big);
             out << "\n[T]after\n";
         }},
        {"200 MB eleventh marker line ending the tenth choice list",
         [&](std::ofstream& out) {
             out << "t\nd\np\n";
             for (int q = 1; q <= 10; ++q)
                 out << "[R]q" << q << "\nchoice\n";
             out << "[R]";
             writeRun(out, 'e', big);
         }},
        {"a million short lines",
         [&](std::ofstream& out) {
             for (int i = 0; i < 1000 * 1000; ++i)
                 out << "line " << i << "\r\n";
         }},
        {"10,000 marker lines",
         [&](std::ofstream& out) {
             out << "t\nd\np\n";
             for (int i = 0; i < 10 * 1000; ++i)
                 out << "[C]question " << i << "\nchoice\n";
         }},
    };

    const auto dir = std::filesystem::temp_directory_path() / ("mirunea-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "data.txt";
    for (const BenchCase& benchCase : cases) {
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            benchCase.write(out);
        }
        std::printf("%s (%ju bytes):\n", benchCase.name, static_cast<std::uintmax_t>(std::filesystem::file_size(file)));
        std::fflush(stdout);
        const pid_t child = ::fork();
        if (child == 0) {
            measure(file);
            std::fflush(stdout);
            std::_Exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
