#pragma once

#include "tally/run/command_line.h"

namespace mirunea::tally {

// What the tool does once a run is over, besides returning its exit code.
struct RunEnding
{
    bool openReport = false; // tally.html in the default browser
    bool waitForKey = false; // the console kept open until a key is pressed
    bool dropHint = false;   // how to give the tool a folder without a command line
};

// ownConsole: the console was made for this run alone, as for a double
// click in Explorer; it closes with the program, so the run waits for a key
// before it ends, and shows the report the teacher could not ask for with
// --open. From a command prompt only --open opens the report.
[[nodiscard]] RunEnding runEnding(const CommandLine& line, bool ownConsole, int exitCode, bool reportWritten);

} // namespace mirunea::tally
