#include "tally/check/line_text.h"

#include "tally/check/unicode_text.h"

namespace mirunea::tally {

namespace {

constexpr std::size_t kQuotedCharacters = 30;
// Far more than a panel shows: no check looks further into a line.
constexpr std::size_t kWrittenBytes = 4096;

} // namespace

std::u32string writtenText(const WalkedLine& line, FileEncoding encoding)
{
    std::string_view bytes = std::string_view(line.bytes).substr(0, kWrittenBytes);
    switch (encoding) {
    case FileEncoding::Utf8:
    case FileEncoding::Utf8WithBom:
        if (line.number == 1 && bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        return decodeUtf8(bytes);
    default:
        // UTF-16 has no lines of its own here: the sheet's lines are what counts.
        return decodeShiftJis(bytes);
    }
}

std::string shortened(std::u32string_view text, std::size_t maxCharacters)
{
    std::u32string shown(text.substr(0, maxCharacters));
    for (char32_t& c : shown) {
        if ((c < 0x20 && c != U'\t') || c == 0x7F)
            c = kReplacement;
    }
    std::string out = utf8Of(shown);
    if (text.size() > maxCharacters)
        out += "…";
    return out;
}

std::string shownText(std::string_view bytes, std::size_t maxCharacters)
{
    // Two bytes at most a character: no need to decode more of a long line.
    return shortened(decodeShiftJis(bytes.substr(0, 2 * maxCharacters + 2)), maxCharacters);
}

std::string quoted(std::u32string_view text)
{
    return "「" + shortened(text, kQuotedCharacters) + "」";
}

std::string kindName(char marker)
{
    switch (marker) {
    case 'R':
        return "択一";
    case 'C':
        return "複数選択";
    default:
        return "記述";
    }
}

} // namespace mirunea::tally
