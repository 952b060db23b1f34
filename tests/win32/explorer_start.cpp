// Starts a console program as Explorer does on a double click or a drop, and
// plays the user at its console:
//   explorer_start <after> <exe> [dropped]
// The exe starts with a console of its own (CREATE_NEW_CONSOLE) in its own
// folder, with the dropped path as its one argument. Once the file <after>
// exists (the program's sign that it has decided whose console it has: its
// report opened), this program attaches to that console, waits until it shows
// the prompt for a key, prints the console's text (UTF-8, one line per row,
// trailing spaces cut), presses Enter there and prints "exit <code>" once the
// program has ended. Exit code 1, with the reason on standard error, when
// something does not happen within 60 s.
#include "tests/win32/utf8_text.h"

#include <windows.h>

#include <string>

using mirunea::test::utf8;
using mirunea::test::wide;

namespace {

constexpr DWORD kTimeoutMs = 60'000;
constexpr DWORD kPollMs = 20;
const std::wstring kPrompt = wide("何かキーを押すと終了します。");

HANDLE results = INVALID_HANDLE_VALUE;

void print(const std::string& text)
{
    DWORD written = 0;
    WriteFile(results, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

[[noreturn]] void fail(const std::string& why)
{
    const std::string line = "explorer_start: " + why + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ExitProcess(1);
}

// Polls until the condition holds or the time is up.
template<class Condition>
void waitUntil(const char* what, Condition&& condition)
{
    const ULONGLONG end = GetTickCount64() + kTimeoutMs;
    while (!condition()) {
        if (GetTickCount64() > end)
            fail(std::string("timed out waiting for ") + what);
        Sleep(kPollMs);
    }
}

[[nodiscard]] std::wstring quoted(const std::wstring& argument)
{
    return L"\"" + argument + L"\"";
}

[[nodiscard]] std::wstring consoleText(HANDLE output)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output, &info))
        return {};
    std::wstring text;
    std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        DWORD read = 0;
        if (!ReadConsoleOutputCharacterW(output, row.data(), static_cast<DWORD>(row.size()), COORD{0, y}, &read))
            break;
        std::wstring line = row.substr(0, read);
        line.erase(line.find_last_not_of(L' ') + 1);
        text += line + L"\n";
    }
    text.erase(text.find_last_not_of(L'\n') + 1);
    return text;
}

void pressEnter(HANDLE input)
{
    INPUT_RECORD keys[2]{};
    for (int i = 0; i < 2; ++i) {
        keys[i].EventType = KEY_EVENT;
        keys[i].Event.KeyEvent.bKeyDown = i == 0;
        keys[i].Event.KeyEvent.wRepeatCount = 1;
        keys[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
        keys[i].Event.KeyEvent.uChar.UnicodeChar = L'\r';
    }
    DWORD written = 0;
    if (!WriteConsoleInputW(input, keys, 2, &written) || written != 2)
        fail("cannot press a key on the program's console");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    results = GetStdHandle(STD_OUTPUT_HANDLE);
    if (argc < 3 || argc > 4)
        fail("usage: explorer_start <after> <exe> [dropped]");
    const std::wstring after = argv[1];
    const std::wstring exe = argv[2];
    std::wstring commandLine = quoted(exe);
    if (argc == 4)
        commandLine += L" " + quoted(argv[3]);
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        fail("cannot start " + utf8(exe) + " (" + std::to_string(GetLastError()) + ")");

    waitUntil("the file the program's decision leaves",
              [&] { return GetFileAttributesW(after.c_str()) != INVALID_FILE_ATTRIBUTES; });
    FreeConsole();
    waitUntil("the program's console", [&] {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            fail("the program ended without waiting for a key");
        return AttachConsole(process.dwProcessId) != FALSE;
    });
    const HANDLE output = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (output == INVALID_HANDLE_VALUE || input == INVALID_HANDLE_VALUE)
        fail("cannot open the program's console");

    std::wstring shown;
    waitUntil("the prompt for a key", [&] {
        shown = consoleText(output);
        return shown.find(kPrompt) != std::wstring::npos || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    });
    print(utf8(shown) + "\n");
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
        fail("the program ended without waiting for a key");
    // Still waiting a moment after the prompt: it waits for the key, not for time.
    if (WaitForSingleObject(process.hProcess, 200) == WAIT_OBJECT_0)
        fail("the program ended before a key was pressed");
    pressEnter(input);
    if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
        fail("the program did not end after the key");
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    print("exit " + std::to_string(code) + "\n");
    return 0;
}
