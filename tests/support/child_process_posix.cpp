#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace mirunea::test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& additions)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        entries.emplace_back(*entry);
    for (const std::string& addition : additions) {
        const std::string key = addition.substr(0, addition.find('=') + 1);
        std::erase_if(entries, [&](const std::string& entry) { return entry.starts_with(key); });
        entries.push_back(addition);
    }
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : ChildProcess(program, arguments, Options{})
{
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Options& options)
{
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    if (!options.workingDirectory.empty())
        ::posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());

    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = mergedEnvironment(options.environment);
    pid_t pid = -1;
    const int error = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, pointersTo(argv).data(),
                                     pointersTo(envp).data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    if (error != 0) {
        ::close(input[1]);
        ::close(output[0]);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    }
    m_process = pid;
    m_input = input[1];
    m_output = output[0];
}

ChildProcess::~ChildProcess()
{
    closeInput();
    if (!m_exit.finished)
        (void)wait();
    if (m_output >= 0)
        ::close(static_cast<int>(m_output));
}

bool ChildProcess::readSome(std::string& into, Clock::time_point deadline)
{
    if (m_outputAtEnd)
        return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd ready{static_cast<int>(m_output), POLLIN, 0};
    const int polled = ::poll(&ready, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (polled < 0 && errno == EINTR)
        return true;
    if (polled <= 0)
        return false; // timed out
    char buffer[65536];
    const ssize_t count = ::read(static_cast<int>(m_output), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR)
        return true;
    if (count <= 0) {
        m_outputAtEnd = true;
        return false;
    }
    into.append(buffer, static_cast<std::size_t>(count));
    return true;
}

void ChildProcess::closeInput()
{
    if (m_input >= 0) {
        ::close(static_cast<int>(m_input));
        m_input = -1;
    }
}

ChildProcess::Exit ChildProcess::wait(std::chrono::milliseconds timeout)
{
    if (m_exit.finished)
        return m_exit;
    closeInput();
    const auto deadline = Clock::now() + timeout;
    const auto pid = static_cast<pid_t>(m_process);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            return m_exit;
        if (Clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
            m_exit = Exit{true, true, false, -1, SIGKILL};
            return m_exit;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_exit.finished = true;
    m_exit.exited = WIFEXITED(status);
    m_exit.exitCode = m_exit.exited ? WEXITSTATUS(status) : -1;
    m_exit.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return m_exit;
}

void ChildProcess::sendSignal(int signal)
{
    if (!m_exit.finished)
        ::kill(static_cast<pid_t>(m_process), signal);
}

} // namespace mirunea::test
