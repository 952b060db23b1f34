#pragma once

#include <windows.h>

#include <string>

// UTF-8, the tests' own text, to and from Win32's UTF-16.
namespace mirunea::test {

[[nodiscard]] inline std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

[[nodiscard]] inline std::wstring wide(const std::string& utf8Text)
{
    if (utf8Text.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), out.data(), size);
    return out;
}

} // namespace mirunea::test
