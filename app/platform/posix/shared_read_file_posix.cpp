#include "app/failure/io_failure.h"
#include "app/platform/file_layer.h"
#include "app/platform/posix/file_names_posix.h"
#include "app/platform/posix/windows_error_code.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace mirunea {

namespace {

[[noreturn]] void throwLastError()
{
    throw IoFailure(windowsErrorCodeFromErrno(errno));
}

int openForReading(const std::string& name)
{
    // Windows takes the name up to its first zero byte; a name that hides more
    // after it is refused rather than quietly shortened.
    if (name.find('\0') != std::string::npos)
        throw IoFailure(win32::kPathNotFound);

    // O_NONBLOCK: a FIFO or device of that name must not hang the open.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    const std::string onDisk = fileSystemName(name);
    int fd;
    do {
        fd = ::open(onDisk.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throwLastError();
    return fd;
}

// Windows refuses to open a folder as a file; anything else that is not a
// plain file (FIFO, device, socket) is refused the same way.
void requireRegularFile(int fd)
{
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0)
        throwLastError();
    if (!S_ISREG(status.st_mode))
        throw IoFailure(win32::kAccessDenied);
}

// A shared lock on the whole file, held until the descriptor is closed: it
// admits other readers and shuts out our writer, which takes a write lock the
// same way, as the share modes of Windows do.
void lockForSharedReading(int fd)
{
    struct flock lock
    {
    };
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // to the end, however far the file grows
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EACCES)
            throw IoFailure(win32::kSharingViolation);
        // A file system without such locks offers no sharing rule to
        // enforce: read the file unlocked rather than refuse a file that can
        // be read.
        if (locksUnsupported(errno))
            return;
        throwLastError();
    }
}

void clearNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        throwLastError();
}

} // namespace

SharedReadFile SharedReadFile::open(const std::string& name)
{
    // Owned from here on, so that a failed check below closes it again.
    SharedReadFile file(openForReading(name));
    const int fd = static_cast<int>(file.m_handle);
    requireRegularFile(fd);
    lockForSharedReading(fd);
    clearNonBlocking(fd);
    return file;
}

SharedReadFile::SharedReadFile(SharedReadFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1))
{
}

SharedReadFile::~SharedReadFile()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

std::size_t SharedReadFile::read(char* buffer, std::size_t size)
{
    ssize_t count;
    do {
        count = ::read(static_cast<int>(m_handle), buffer, size);
    } while (count < 0 && errno == EINTR);
    if (count < 0)
        throwLastError();
    return static_cast<std::size_t>(count);
}

void SharedReadFile::close()
{
    if (m_handle < 0)
        return;
    const int fd = static_cast<int>(std::exchange(m_handle, -1));
    // Linux releases the descriptor even when close is interrupted, so EINTR
    // is no failure and must not be retried.
    if (::close(fd) != 0 && errno != EINTR)
        throwLastError();
}

} // namespace mirunea
