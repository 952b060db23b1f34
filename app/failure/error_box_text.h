#pragma once

#include <string>
#include <string_view>

namespace mirunea {

// The error box's text: the message with a final "." unless it is empty or
// already ends in a single-byte character from 0x00 to 0x2E.
[[nodiscard]] std::string errorBoxText(std::string_view sjisMessage);

} // namespace mirunea
