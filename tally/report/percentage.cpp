#include "tally/report/percentage.h"

#include <algorithm>
#include <cstdint>

namespace mirunea::tally::report {

namespace {

// Tenths of a percent, i.e. thousandths, rounded half up and kept in range.
std::int64_t thousandths(int count, int total)
{
    if (total <= 0 || count <= 0)
        return 0;
    const std::int64_t clamped = std::min(count, total);
    return (clamped * 1000 + total / 2) / total;
}

} // namespace

std::string percentText(int count, int total)
{
    const std::int64_t value = thousandths(count, total);
    return std::to_string(value / 10) + "." + std::to_string(value % 10);
}

int perMille(int count, int total)
{
    return static_cast<int>(thousandths(count, total));
}

} // namespace mirunea::tally::report
