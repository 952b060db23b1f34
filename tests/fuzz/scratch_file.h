#pragma once

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

// One private folder per fuzzing process holding "data.txt", removed at exit.
// Plain arrays: the exit handler runs after static strings are destroyed.
namespace mirunea::fuzz {

inline const char* scratchFile()
{
    static char folder[] = "/tmp/mirunea-fuzz-XXXXXX";
    static char file[sizeof folder + sizeof "/data.txt"];
    if (file[0] == '\0') {
        if (!::mkdtemp(folder))
            std::abort();
        std::snprintf(file, sizeof file, "%s/data.txt", folder);
        std::atexit([] {
            ::unlink(file);
            ::rmdir(folder);
        });
    }
    return file;
}

} // namespace mirunea::fuzz
