#pragma once

#include <string>
#include <string_view>

namespace mirunea {

// The computer name a host name (as code page 932 text) stands for: its
// first DNS label, upper-cased, and when longer than 15 bytes cut in the
// middle with a mark and a hash of the whole label, so that distinct host
// names stay distinct. See the rule at the definition.
[[nodiscard]] std::string netBiosNameFromHostName(std::string_view hostName);

// A name set as the NetBIOS name (code page 932 text) as it is announced:
// upper-cased and cut to 15 bytes at a character boundary.
[[nodiscard]] std::string netBiosNameFromSetName(std::string_view setName);

} // namespace mirunea
