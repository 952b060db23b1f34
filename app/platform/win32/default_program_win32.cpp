#include "app/platform/default_program.h"

#include "app/text/win32/wide_text.h"

#include <windows.h>

#include <shellapi.h>

namespace mirunea {

bool openWithDefaultProgram(const std::string& utf8Path)
{
    // The association gets a full path: the program it starts has a working
    // directory of its own.
    const std::wstring relative = win32::wideFromBytes(CP_UTF8, utf8Path);
    const DWORD size = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return false;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(relative.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return false;
    full.resize(length);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", full.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success (the function's documented convention).
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace mirunea
