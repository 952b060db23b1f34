#include "real_window.h"

#include "utf8_text.h"
#include "working_folder.h"

#include <cstdlib>
#include <stdexcept>

namespace mirunea::test {

namespace {
MessageBoxCloser* g_closer = nullptr;
} // namespace

int expectedDpi()
{
    const char* value = std::getenv("MIRUNEA_EXPECTED_DPI");
    if (!value)
        throw std::runtime_error("MIRUNEA_EXPECTED_DPI names the density Wine is set to");
    return std::atoi(value);
}

void pumpMessages(int rounds)
{
    MSG message;
    for (int round = 0; round < rounds; ++round) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    }
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::string computerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    ::GetComputerNameA(name, &size);
    return std::string(name, size);
}

std::string answerFileBytes()
{
    return readFileBytes(computerName() + ".ans");
}

MessageBoxCloser::MessageBoxCloser()
    : m_timer(::SetTimer(nullptr, 0, 20, &MessageBoxCloser::onTimer))
{
    g_closer = this;
}

MessageBoxCloser::~MessageBoxCloser()
{
    ::KillTimer(nullptr, m_timer);
    g_closer = nullptr;
}

void CALLBACK MessageBoxCloser::onTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_closer)
        return;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            if (classOf(window) == L"#32770" && ::IsWindowVisible(window) && window != g_closer->m_lastBox) {
                g_closer->m_lastBox = window;
                wchar_t caption[256] = {};
                ::GetWindowTextW(window, caption, 256);
                wchar_t text[1024] = {};
                ::GetDlgItemTextW(window, 0xFFFF, text, 1024); // the box's message
                SeenWin32Box box;
                box.caption = utf8(caption);
                box.text = utf8(text);
                box.owner = ::GetWindow(window, GW_OWNER);
                box.extendedStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
                ::EnumThreadWindows(
                    ::GetCurrentThreadId(),
                    [](HWND other, LPARAM seen) -> BOOL {
                        auto* box = reinterpret_cast<SeenWin32Box*>(seen);
                        if (::IsWindowEnabled(other) && classOf(other) != L"#32770")
                            ++box->enabledWindows;
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&box));
                g_closer->m_seen.push_back(box);
                ::PostMessageW(window, WM_COMMAND, IDOK, 0);
            }
            return TRUE;
        },
        0);
}

} // namespace mirunea::test
