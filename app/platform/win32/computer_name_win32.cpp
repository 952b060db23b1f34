#include "app/platform/computer_name.h"

#include <windows.h>

#include <cstring>

namespace mirunea {

// The NetBIOS name: room for 15 bytes and the terminating zero, as asked.
std::string localComputerName()
{
    constexpr DWORD kBufferBytes = MAX_COMPUTERNAME_LENGTH + 1;
    static_assert(kBufferBytes == 16);
    char buffer[kBufferBytes] = {};
    DWORD size = kBufferBytes;
    if (!::GetComputerNameA(buffer, &size))
        return {};
    return std::string(buffer, ::strnlen(buffer, kBufferBytes - 1));
}

} // namespace mirunea
