#include "app/platform/posix/descriptor.h"

#include "app/failure/io_failure.h"
#include "app/platform/posix/windows_error_code.h"

#include <cerrno>
#include <unistd.h>

namespace mirunea {

void DescriptorTraits::close(int fd) noexcept
{
    const int savedErrno = errno;
    ::close(fd);
    errno = savedErrno;
}

void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw IoFailure(windowsErrorCodeFromErrno(errno));
        }
        if (written == 0) // not expected of a regular file; never loop on it
            throw IoFailure(windowsErrorCodeFromErrno(EIO));
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace mirunea
