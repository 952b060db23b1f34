#pragma once

#include <string_view>

namespace mirunea::tally {

// File names as people sort them: runs of digits by their value ("PC2"
// before "PC10"), letters without regard to case; names equal so far are
// ordered by their bytes, so the order is total.
[[nodiscard]] bool naturalLess(std::string_view a, std::string_view b);

} // namespace mirunea::tally
