#include "app/platform/console.h"

#include "app/text/win32/wide_text.h"

#include <windows.h>

#include <shellapi.h>

namespace mirunea {

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    // The narrow argv holds the ANSI code page's approximation of each
    // argument: a folder name in any script needs the wide command line.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(win32::bytesFromWide(CP_UTF8, wide[i]));
    LocalFree(wide);
    return arguments;
}

void writeConsole(ConsoleStream stream, std::string_view utf8)
{
    const HANDLE handle = GetStdHandle(stream == ConsoleStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    std::wstring wide;
    // Lines end in CR LF on Windows, for the console and for a file a
    // teacher redirects the summary into.
    for (const wchar_t c : win32::wideFromBytes(CP_UTF8, utf8)) {
        if (c == L'\n')
            wide += L'\r';
        wide += c;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const UINT consoleCodePage = GetConsoleOutputCP();
    const std::string bytes = win32::bytesFromWide(consoleCodePage != 0 ? consoleCodePage : GetACP(), wide);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace mirunea
