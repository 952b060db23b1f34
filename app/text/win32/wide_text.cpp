#include "app/text/win32/wide_text.h"

#include <windows.h>

namespace mirunea::win32 {

std::string bytesFromWide(unsigned codePage, std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const auto size = static_cast<int>(wide.size());
    const int count = ::WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), count, nullptr, nullptr);
    return bytes;
}

std::wstring wideFromBytes(unsigned codePage, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const auto size = static_cast<int>(bytes.size());
    const int count = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), count);
    return wide;
}

} // namespace mirunea::win32
