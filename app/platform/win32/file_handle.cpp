#include "app/platform/win32/file_handle.h"

#include "app/failure/io_failure.h"

#include <cstring>
#include <utility>

namespace mirunea::win32 {

void throwLastError()
{
    const DWORD code = ::GetLastError();
    // A failed call always sets a code; 0 would read as success in the error box.
    throw IoFailure(code == ERROR_SUCCESS ? static_cast<int>(ERROR_GEN_FAILURE) : static_cast<int>(code));
}

void closeIfOpen(std::intptr_t handle) noexcept
{
    if (handle != kClosed)
        ::CloseHandle(toHandle(handle));
}

void closeOnce(std::intptr_t& handle)
{
    if (handle == kClosed)
        return;
    if (!::CloseHandle(toHandle(std::exchange(handle, kClosed))))
        throwLastError();
}

void requireNoZeroByte(const char* name, std::size_t size)
{
    if (std::memchr(name, '\0', size) != nullptr)
        throw IoFailure(ERROR_PATH_NOT_FOUND);
}

} // namespace mirunea::win32
