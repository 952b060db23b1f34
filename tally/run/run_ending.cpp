#include "tally/run/run_ending.h"

#include "tally/run/tally_run.h"

namespace mirunea::tally {

RunEnding runEnding(const CommandLine& line, bool ownConsole, int exitCode, bool reportWritten)
{
    RunEnding ending;
    ending.openReport = reportWritten && (line.open || ownConsole);
    ending.waitForKey = ownConsole;
    ending.dropHint = ownConsole && exitCode == kExitCouldNotRun;
    return ending;
}

} // namespace mirunea::tally
