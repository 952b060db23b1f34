#pragma once

#include <string>
#include <string_view>

namespace mirunea::tally::report {

// Text for an HTML element or a quoted attribute value: every character that
// could end either or start markup becomes a character reference.
void appendEscapedHtml(std::string& out, std::string_view text);
[[nodiscard]] std::string escapeHtml(std::string_view text);

} // namespace mirunea::tally::report
