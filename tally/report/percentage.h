#pragma once

#include <string>

namespace mirunea::tally::report {

// count of total as a percentage with one decimal, rounded half up ("30.0");
// "0.0" when there is nothing to count. Integer arithmetic: no locale, the
// same digits on every platform.
[[nodiscard]] std::string percentText(int count, int total);

// The bar's length in thousandths of its track, from 0 to 1000.
[[nodiscard]] int perMille(int count, int total);

} // namespace mirunea::tally::report
