#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirunea::tally {

// Where the run's words go: the console in the program, a string in tests.
class RunOutput
{
public:
    virtual ~RunOutput() = default;
    virtual void out(std::string_view utf8) = 0;
    virtual void err(std::string_view utf8) = 0;
};

inline constexpr int kExitFine = 0;
inline constexpr int kExitFindings = 1; // an error in data.txt, or an answer file not counted
inline constexpr int kExitCouldNotRun = 2;

// One whole run of the teacher's tool: the command line read, the working
// directory changed to the folder, "data.txt" checked (and re-encoded if asked),
// the answer files counted, "tally.html" and "tally.csv" written there, and
// the summary printed. Returns the exit code.
[[nodiscard]] int runTally(const std::vector<std::string>& arguments, RunOutput& output, std::int64_t nowUnixSeconds);

} // namespace mirunea::tally
