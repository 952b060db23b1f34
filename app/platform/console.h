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

// Whether the console was made for this process alone: on Windows, a console
// program started from Explorer (a double click, or a folder dropped on it)
// gets a console of its own, which closes the moment the program ends; one
// started from a command prompt shares the prompt's. Always false on POSIX,
// whose terminals belong to the shell that runs the program.
[[nodiscard]] bool consoleIsOwn();

// Waits until a key is pressed on the console (modifier keys alone do not
// count; keys pressed before the call are dropped). Without a console, reads
// standard input to the end of a line or of the input.
void waitForKey();

} // namespace mirunea
