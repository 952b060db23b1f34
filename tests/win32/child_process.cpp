#include "child_process.h"

#include <stdexcept>
#include <vector>

namespace mirunea::test {

ChildProcess::ChildProcess(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    if (!::CreatePipe(&childInput, &m_input, &inherit, 0) || !::CreatePipe(&m_output, &childOutput, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(m_input, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const BOOL started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                          &m_process);
    ::CloseHandle(childInput);
    ::CloseHandle(childOutput);
    if (!started)
        throw std::runtime_error("cannot start " + commandLine);
}

ChildProcess::~ChildProcess()
{
    closeInput();
    if (m_process.hProcess) {
        static_cast<void>(wait());
        ::CloseHandle(m_process.hProcess);
        ::CloseHandle(m_process.hThread);
    }
    if (m_output)
        ::CloseHandle(m_output);
}

std::string ChildProcess::readLine()
{
    std::string line;
    char c = 0;
    DWORD count = 0;
    while (::ReadFile(m_output, &c, 1, &count, nullptr) && count == 1 && c != '\n') {
        if (c != '\r')
            line += c;
    }
    return line;
}

void ChildProcess::closeInput()
{
    if (m_input) {
        ::CloseHandle(m_input);
        m_input = nullptr;
    }
}

DWORD ChildProcess::wait()
{
    closeInput();
    ::WaitForSingleObject(m_process.hProcess, 30000);
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

} // namespace mirunea::test
