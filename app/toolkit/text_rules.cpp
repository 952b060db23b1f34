#include "app/toolkit/text_rules.h"

#include "app/text/cp932.h"
#include "app/text/cp932_compatible.h"
#include "app/text/cp932_tables.h"

#include <algorithm>

namespace mirunea::toolkit::rules {

namespace {

[[nodiscard]] bool breaksTheLine(char16_t c)
{
    return c < 0x20 && c != u'\t';
}

// Whether the character reads back as itself once written; surrogates never
// do, as each code point beyond the BMP is written as "?".
[[nodiscard]] bool writtenAsItself(char16_t c)
{
    if (c < 0x80)
        return true; // ASCII is its own Shift-JIS
    const auto bytes = cp932::shiftJisOf(c);
    if (!bytes)
        return false;
    const char sjis[2] = {static_cast<char>(*bytes >> 8), static_cast<char>(*bytes & 0xFF)};
    const std::string_view written = *bytes < 0x100 ? std::string_view(sjis + 1, 1) : std::string_view(sjis, 2);
    return cp932::decode(written) == std::u16string_view(&c, 1);
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

std::u16string asWritten(std::u16string_view text)
{
    return cp932::decode(cp932::encode(text));
}

bool isAsWritten(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), writtenAsItself);
}

std::u16string typedText(std::u16string_view text)
{
    return asWritten(withoutLineBreaks(text));
}

std::size_t caretInTypedText(std::u16string_view text, std::size_t caret)
{
    // A caret between the halves of a pair or of a CR LF counts as after both.
    return std::min(typedText(text.substr(0, std::min(caret, text.size()))).size(), typedText(text).size());
}

bool awaitsSecondHalf(std::u16string_view text, std::size_t caret)
{
    return caret > 0 && caret <= text.size() && cp932::isHighSurrogate(text[caret - 1])
        && (caret == text.size() || !cp932::isLowSurrogate(text[caret]));
}

} // namespace mirunea::toolkit::rules
