#include "tally/check/near_miss_marker.h"

namespace mirunea::tally {

namespace {

[[nodiscard]] bool isBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\u3000';
}

[[nodiscard]] bool isOpening(char32_t c)
{
    return c == U'[' || c == U'\uFF3B' || c == U'\u3010' || c == U'\u3014';
}

[[nodiscard]] bool isClosing(char32_t c)
{
    return c == U']' || c == U'\uFF3D' || c == U'\u3011' || c == U'\u3015';
}

[[nodiscard]] bool isKindLetter(char32_t c)
{
    for (const char32_t letter : std::u32string_view(U"RCTrctＲＣＴｒｃｔ")) {
        if (c == letter)
            return true;
    }
    return false;
}

} // namespace

bool looksLikeMarker(std::u32string_view text)
{
    std::size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && isBlank(text[at]))
            ++at;
    };
    skipBlanks();
    if (at == text.size() || !isOpening(text[at++]))
        return false;
    skipBlanks();
    if (at == text.size() || !isKindLetter(text[at++]))
        return false;
    skipBlanks();
    return at < text.size() && isClosing(text[at]);
}

} // namespace mirunea::tally
