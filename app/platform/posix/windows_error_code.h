#pragma once

#include "app/failure/windows_error_codes.h"

namespace mirunea {

// The Windows code for a POSIX errno value. Values without a Windows
// counterpart get a code outside the message table's named rows, so that,
// for instance, EIO (errno 5) is never shown as "access denied".
[[nodiscard]] int windowsErrorCodeFromErrno(int errnoValue);

} // namespace mirunea
