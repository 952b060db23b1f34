#pragma once

#include <windows.h>

#include <string>

namespace mirunea::test {

// A second process whose standard input and output are pipes to this one.
class ChildProcess
{
public:
    explicit ChildProcess(const std::string& commandLine);
    ~ChildProcess(); // closes its input and waits for it
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] std::string readLine(); // without the line break; empty at the end
    void closeInput();
    [[nodiscard]] DWORD wait(); // exit code

private:
    PROCESS_INFORMATION m_process{};
    HANDLE m_input = nullptr;
    HANDLE m_output = nullptr;
};

} // namespace mirunea::test
