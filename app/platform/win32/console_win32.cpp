#include "app/platform/console.h"

#include "app/text/win32/wide_text.h"

#include <windows.h>

#include <shellapi.h>

#include <array>

namespace mirunea {

namespace {

[[nodiscard]] bool isModifierKey(WORD virtualKey)
{
    switch (virtualKey) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

} // namespace

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

bool consoleIsOwn()
{
    // Two are enough to tell: this process alone, or it and whoever else.
    std::array<DWORD, 2> processes{};
    return GetConsoleProcessList(processes.data(), static_cast<DWORD>(processes.size())) == 1;
}

void waitForKey()
{
    // The console's own input, even where standard input was redirected.
    const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) {
        char byte = 0;
        DWORD read = 0;
        const HANDLE standardInput = GetStdHandle(STD_INPUT_HANDLE);
        while (standardInput != nullptr && standardInput != INVALID_HANDLE_VALUE
               && ReadFile(standardInput, &byte, 1, &read, nullptr) && read == 1 && byte != '\n') { }
        return;
    }
    FlushConsoleInputBuffer(input);
    INPUT_RECORD record{};
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown
            && !isModifierKey(record.Event.KeyEvent.wVirtualKeyCode))
            break;
    }
    CloseHandle(input);
}

} // namespace mirunea
