#include "app/platform/file_layer.h"

#include "app/failure/io_failure.h"
#include "app/platform/win32/file_handle.h"

#include <algorithm>
#include <utility>

namespace mirunea {

using win32::fromHandle;
using win32::kClosed;
using win32::toHandle;

namespace {

[[nodiscard]] bool isReparsePoint(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information))
        win32::throwLastError();
    return (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
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

// What CREATE_ALWAYS refuses for an existing file besides what the open
// itself refuses (read-only): the hidden and system attributes. And a file
// with a second name (a hard link, which SMB clients can make too) may be
// another PC's answers or any file on the volume: emptying it would destroy
// them. Both are checked before anything is emptied.
void refuseToReplace(HANDLE handle, bool existed)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information))
        win32::throwLastError();
    constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
        || (existed && (information.dwFileAttributes & kKeptAttributes) != 0) || information.nNumberOfLinks > 1)
        throw IoFailure(ERROR_ACCESS_DENIED);
}

void truncateToEmpty(HANDLE handle)
{
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle))
        win32::throwLastError();
}

} // namespace

SharedWriteFile SharedWriteFile::create(const std::string& name)
{
    win32::requireNoZeroByte(name.data(), name.size());
    refuseReparsePoint(name);
    // OPEN_ALWAYS, not CREATE_ALWAYS: the file must keep its bytes until the
    // checks below have passed. FILE_FLAG_OPEN_REPARSE_POINT again: should a
    // link appear after the check, the link is opened, never its target.
    const HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        win32::throwLastError();
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    SharedWriteFile file(fromHandle(handle));
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        throw IoFailure(ERROR_ACCESS_DENIED);
    refuseToReplace(handle, existed);
    truncateToEmpty(handle);
    return file;
}

SharedWriteFile::SharedWriteFile(SharedWriteFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kClosed))
{
}

SharedWriteFile::~SharedWriteFile()
{
    win32::closeIfOpen(m_handle);
}

void SharedWriteFile::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(toHandle(m_handle), bytes.data(), chunk, &written, nullptr))
            win32::throwLastError();
        if (written == 0) // not expected of a disk file; never loop on it
            throw IoFailure(ERROR_WRITE_FAULT);
        bytes.remove_prefix(written);
    }
}

void SharedWriteFile::close()
{
    win32::closeOnce(m_handle);
}

} // namespace mirunea
