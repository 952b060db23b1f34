#pragma once

#include "app/platform/scoped_handle.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The file layer keeps a HANDLE in an integer so that its header needs no
// <windows.h>; INVALID_HANDLE_VALUE (-1) marks a file that is closed.
namespace mirunea::win32 {

[[nodiscard]] inline HANDLE toHandle(std::intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

[[nodiscard]] inline std::intptr_t fromHandle(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

inline const std::intptr_t kClosed = fromHandle(INVALID_HANDLE_VALUE);

struct FileHandleTraits
{
    using Handle = HANDLE;
    [[nodiscard]] static HANDLE none() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE file) noexcept { ::CloseHandle(file); }
};
// A HANDLE owned for a scope.
using FileHandle = ScopedHandle<FileHandleTraits>;

// For destructors, where a failed CloseHandle has nowhere to go.
void closeIfOpen(std::intptr_t handle) noexcept;

// Marks the handle closed, then closes it: the handle is gone whatever
// CloseHandle returns, so it is never closed twice. Throws IoFailure if
// CloseHandle fails.
void closeOnce(std::intptr_t& handle);

// The code of the call that just failed, kept as Windows reports it.
[[noreturn]] void throwLastError();

// Windows takes a name up to its first zero byte; a name that hides more after
// one is refused rather than quietly shortened.
void requireNoZeroByte(const char* name, std::size_t size);

} // namespace mirunea::win32
