#pragma once

#include "seen_box.h"

#include <windows.h>

#include <string>
#include <vector>

// Helpers of the tests that create the real Win32 window in their own process.
namespace mirunea::test {

// Runs the thread's messages for a while, as the event loop would.
void pumpMessages(int rounds = 20);

// The window's class name, e.g. L"Edit".
[[nodiscard]] std::wstring classOf(HWND window);

// The density the test's Wine prefix is set to (MIRUNEA_EXPECTED_DPI); throws
// when the test was started without it.
[[nodiscard]] int expectedDpi();

[[nodiscard]] std::string computerName();
// The bytes "<computer name>.ans" holds in the working folder.
[[nodiscard]] std::string answerFileBytes();

// What a message box was while it was shown, with what only Win32 tells of it.
struct SeenWin32Box : SeenBox
{
    HWND owner = nullptr;
    LONG_PTR extendedStyle = 0;
    int enabledWindows = 0; // the thread's other top-level windows still enabled
};

// Presses "OK" on every message box this thread shows while it lives, and
// keeps what it saw; the box's own modal loop runs the timer that does it.
class MessageBoxCloser
{
public:
    MessageBoxCloser();
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    [[nodiscard]] const std::vector<SeenWin32Box>& seen() const { return m_seen; }

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer;
    HWND m_lastBox = nullptr; // closing, not to be counted twice
    std::vector<SeenWin32Box> m_seen;
};

} // namespace mirunea::test
