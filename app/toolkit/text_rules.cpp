#include "app/toolkit/text_rules.h"

#include "app/text/cp932.h"

#include <algorithm>

namespace mirunea::toolkit::rules {

namespace {

[[nodiscard]] bool breaksTheLine(char16_t c)
{
    return c < 0x20 && c != u'\t';
}

} // namespace

std::u16string shownText(std::string_view sjis)
{
    // A character takes one or two bytes, so twice the limit in bytes gives
    // enough characters; a double-byte character cut in two at the end lies
    // beyond the limit and is dropped with the rest.
    std::u16string shown = cp932::decode(sjis.substr(0, 2 * kMaxShownCharacters));
    if (shown.size() > kMaxShownCharacters)
        shown.resize(kMaxShownCharacters);
    return shown;
}

std::u16string withoutLineBreaks(std::u16string_view text)
{
    std::u16string oneLine;
    oneLine.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // CR LF is one break
        oneLine += breaksTheLine(text[i]) ? u' ' : text[i];
    }
    return oneLine;
}

bool isOneLine(std::u16string_view text)
{
    return std::none_of(text.begin(), text.end(), breaksTheLine);
}

} // namespace mirunea::toolkit::rules
