#include "tally/check/encoding_fix.h"

#include "app/text/cp932_compatible.h"
#include "tally/check/unicode_text.h"

#include <cstdio>

namespace mirunea::tally {

namespace {

// Enough to show what needs changing; a file of thousands more is summed up.
constexpr std::size_t kMaxListed = 200;

[[nodiscard]] std::string codePointName(char32_t codePoint)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
    return name;
}

class Refusals
{
public:
    void add(int lineNumber, const std::string& what)
    {
        if (m_listed.size() < kMaxListed)
            m_listed.push_back(std::to_string(lineNumber) + " 行目: " + what);
        else
            ++m_more;
    }

    [[nodiscard]] std::vector<std::string> list() &&
    {
        if (m_more > 0)
            m_listed.push_back("ほかに " + std::to_string(m_more) + " 文字");
        return std::move(m_listed);
    }

private:
    std::vector<std::string> m_listed;
    std::size_t m_more = 0;
};

void appendShiftJis(std::string& out, std::uint16_t bytes)
{
    if (bytes >= 0x100)
        out += static_cast<char>(bytes >> 8);
    out += static_cast<char>(bytes & 0xFF);
}

} // namespace

EncodingFix toShiftJis(std::string_view fileBytes, FileEncoding from)
{
    EncodingFix fix;
    std::u32string text;
    switch (from) {
    case FileEncoding::ShiftJis:
    case FileEncoding::InvalidShiftJis:
        fix.shiftJis = std::string(fileBytes);
        return fix;
    case FileEncoding::Utf8:
        break;
    case FileEncoding::Utf8WithBom:
        if (fileBytes.starts_with("\xEF\xBB\xBF"))
            fileBytes.remove_prefix(3);
        break;
    case FileEncoding::Utf16LittleEndian:
    case FileEncoding::Utf16BigEndian: {
        const bool bigEndian = from == FileEncoding::Utf16BigEndian;
        if (fileBytes.starts_with(bigEndian ? "\xFE\xFF" : "\xFF\xFE"))
            fileBytes.remove_prefix(2);
        text = decodeUtf16(fileBytes, bigEndian);
        break;
    }
    }

    Refusals refusals;
    int lineNumber = 1;
    const auto convert = [&](char32_t codePoint) {
        if (const auto bytes = cp932::shiftJisOf(codePoint)) {
            appendShiftJis(fix.shiftJis, *bytes);
        } else {
            refusals.add(lineNumber, "「" + utf8Of(codePoint) + "」(" + codePointName(codePoint) + ")");
        }
        if (codePoint == U'\n')
            ++lineNumber;
    };
    fix.shiftJis.reserve(fileBytes.size());
    if (from == FileEncoding::Utf8 || from == FileEncoding::Utf8WithBom) {
        for (std::size_t at = 0; at < fileBytes.size();) {
            const DecodedCharacter character = decodeUtf8At(fileBytes, at);
            if (character.valid) {
                convert(character.codePoint);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(fileBytes[at]));
                refusals.add(lineNumber, std::string("UTF-8 として正しくないバイト ") + hex);
            }
            at += character.length;
        }
    } else {
        for (const char32_t codePoint : text)
            convert(codePoint);
    }
    fix.unmappable = std::move(refusals).list();
    if (!fix.ok())
        fix.shiftJis.clear();
    return fix;
}

} // namespace mirunea::tally
