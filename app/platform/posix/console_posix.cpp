#include "app/platform/console.h"

#include <cstdio>

namespace mirunea {

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void writeConsole(ConsoleStream stream, std::string_view utf8)
{
    std::FILE* file = stream == ConsoleStream::Output ? stdout : stderr;
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fflush(file);
}

bool consoleIsOwn()
{
    return false;
}

void waitForKey()
{
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n') { }
}

} // namespace mirunea
