#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Helpers of the tests that create the real Win32 window in their own process.
namespace mirunea::test {

// Runs the thread's messages for a while, as the event loop would.
void pumpMessages(int rounds = 20);

// The window's class name, e.g. L"Edit".
[[nodiscard]] std::wstring classOf(HWND window);

[[nodiscard]] std::string computerName();
// The bytes "<computer name>.ans" holds in the working folder.
[[nodiscard]] std::string answerFileBytes();

// Presses "OK" on every message box this thread shows while it lives, and
// keeps the texts; the box's own modal loop runs the timer that does it.
class MessageBoxCloser
{
public:
    MessageBoxCloser();
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    [[nodiscard]] const std::vector<std::wstring>& captions() const { return m_captions; }

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer;
    HWND m_lastBox = nullptr; // closing, not to be counted twice
    std::vector<std::wstring> m_captions;
};

} // namespace mirunea::test
