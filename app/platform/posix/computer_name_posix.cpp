#include "app/computer_name.h"

#include "app/platform/posix/netbios_name.h"

#include <climits>
#include <cstddef>
#include <unistd.h>

namespace mirunea {

namespace {
constexpr std::size_t kMaxNetBiosNameBytes = 15;
}

// The first DNS label, ASCII letters upper-cased (as Windows and Wine report
// NetBIOS names), cut to at most 15 bytes.
std::string netBiosNameFromHostName(std::string_view hostName)
{
    std::string name(hostName.substr(0, hostName.find('.')));
    if (name.size() > kMaxNetBiosNameBytes)
        name.resize(kMaxNetBiosNameBytes);
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

std::string localComputerName()
{
    // Room for the longest host name, its zero byte, and a last byte that
    // stays zero even if a name were cut without one.
    char buffer[HOST_NAME_MAX + 2] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    return netBiosNameFromHostName(buffer);
}

} // namespace mirunea
