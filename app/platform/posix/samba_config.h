#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mirunea {

// Where a Samba server keeps its settings; its "netbios name" is the name
// the PC has on a Windows network.
inline constexpr const char* kSambaConfigPath = "/etc/samba/smb.conf";

// Samba's settings are a few kilobytes; more is read no further.
inline constexpr std::size_t kMaxSambaConfigBytes = 1024 * 1024;

// The value of "netbios name" in the global section of Samba's settings (as
// the file holds it, in its UTF-8); empty when it is not set there.
[[nodiscard]] std::string netBiosNameInSambaConfig(std::string_view configText);

// The complete lines within the first kMaxSambaConfigBytes of a regular
// file; empty when there is no such file or it cannot be read. Never waits
// on a FIFO.
[[nodiscard]] std::string sambaConfigText(const char* path);

} // namespace mirunea
