#include "app/platform/default_program.h"

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mirunea {

bool openWithDefaultProgram(const std::string& utf8Path)
{
    // An absolute path: xdg-open hands it to a program with a working
    // directory of its own. Given as one argument, never through a shell.
    std::string absolute = utf8Path;
    if (absolute.empty() || absolute.front() != '/') {
        char* here = ::getcwd(nullptr, 0);
        if (here == nullptr)
            return false;
        absolute = std::string(here) + "/" + utf8Path;
        std::free(here);
    }
    char program[] = "xdg-open";
    char* const arguments[] = {program, absolute.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0)
        return false;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace mirunea
