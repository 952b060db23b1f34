#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace mirunea::test {

// A second process whose standard input and output are pipes to this one;
// its standard error is the test's. The program is looked up in PATH when
// its name has no folder.
class ChildProcess
{
public:
    struct Options
    {
        std::string workingDirectory;         // empty: the test's own
        std::vector<std::string> environment; // "NAME=value" entries added to (or replacing) the test's
    };

    // How the process ended.
    struct Exit
    {
        bool finished = false;
        bool timedOut = false; // killed by wait() at its timeout
        bool exited = false;   // by exit(), with exitCode; else ended by signal
        int exitCode = -1;
        int signal = 0;
    };

    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const Options& options);
    ~ChildProcess(); // closes its input, waits for it, and kills it if it does not end
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // One line of its output without the line break; empty at its end or
    // after the timeout.
    [[nodiscard]] std::string readLine(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Its output up to the end (the process closing it), or until the timeout.
    [[nodiscard]] std::string readAll(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    void closeInput();
    // Waits for the end; kills the process when the timeout passes first.
    Exit wait(std::chrono::milliseconds timeout = std::chrono::seconds(30));
#ifndef _WIN32
    void sendSignal(int signal);
#endif

private:
    [[nodiscard]] bool readSome(std::string& into, std::chrono::steady_clock::time_point deadline);

    std::intptr_t m_process = -1;
    std::intptr_t m_input = -1;
    std::intptr_t m_output = -1;
    std::string m_pending; // read but not yet handed out
    bool m_outputAtEnd = false;
    Exit m_exit;
};

// The output of a program run to its end, and how it ended.
struct Run
{
    std::string output;
    ChildProcess::Exit exit;
};

[[nodiscard]] Run runProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const ChildProcess::Options& options = {},
                             std::chrono::milliseconds timeout = std::chrono::seconds(30));

} // namespace mirunea::test
