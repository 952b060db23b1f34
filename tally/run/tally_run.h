#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirunea::tally {

// What a run is hosted in: the console its words go to and the desktop that
// shows the report (the program's console and desktop; a recording in tests).
class RunHost
{
public:
    virtual ~RunHost() = default;
    virtual void out(std::string_view utf8) = 0;
    virtual void err(std::string_view utf8) = 0;
    // Whether the console was made for this run alone (see runEnding).
    [[nodiscard]] virtual bool consoleIsOwn() = 0;
    // fileName: in the working directory. Returns whether it was opened.
    [[nodiscard]] virtual bool openInBrowser(const std::string& fileName) = 0;
    virtual void waitForKey() = 0;
};

inline constexpr int kExitFine = 0;
inline constexpr int kExitFindings = 1; // an error in data.txt, or an answer file not counted
inline constexpr int kExitCouldNotRun = 2;

// One whole run of the teacher's tool: the command line read, the working
// directory changed to the folder (a file's folder, for a file dropped on the
// tool), "data.txt" checked (and re-encoded if asked),
// the answer files counted, "tally.html" and "tally.csv" written there, and
// the summary printed; then, as runEnding decides, the report opened and a key
// waited for. Returns the exit code.
[[nodiscard]] int runTally(const std::vector<std::string>& arguments, RunHost& host, std::int64_t nowUnixSeconds);

} // namespace mirunea::tally
