#include "tally/check/caption_text.h"

#include <string>

namespace mirunea::tally {

std::u32string shownCaption(std::u32string_view caption)
{
    std::u32string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != U'&') {
            shown += caption[i];
            continue;
        }
        if (i + 1 == caption.size())
            break;
        shown += caption[++i];
    }
    return shown;
}

bool losesAnAmpersand(std::u32string_view caption)
{
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != U'&')
            continue;
        if (i + 1 == caption.size() || caption[i + 1] != U'&')
            return true;
        ++i;
    }
    return false;
}

} // namespace mirunea::tally
