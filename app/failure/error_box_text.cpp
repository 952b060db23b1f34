#include "app/failure/error_box_text.h"

#include "app/text/shift_jis.h"

#include <cstddef>

namespace mirunea {

namespace {

// Where the last character starts. A trail byte can look like ASCII ("ソ" is
// 83 5C), so the string is walked from its start, character by character.
[[nodiscard]] std::size_t lastCharacterStart(std::string_view sjis)
{
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < sjis.size()) {
        start = i;
        // A lead byte takes the next byte as its trail, whatever that byte is.
        i += cp932::isLeadByte(static_cast<unsigned char>(sjis[i])) ? 2u : 1u;
    }
    return start;
}

} // namespace

std::string errorBoxText(std::string_view sjisMessage)
{
    std::string text(sjisMessage);
    if (sjisMessage.empty())
        return text;
    const std::size_t start = lastCharacterStart(sjisMessage);
    const bool singleByte = start + 1 == sjisMessage.size();
    // A dangling lead byte at the very end counts as a single-byte character above 0x2E.
    if (!singleByte || static_cast<unsigned char>(sjisMessage[start]) > 0x2E)
        text += '.';
    return text;
}

} // namespace mirunea
