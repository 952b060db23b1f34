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

// O_NOFOLLOW: a link in place of the file is refused, its target untouched.
// O_NONBLOCK: opening a FIFO cannot hang.
constexpr int kOpenFlags = O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;

// A name that is created and gone again between our two tries (another
// client creating and deleting it in a loop, or a file system that answers
// so) is given up after this many rounds, with the last failure's code.
constexpr int kCreationAttempts = 8;

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
void keepWritableByOwner(int fd)
{
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && (status.st_mode & S_IWUSR) == 0)
        (void)::fchmod(fd, (status.st_mode & 07777) | S_IWUSR);
}

// The file now under the name, opened and locked against other writers once
// it has passed the checks; -1 when there is none.
int holdPresentFile(const std::string& name)
{
    for (int attempt = 1;; ++attempt) {
        const int fd = ::open(name.c_str(), kOpenFlags);
        if (fd < 0) {
            if (errno == ENOENT)
                return -1;
            if (errno == EINTR && attempt < kCreationAttempts)
                continue;
            // With O_NOFOLLOW, ELOOP means the name itself is a link; ENXIO is a
            // FIFO without a reader or a device without a driver. Not ours to replace.
            if (errno == ELOOP || errno == ENXIO)
                throw IoFailure(win32::kAccessDenied);
            throwLastError();
        }
        Descriptor held(fd); // closed on the way out of a failed check, errno kept
        struct stat status = {};
        if (::fstat(fd, &status) != 0)
            throwLastError();
        // No write bit at all stands for the read-only attribute, which even an
        // administrator cannot write through. A second name for the file (a
        // hard link, which pupils can make in a shared folder) may stand for
        // another PC's answers: replacing this name would look like a send of
        // theirs gone, so it is refused as a link is.
        if (!S_ISREG(status.st_mode) || (status.st_mode & 0222) == 0 || status.st_nlink > 1)
            throw IoFailure(win32::kAccessDenied);
        if (!lockExclusively(fd))
            throw IoFailure(win32::kSharingViolation);
        return held.release();
    }
}

// "<name>.sending", empty, opened for writing and locked. One left by a send
// that was killed is taken over; whatever else stands under that name (a
// link, a FIFO, a file with a second name, a read-only file) is no send of
// ours, and the name is removed (not what it points to) and made again.
int openSendingFile(const std::string& name)
{
    for (int attempt = 1;; ++attempt) {
        const int created = ::open(name.c_str(), kOpenFlags | O_CREAT | O_EXCL, 0666);
        if (created >= 0) {
            Descriptor file(created);
            keepWritableByOwner(created);
            if (!lockExclusively(created))
                throw IoFailure(win32::kSharingViolation);
            clearNonBlocking(created);
            return file.release();
        }
        const bool retry = attempt < kCreationAttempts;
        if (errno == EINTR && retry)
            continue;
        if (errno != EEXIST)
            throwLastError();

        const int existing = ::open(name.c_str(), kOpenFlags);
        if (existing >= 0) {
            Descriptor file(existing);
            struct stat status = {};
            if (::fstat(existing, &status) != 0)
                throwLastError();
            if (S_ISREG(status.st_mode) && status.st_nlink == 1 && (status.st_mode & S_IWUSR) != 0) {
                // Held: another send of this name is under way.
                if (!lockExclusively(existing))
                    throw IoFailure(win32::kSharingViolation);
                clearNonBlocking(existing);
                truncateToEmpty(existing);
                return file.release();
            }
        } else if (errno == ENOENT || errno == EINTR) {
            // Gone meanwhile: create it after all, a few times.
            if (retry)
                continue;
            throwLastError();
        } else if (errno != ELOOP && errno != ENXIO && errno != EACCES) {
            throwLastError();
        }
        if (::unlink(name.c_str()) != 0 && errno != ENOENT)
            throwLastError();
        if (!retry)
            throw IoFailure(win32::kAccessDenied);
    }
}

void closeQuietly(std::intptr_t& handle) noexcept
{
    if (handle >= 0)
        ::close(static_cast<int>(std::exchange(handle, -1)));
}

} // namespace

SharedWriteFile SharedWriteFile::create(const std::string& name)
{
    // As on Windows and as the reader does: a name that hides more after a
    // zero byte is refused, not cut short to another file's name.
    if (name.find('\0') != std::string::npos)
        throw IoFailure(win32::kPathNotFound);
    std::string target = fileSystemName(name);
    Descriptor held(holdPresentFile(target));
    Descriptor written(openSendingFile(sendingName(target)));
    return SharedWriteFile(held.release(), written.release(), std::move(target));
}

SharedWriteFile::SharedWriteFile(SharedWriteFile&& other) noexcept
    : m_held(std::exchange(other.m_held, -1))
    , m_written(std::exchange(other.m_written, -1))
    , m_name(std::exchange(other.m_name, std::string()))
{
}

SharedWriteFile::~SharedWriteFile()
{
    discard();
}

void SharedWriteFile::discard() noexcept
{
    // Removed while still locked, so that it is never another send's file.
    if (!m_name.empty())
        ::unlink(sendingName(std::exchange(m_name, std::string())).c_str());
    closeQuietly(m_written);
    closeQuietly(m_held);
}

void SharedWriteFile::write(std::string_view bytes)
{
    writeAll(static_cast<int>(m_written), bytes);
}

void SharedWriteFile::close()
{
    // The lock lives as long as a descriptor of the file: a copy keeps it past
    // the close, so that no other send of this name takes the file over before
    // the replacement. The close itself is where NFS and FUSE report a lost write.
    const int fd = static_cast<int>(m_written);
    const int keeper = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (keeper < 0)
        throwLastError();
    m_written = keeper;
    int failure = 0;
    // The bytes reach the disk before the name does: after a crash the name
    // holds the previous file or the new one, never a cut one.
    if (::fsync(fd) != 0 && errno != EINVAL) // EINVAL: a file system that cannot sync
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure != 0)
        throw IoFailure(windowsErrorCodeFromErrno(failure));
}

void SharedWriteFile::replace()
{
    // The file being replaced is let go first: NFS clients (and FUSE's own
    // library) move a file still open aside before a rename over it, and if
    // the rename then fails, the moved file goes with the last close. Other
    // sends of this name stay shut out by the lock on the written file.
    closeQuietly(m_held);
    // The directory entry itself is replaced: a link placed under the name
    // since the creation goes, its target untouched.
    if (::rename(sendingName(m_name).c_str(), m_name.c_str()) != 0)
        throwLastError();
    m_name.clear();
    closeQuietly(m_written);
}

} // namespace mirunea
