#include "app/platform/file_layer.h"

#include "app/failure/io_failure.h"
#include "app/platform/win32/file_handle.h"

#include <algorithm>
#include <utility>

namespace mirunea {

using win32::fromHandle;
using win32::kClosed;
using win32::toHandle;

SharedReadFile SharedReadFile::open(const std::string& name)
{
    win32::requireNoZeroByte(name.data(), name.size());
    const HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        win32::throwLastError();
    SharedReadFile file(fromHandle(handle));
    // A device or pipe of that name is no questionnaire and could block the read.
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        throw IoFailure(ERROR_ACCESS_DENIED);
    return file;
}

SharedReadFile::SharedReadFile(SharedReadFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kClosed))
{
}

SharedReadFile::~SharedReadFile()
{
    win32::closeIfOpen(m_handle);
}

std::size_t SharedReadFile::read(char* buffer, std::size_t size)
{
    // ReadFile counts in DWORD; a shorter read is fine, the caller loops.
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD count = 0;
    if (!::ReadFile(toHandle(m_handle), buffer, chunk, &count, nullptr))
        win32::throwLastError();
    return count;
}

void SharedReadFile::close()
{
    win32::closeOnce(m_handle);
}

} // namespace mirunea
