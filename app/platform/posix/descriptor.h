#pragma once

#include "app/platform/scoped_handle.h"

#include <string_view>

namespace mirunea {

// A file descriptor owned for a scope. Closing it keeps errno, so that a
// failure on the way out is reported with its own code.
struct DescriptorTraits
{
    using Handle = int;
    [[nodiscard]] static int none() noexcept { return -1; }
    static void close(int fd) noexcept;
};
using Descriptor = ScopedHandle<DescriptorTraits>;

// Writes all the bytes, going on after a signal cut a write short. Throws
// IoFailure with the Windows code of the failure.
void writeAll(int fd, std::string_view bytes);

} // namespace mirunea
