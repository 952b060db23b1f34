#pragma once

#include <string>
#include <vector>

namespace mirunea::tally {

// What the teacher asked for on the command line.
struct CommandLine
{
    std::string folder = "."; // UTF-8
    bool fixEncoding = false;
    bool open = false; // tally.html shown in the default browser once written
    bool help = false;
    bool version = false;
    std::string error; // UTF-8; not empty: the command line is wrong, and why
};

// arguments: UTF-8, the program's name first.
[[nodiscard]] CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help, UTF-8.
[[nodiscard]] std::string usageText();

} // namespace mirunea::tally
