#pragma once

#include <string>

namespace mirunea {

// The local computer's name, at most 15 bytes; empty when it cannot be had.
[[nodiscard]] std::string localComputerName();

} // namespace mirunea
