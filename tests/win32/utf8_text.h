#pragma once

#include "app/text/win32/wide_text.h"

#include <windows.h>

#include <string>

// UTF-8, the tests' own text, to and from Win32's UTF-16.
namespace mirunea::test {

[[nodiscard]] inline std::string utf8(const std::wstring& text)
{
    return win32::bytesFromWide(CP_UTF8, text);
}

[[nodiscard]] inline std::wstring wide(const std::string& utf8Text)
{
    return win32::wideFromBytes(CP_UTF8, utf8Text);
}

} // namespace mirunea::test
