#include "app/platform/file_layer.h"

#include "app/failure/io_failure.h"
#include "app/platform/posix/descriptor.h"
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

struct OpenedFile
{
    int fd;
    bool created;
};

// O_NOFOLLOW: a link in place of the file is refused, its target untouched.
// O_NONBLOCK: opening a FIFO cannot hang. No O_TRUNC: the content must
// survive until we know we may replace it.
constexpr int kOpenFlags = O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;

// A name that is created and gone again between our two tries (another
// client creating and deleting it in a loop, or a file system that answers
// so) is given up after this many rounds, with the last failure's code.
constexpr int kCreationAttempts = 8;

// Opens the name, creating it if missing; reports whether we created it, so
// that a new file made read-only by the umask is not taken for a read-only one.
OpenedFile openOrCreate(const std::string& name)
{
    for (int attempt = 1;; ++attempt) {
        int fd = ::open(name.c_str(), kOpenFlags | O_CREAT | O_EXCL, 0666);
        if (fd >= 0)
            return {fd, true};
        if (errno == EINTR && attempt < kCreationAttempts)
            continue;
        if (errno != EEXIST)
            throwLastError();

        fd = ::open(name.c_str(), kOpenFlags);
        if (fd >= 0)
            return {fd, false};
        // Removed meanwhile: create it after all, a few times.
        if ((errno == EINTR || errno == ENOENT) && attempt < kCreationAttempts)
            continue;
        // With O_NOFOLLOW, ELOOP means the name itself is a link; ENXIO is a
        // FIFO without a reader or a device without a driver. Not ours to write.
        if (errno == ELOOP || errno == ENXIO)
            throw IoFailure(win32::kAccessDenied);
        throwLastError();
    }
}

// Exclusive lock on the whole file, held by the open file description; the
// reader takes a shared one, so they exclude each other like Windows share
// modes. Returns false only for a conflict.
bool lockExclusively(int fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EACCES)
            return false;
        // The sharing rules hold as far as the platform offers them.
        if (locksUnsupported(errno))
            return true;
        throwLastError();
    }
}

void clearNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0)
        throwLastError();
}

void truncateToEmpty(int fd)
{
    while (::ftruncate(fd, 0) != 0) {
        if (errno != EINTR)
            throwLastError();
    }
}

// A new file gets the umask's mode; one without the owner's write bit could
// never be replaced by the next send. Where the file system keeps no modes
// the change may fail, and the file is written all the same.
void keepWritableByOwner(int fd, const struct stat& status)
{
    if ((status.st_mode & S_IWUSR) == 0)
        (void)::fchmod(fd, (status.st_mode & 07777) | S_IWUSR);
}

} // namespace

SharedWriteFile SharedWriteFile::create(const std::string& name)
{
    // As on Windows and as the reader does: a name that hides more after a
    // zero byte is refused, not cut short to another file's name.
    if (name.find('\0') != std::string::npos)
        throw IoFailure(win32::kPathNotFound);
    const OpenedFile opened = openOrCreate(fileSystemName(name));
    // Closed on the way out of a failed creation, the failure's errno kept.
    Descriptor guard(opened.fd);

    struct stat status = {};
    if (::fstat(opened.fd, &status) != 0)
        throwLastError();
    if (!S_ISREG(status.st_mode))
        throw IoFailure(win32::kAccessDenied);
    // No write bit at all stands for the read-only attribute, which even an
    // administrator cannot write through.
    if (!opened.created && (status.st_mode & 0222) == 0)
        throw IoFailure(win32::kAccessDenied);
    // A second name for the file (a hard link, which pupils can make in a
    // shared folder) may stand for another PC's answers or any file on the
    // volume: emptying it through this name would destroy them.
    if (status.st_nlink > 1)
        throw IoFailure(win32::kAccessDenied);
    if (opened.created)
        keepWritableByOwner(opened.fd, status);

    if (!lockExclusively(opened.fd))
        throw IoFailure(win32::kSharingViolation);
    clearNonBlocking(opened.fd);
    truncateToEmpty(opened.fd);

    return SharedWriteFile(guard.release());
}

SharedWriteFile::SharedWriteFile(SharedWriteFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1))
{
}

SharedWriteFile::~SharedWriteFile()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

void SharedWriteFile::write(std::string_view bytes)
{
    writeAll(static_cast<int>(m_handle), bytes);
}

void SharedWriteFile::close()
{
    // The descriptor is gone after close() whatever it returns, so it is
    // never closed twice; a failure (NFS reports write errors here) is thrown.
    const int fd = static_cast<int>(std::exchange(m_handle, -1));
    if (::close(fd) != 0)
        throwLastError();
}

} // namespace mirunea
