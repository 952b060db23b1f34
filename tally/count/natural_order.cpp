#include "tally/count/natural_order.h"

namespace mirunea::tally {

namespace {

[[nodiscard]] bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[nodiscard]] unsigned char folded(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

[[nodiscard]] std::string_view digitRun(std::string_view text, std::size_t from)
{
    std::size_t end = from;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return text.substr(from, end - from);
}

// Compares two digit runs by value, however long: leading zeros dropped,
// then the longer is larger, then digit by digit. Equal values give 0.
[[nodiscard]] int compareNumbers(std::string_view a, std::string_view b)
{
    const auto withoutZeros = [](std::string_view run) {
        const std::size_t first = run.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : run.substr(first);
    };
    a = withoutZeros(a);
    b = withoutZeros(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int compared = a.compare(b);
    return compared < 0 ? -1 : (compared > 0 ? 1 : 0);
}

// Less than 0, 0 or more than 0, as the names compare for people.
[[nodiscard]] int compareNaturally(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view runA = digitRun(a, i);
            const std::string_view runB = digitRun(b, j);
            if (const int compared = compareNumbers(runA, runB); compared != 0)
                return compared;
            i += runA.size();
            j += runB.size();
            continue;
        }
        if (folded(a[i]) != folded(b[j]))
            return folded(a[i]) < folded(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    const bool aLeft = i < a.size();
    const bool bLeft = j < b.size();
    return aLeft == bLeft ? 0 : (aLeft ? 1 : -1);
}

} // namespace

bool naturalLess(std::string_view a, std::string_view b)
{
    const int compared = compareNaturally(a, b);
    return compared != 0 ? compared < 0 : a < b;
}

} // namespace mirunea::tally
