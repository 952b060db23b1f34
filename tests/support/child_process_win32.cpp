#include "child_process.h"

#include <windows.h>

#include <stdexcept>
#include <thread>

namespace mirunea::test {

namespace {

using Clock = std::chrono::steady_clock;

HANDLE handleOf(std::intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

std::intptr_t valueOf(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

// Quoted as the C runtime's argument parser reads it back.
std::string quoted(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : ChildProcess(program, arguments, Options{})
{
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Options& options)
{
    if (!options.environment.empty())
        throw std::logic_error("environment additions are not supported on Windows");
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE input = nullptr;
    HANDLE output = nullptr;
    HANDLE childOutput = nullptr;
    if (!::CreatePipe(&childInput, &input, &inherit, 0) || !::CreatePipe(&output, &childOutput, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    m_input = valueOf(input);
    m_output = valueOf(output);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::string commandLine = quoted(program);
    for (const std::string& argument : arguments)
        commandLine += " " + quoted(argument);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(),
                                          &startup, &process);
    ::CloseHandle(childInput);
    ::CloseHandle(childOutput);
    if (!started) {
        closeInput();
        ::CloseHandle(output);
        throw std::runtime_error("cannot start " + commandLine);
    }
    ::CloseHandle(process.hThread);
    m_process = valueOf(process.hProcess);
}

ChildProcess::~ChildProcess()
{
    closeInput();
    if (!m_exit.finished)
        (void)wait();
    ::CloseHandle(handleOf(m_process));
    ::CloseHandle(handleOf(m_output));
}

bool ChildProcess::readSome(std::string& into, Clock::time_point deadline)
{
    if (m_outputAtEnd)
        return false;
    // Anonymous pipes have no timed read: look until bytes or the end come.
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(handleOf(m_output), nullptr, 0, nullptr, &available, nullptr)) {
            m_outputAtEnd = true; // the other end is closed
            return false;
        }
        if (available > 0)
            break;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    char buffer[4096];
    DWORD count = 0;
    if (!::ReadFile(handleOf(m_output), buffer, sizeof buffer, &count, nullptr) || count == 0) {
        m_outputAtEnd = true;
        return false;
    }
    into.append(buffer, count);
    return true;
}

void ChildProcess::closeInput()
{
    if (m_input != -1) {
        ::CloseHandle(handleOf(m_input));
        m_input = -1;
    }
}

ChildProcess::Exit ChildProcess::wait(std::chrono::milliseconds timeout)
{
    if (m_exit.finished)
        return m_exit;
    closeInput();
    const HANDLE process = handleOf(m_process);
    if (::WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, INFINITE);
        m_exit = Exit{true, true, false, -1, 0};
        return m_exit;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    m_exit = Exit{true, false, true, static_cast<int>(code), 0};
    return m_exit;
}

} // namespace mirunea::test
