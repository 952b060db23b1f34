#include "app/platform/console.h"
#include "app/platform/default_program.h"
#include "tally/run/tally_run.h"

#include <chrono>

namespace {

class ConsoleAndDesktop : public mirunea::tally::RunHost
{
public:
    void out(std::string_view utf8) override { mirunea::writeConsole(mirunea::ConsoleStream::Output, utf8); }
    void err(std::string_view utf8) override { mirunea::writeConsole(mirunea::ConsoleStream::Error, utf8); }
    bool consoleIsOwn() override { return mirunea::consoleIsOwn(); }
    bool openInBrowser(const std::string& fileName) override { return mirunea::openWithDefaultProgram(fileName); }
    void waitForKey() override { mirunea::waitForKey(); }
};

} // namespace

// The teacher's tool: checks a questionnaire folder's "data.txt" and tallies its answer files.
int main(int argc, char** argv)
{
    ConsoleAndDesktop host;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return mirunea::tally::runTally(mirunea::commandLineArguments(argc, argv), host,
                                    std::chrono::duration_cast<std::chrono::seconds>(now).count());
}
