#pragma once

#include <string>
#include <string_view>

// Text to and from the W functions' UTF-16 through Windows's own converter,
// in a code page (CP_UTF8 included), with the converter's default rules.
namespace mirunea::win32 {

[[nodiscard]] std::string bytesFromWide(unsigned codePage, std::wstring_view wide);
[[nodiscard]] std::wstring wideFromBytes(unsigned codePage, std::string_view bytes);

} // namespace mirunea::win32
