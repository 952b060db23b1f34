#include "app/platform/folder_files.h"

#include "app/failure/io_failure.h"
#include "app/platform/listed_file_read.h"
#include "app/platform/posix/descriptor.h"
#include "app/platform/posix/file_names_posix.h"
#include "app/platform/posix/windows_error_code.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace mirunea {

namespace {

[[nodiscard]] char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] bool endsWithIgnoringCase(std::string_view name, std::string_view suffix)
{
    if (name.size() < suffix.size())
        return false;
    const std::string_view end = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (asciiLower(end[i]) != asciiLower(suffix[i]))
            return false;
    }
    return true;
}

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0.
[[nodiscard]] std::size_t utf8SequenceLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

// The name as the file system holds it is UTF-8 (see fileSystemName); a name
// made otherwise (another program, another encoding) still has to be shown.
[[nodiscard]] std::string shownName(std::string_view bytes)
{
    std::string shown;
    shown.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = utf8SequenceLength(bytes);
        if (length == 0) {
            shown += "\xEF\xBF\xBD"; // U+FFFD
            bytes.remove_prefix(1);
        } else {
            shown += bytes.substr(0, length);
            bytes.remove_prefix(length);
        }
    }
    return shown;
}

[[nodiscard]] FolderEntryKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FolderEntryKind::RegularFile;
    if (S_ISLNK(mode))
        return FolderEntryKind::Link;
    if (S_ISDIR(mode))
        return FolderEntryKind::Folder;
    return FolderEntryKind::Other;
}

class Directory
{
public:
    Directory()
        : m_dir(::opendir("."))
    {
        if (!m_dir)
            throw IoFailure(windowsErrorCodeFromErrno(errno));
    }
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;
    ~Directory() { ::closedir(m_dir); }

    [[nodiscard]] DIR* get() const { return m_dir; }

private:
    DIR* m_dir;
};

[[nodiscard]] ReadResult failed(int errnoValue)
{
    return {ReadOutcome::Failed, windowsErrorCodeFromErrno(errnoValue)};
}

// A shared lock on the whole file, as the questionnaire reader takes: the
// answer writer's exclusive lock then shuts us out while a PC is sending.
[[nodiscard]] bool lockForSharedReading(int fd, int& errnoValue)
{
    struct flock lock
    {
    };
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (errno == EINTR)
            continue;
        if (locksUnsupported(errno))
            return true;
        errnoValue = errno;
        return false;
    }
    return true;
}

} // namespace

FolderListing listWorkingFolder(std::string_view suffix, std::size_t maxEntries)
{
    const Directory directory;
    FolderListing listing;
    for (;;) {
        errno = 0;
        const dirent* found = ::readdir(directory.get());
        if (!found) {
            if (errno != 0)
                throw IoFailure(windowsErrorCodeFromErrno(errno));
            break;
        }
        const std::string_view name = found->d_name;
        if (!endsWithIgnoringCase(name, suffix))
            continue;
        if (listing.entries.size() >= maxEntries) {
            ++listing.leftOut;
            continue;
        }
        struct stat status
        {
        };
        if (::fstatat(::dirfd(directory.get()), found->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue; // removed since the folder was read
            // Listed all the same: reading it reports what went wrong.
            status = {};
            status.st_mode = S_IFREG;
        }
        FolderEntry entry;
        entry.name = shownName(name);
        entry.nativeName = std::string(name);
        entry.kind = kindOf(status.st_mode);
        entry.size = static_cast<std::uint64_t>(status.st_size);
        entry.modifiedUnixSeconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
        entry.linkCount = static_cast<std::uint64_t>(status.st_nlink);
        listing.entries.push_back(std::move(entry));
    }
    return listing;
}

ReadResult readListedFile(const FolderEntry& entry, std::size_t maxBytes, std::string& bytes)
{
    bytes.clear();
    if (entry.kind != FolderEntryKind::RegularFile)
        return {ReadOutcome::NotRegularFile, 0};
    if (entry.linkCount > 1)
        return {ReadOutcome::HardLinked, 0};
    if (entry.size > maxBytes)
        return {ReadOutcome::TooLarge, 0};

    // O_NOFOLLOW: a link put there since the listing is refused, its target
    // untouched. O_NONBLOCK: neither a FIFO nor a device can hang the open.
    int fd;
    do {
        fd = ::open(entry.nativeName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENXIO)
            return {ReadOutcome::NotRegularFile, 0};
        return failed(errno);
    }
    const Descriptor file(fd);

    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0)
        return failed(errno);
    if (!S_ISREG(status.st_mode))
        return {ReadOutcome::NotRegularFile, 0};
    if (status.st_nlink > 1)
        return {ReadOutcome::HardLinked, 0};
    if (static_cast<std::uint64_t>(status.st_size) > maxBytes)
        return {ReadOutcome::TooLarge, 0};
    if (static_cast<std::uint64_t>(status.st_size) != entry.size || status.st_mtim.tv_sec != entry.modifiedUnixSeconds)
        return {ReadOutcome::Changed, 0};
    int lockErrno = 0;
    if (!lockForSharedReading(fd, lockErrno)) {
        if (lockErrno == EAGAIN || lockErrno == EACCES)
            return {ReadOutcome::Busy, win32::kSharingViolation};
        return failed(lockErrno);
    }

    return readCheckedSize(bytes, static_cast<std::size_t>(status.st_size), [fd](char* into, std::size_t room) {
        ssize_t count;
        do {
            count = ::read(fd, into, room);
        } while (count < 0 && errno == EINTR);
        if (count < 0)
            return ReadStep{0, failed(errno)};
        return ReadStep{static_cast<std::size_t>(count), std::nullopt};
    });
}

} // namespace mirunea
