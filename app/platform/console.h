#pragma once

#include <string>
#include <string_view>
#include <vector>

// A console program's words in and out, in UTF-8 inside the program. On
// Windows the arguments come from the wide command line and the output goes
// to a console in UTF-16 (WriteConsoleW) or, redirected, in the console's
// code page; on POSIX both are the bytes as they are.
namespace mirunea {

enum class ConsoleStream { Output, Error };

[[nodiscard]] std::vector<std::string> commandLineArguments(int argc, char** argv);

void writeConsole(ConsoleStream stream, std::string_view utf8);

} // namespace mirunea
