#include "tally/report/html_escape.h"

namespace mirunea::tally::report {

void appendEscapedHtml(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '\0': // a parse error in HTML; shown as the replacement character anyway
            out += "&#xFFFD;";
            break;
        default:
            out += c;
        }
    }
}

std::string escapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    appendEscapedHtml(out, text);
    return out;
}

} // namespace mirunea::tally::report
