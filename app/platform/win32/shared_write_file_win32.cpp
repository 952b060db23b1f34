#include "app/platform/file_layer.h"

#include "app/failure/io_failure.h"
#include "app/platform/win32/file_handle.h"

#include <algorithm>
#include <utility>

namespace mirunea {

using win32::FileHandle;
using win32::fromHandle;
using win32::kClosed;
using win32::toHandle;

namespace {

[[nodiscard]] BY_HANDLE_FILE_INFORMATION informationOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information))
        win32::throwLastError();
    return information;
}

[[nodiscard]] bool isReparsePoint(HANDLE handle)
{
    return (informationOf(handle).dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void truncateToEmpty(HANDLE handle)
{
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle))
        win32::throwLastError();
}

// A symbolic link or junction in place of the answer file would send our
// bytes to wherever it points. Look at the name itself, not its target.
void refuseReparsePoint(const std::string& name)
{
    const HANDLE probe = ::CreateFileA(name.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return; // nothing there yet (or nothing we may look at): the creation decides
    const bool reparse = isReparsePoint(probe);
    ::CloseHandle(probe);
    if (reparse)
        throw IoFailure(ERROR_ACCESS_DENIED);
}

// What CREATE_ALWAYS would refuse for an existing file besides what the open
// itself refuses (read-only): the hidden and system attributes. And a file
// with a second name (a hard link, which SMB clients can make too) may be
// another PC's answers: replacing this name would look like a send of theirs
// gone, so it is refused as a link is.
[[nodiscard]] bool mayBeReplaced(HANDLE handle)
{
    constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    const BY_HANDLE_FILE_INFORMATION information = informationOf(handle);
    return ::GetFileType(handle) == FILE_TYPE_DISK && (information.dwFileAttributes & kKeptAttributes) == 0
        && information.nNumberOfLinks == 1;
}

// The file now under the name, opened for writing with shared reading (so
// that no other writer gets it) once it has passed the checks; none when
// there is no such file. FILE_FLAG_OPEN_REPARSE_POINT again: should a link
// appear after the check, the link is opened, never its target.
[[nodiscard]] HANDLE holdPresentFile(const std::string& name)
{
    refuseReparsePoint(name);
    const HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND)
            return INVALID_HANDLE_VALUE;
        win32::throwLastError();
    }
    FileHandle held(handle);
    if (!mayBeReplaced(handle))
        throw IoFailure(ERROR_ACCESS_DENIED);
    return held.release();
}

// A name that keeps being taken between our removal and our creation is
// given up after this many rounds.
constexpr int kCreationAttempts = 8;

// "<name>.sending", empty, opened for writing with shared reading. One left
// by a send that was killed is taken over; whatever else stands under that
// name (a link, a file with a second name or with attributes that would pass
// on to the answer file) is no send of ours, and the name is removed (not
// what it points to) and made again. One held by a running send gives 32.
[[nodiscard]] HANDLE openSendingFile(const std::string& name)
{
    for (int attempt = 1;; ++attempt) {
        const HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
            FileHandle file(handle);
            if (!existed)
                return file.release();
            if (mayBeReplaced(handle)) {
                truncateToEmpty(handle);
                return file.release();
            }
        } else if (::GetLastError() != ERROR_ACCESS_DENIED) {
            win32::throwLastError(); // 32 among them: another send of this name is under way
        }
        // A read-only file or a folder refuses the removal too, as it would
        // refuse the answer file's name: no attribute of it is changed.
        if (attempt >= kCreationAttempts || !::DeleteFileA(name.c_str()))
            throw IoFailure(ERROR_ACCESS_DENIED);
    }
}

} // namespace

SharedWriteFile SharedWriteFile::create(const std::string& name)
{
    win32::requireNoZeroByte(name.data(), name.size());
    FileHandle held(holdPresentFile(name));
    FileHandle written(openSendingFile(sendingName(name)));
    return SharedWriteFile(fromHandle(held.release()), fromHandle(written.release()), name);
}

SharedWriteFile::SharedWriteFile(SharedWriteFile&& other) noexcept
    : m_held(std::exchange(other.m_held, kClosed))
    , m_written(std::exchange(other.m_written, kClosed))
    , m_name(std::exchange(other.m_name, std::string()))
{
}

SharedWriteFile::~SharedWriteFile()
{
    discard();
}

void SharedWriteFile::discard() noexcept
{
    win32::closeIfOpen(std::exchange(m_written, kClosed));
    win32::closeIfOpen(std::exchange(m_held, kClosed));
    if (!m_name.empty())
        ::DeleteFileA(sendingName(std::exchange(m_name, std::string())).c_str());
}

void SharedWriteFile::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(toHandle(m_written), bytes.data(), chunk, &written, nullptr))
            win32::throwLastError();
        if (written == 0) // not expected of a disk file; never loop on it
            throw IoFailure(ERROR_WRITE_FAULT);
        bytes.remove_prefix(written);
    }
}

void SharedWriteFile::close()
{
    // The bytes reach the disk before the name does: after a crash the name
    // holds the previous file or the new one, never a cut one.
    if (!::FlushFileBuffers(toHandle(m_written)))
        win32::throwLastError();
    win32::closeOnce(m_written);
}

void SharedWriteFile::replace()
{
    // Windows does not replace a file that is open, ours included.
    win32::closeIfOpen(std::exchange(m_held, kClosed));
    if (!::MoveFileExA(sendingName(m_name).c_str(), m_name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        win32::throwLastError();
    m_name.clear();
}

} // namespace mirunea
