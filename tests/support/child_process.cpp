#include "child_process.h"

#include <string>
#include <utility>

// What reading a child's output means, over the platform's readSome().
namespace mirunea::test {

namespace {
using Clock = std::chrono::steady_clock;
} // namespace

std::string ChildProcess::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    std::size_t lineFeed;
    while ((lineFeed = m_pending.find('\n')) == std::string::npos) {
        if (!readSome(m_pending, deadline)) {
            std::string rest = std::move(m_pending);
            m_pending.clear();
            return rest;
        }
    }
    std::string line = m_pending.substr(0, lineFeed);
    m_pending.erase(0, lineFeed + 1);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::string ChildProcess::readAll(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    std::string all = std::move(m_pending);
    m_pending.clear();
    while (readSome(all, deadline)) { }
    return all;
}

Run runProgram(const std::string& program, const std::vector<std::string>& arguments,
               const ChildProcess::Options& options, std::chrono::milliseconds timeout)
{
    ChildProcess child(program, arguments, options);
    child.closeInput();
    Run run;
    run.output = child.readAll(timeout);
    run.exit = child.wait(timeout);
    return run;
}

} // namespace mirunea::test
