#pragma once

#include <windows.h>

#include <string>

// Shift-JIS texts of the program to and from the UTF-16 of the W functions,
// so that the program is right whatever the ANSI code page of this Windows.
namespace mirunea::win32 {

[[nodiscard]] std::wstring toWide(const std::string& sjis);
[[nodiscard]] std::string toSjis(const std::wstring& text);

// A single-line control's text: line breaks that got in (a paste, a message
// from another program) become spaces, and so does every other control character
// below U+0020 except tab, so a line of the answer file stays one line.
[[nodiscard]] std::wstring withoutLineBreaks(std::wstring text);

// The character after the first single "&", upper-cased; 0 when there is none.
[[nodiscard]] wchar_t accessKeyOf(const std::wstring& caption);

[[nodiscard]] std::wstring windowText(HWND window);

} // namespace mirunea::win32
