#include "app/platform/replacing_file.h"

#include "app/failure/io_failure.h"
#include "app/platform/posix/descriptor.h"
#include "app/platform/posix/file_names_posix.h"
#include "app/platform/posix/windows_error_code.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirunea {

namespace {

[[noreturn]] void throwErrno(int errnoValue)
{
    throw IoFailure(windowsErrorCodeFromErrno(errnoValue));
}

// A name taken by someone else (a file, a link, a FIFO placed there) is left
// alone and another one tried, a few times.
constexpr int kNameAttempts = 16;

std::uint64_t nextSalt()
{
    static std::uint64_t counter = 0;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const auto nanoseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000000000u
        + static_cast<std::uint64_t>(now.tv_nsec);
    return (static_cast<std::uint64_t>(::getpid()) << 40) ^ nanoseconds ^ (++counter * 0x9E3779B97F4A7C15u);
}

void requirePlainName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".."
        || name.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        throw IoFailure(win32::kPathNotFound);
}

} // namespace

ReplacingFile ReplacingFile::create(const std::string& targetName)
{
    requirePlainName(targetName);
    const std::string target = fileSystemName(targetName);
    for (int attempt = 1;; ++attempt) {
        std::string temporary = temporaryNameBeside(target, nextSalt());
        // O_EXCL with O_CREAT never follows a link; O_NOFOLLOW says so twice.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            return ReplacingFile(fd, target, std::move(temporary));
        if ((errno == EEXIST || errno == EINTR) && attempt < kNameAttempts)
            continue;
        throwErrno(errno);
    }
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1))
    , m_targetName(std::move(other.m_targetName))
    , m_temporaryName(std::exchange(other.m_temporaryName, std::string()))
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

void ReplacingFile::discard() noexcept
{
    if (m_handle >= 0)
        ::close(static_cast<int>(std::exchange(m_handle, -1)));
    if (!m_temporaryName.empty())
        ::unlink(std::exchange(m_temporaryName, std::string()).c_str());
}

void ReplacingFile::write(std::string_view bytes)
{
    writeAll(static_cast<int>(m_handle), bytes);
}

void ReplacingFile::commit()
{
    // The bytes reach the disk before the name does: after a crash the name
    // holds the old file or the new one, never a cut one.
    const int fd = static_cast<int>(std::exchange(m_handle, -1));
    int failure = 0;
    if (::fsync(fd) != 0 && errno != EINVAL) // EINVAL: a file system that cannot sync
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    // A rename replaces the directory entry itself: a link placed under the
    // target's name goes, its target is untouched.
    if (failure == 0 && ::rename(m_temporaryName.c_str(), m_targetName.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        discard();
        throwErrno(failure);
    }
    m_temporaryName.clear();
}

} // namespace mirunea
