#include "app/platform/console.h"
#include "tally/run/tally_run.h"

#include <chrono>

namespace {

class ConsoleOutput : public mirunea::tally::RunOutput
{
public:
    void out(std::string_view utf8) override { mirunea::writeConsole(mirunea::ConsoleStream::Output, utf8); }
    void err(std::string_view utf8) override { mirunea::writeConsole(mirunea::ConsoleStream::Error, utf8); }
};

} // namespace

// The teacher's tool: checks a questionnaire folder's "data.txt" and tallies its answer files.
int main(int argc, char** argv)
{
    ConsoleOutput output;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return mirunea::tally::runTally(mirunea::commandLineArguments(argc, argv), output,
                                    std::chrono::duration_cast<std::chrono::seconds>(now).count());
}
