#pragma once

#include <string>
#include <string_view>

namespace mirunea {

// The computer name with every byte a Windows file name cannot carry
// replaced, so that "<name>.ans" stays in the working directory.
[[nodiscard]] std::string fileSafeComputerName(std::string_view computerName);

} // namespace mirunea
