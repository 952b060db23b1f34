#pragma once

#include <string>

namespace mirunea {

// Opens a file the way a double click on it would: on Windows its
// association (ShellExecuteW), on POSIX the desktop's (xdg-open, found on
// PATH, waited for; it hands the file on and ends). utf8Path may be relative
// to the working directory. Returns whether the opener took the file.
[[nodiscard]] bool openWithDefaultProgram(const std::string& utf8Path);

} // namespace mirunea
