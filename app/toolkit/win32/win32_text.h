#pragma once

#include <windows.h>

#include <string>

// Shift-JIS texts of the program to and from the UTF-16 of the W functions,
// so that the program is right whatever the ANSI code page of this Windows.
namespace mirunea::win32 {

[[nodiscard]] std::wstring toWide(const std::string& sjis);
[[nodiscard]] std::string toSjis(const std::wstring& text);

// A questionnaire text as the controls show it: cut as the text rules say.
[[nodiscard]] std::wstring toShownWide(const std::string& sjis);

// A single-line control's text by the text rules' one-line rule: line breaks
// that got in (a paste, a message from another program) become spaces.
[[nodiscard]] std::wstring withoutLineBreaks(const std::wstring& text);

// The character after the first single "&", upper-cased; 0 when there is none.
[[nodiscard]] wchar_t accessKeyOf(const std::wstring& caption);

[[nodiscard]] std::wstring windowText(HWND window);

} // namespace mirunea::win32
