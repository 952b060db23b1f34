#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Printable forms of texts for failure messages: bytes as "\xNN" outside
// printable ASCII, UTF-16 as a list of U+XXXX.
namespace mirunea::test {

[[nodiscard]] inline std::string printable(std::string_view bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out + "\"";
}

[[nodiscard]] inline std::string printable(std::u16string_view text)
{
    std::string out;
    for (const char16_t unit : text) {
        char escaped[12];
        std::snprintf(escaped, sizeof escaped, "%sU+%04X", out.empty() ? "" : " ", static_cast<unsigned>(unit));
        out += escaped;
    }
    return "[" + out + "]";
}

// Bytes as lower-case hex digits, two per byte: how the write probe passes
// them on a command line.
[[nodiscard]] inline std::string hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

} // namespace mirunea::test
