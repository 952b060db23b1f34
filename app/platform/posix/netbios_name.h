#pragma once

#include <string>
#include <string_view>

namespace mirunea {

// The computer name a host name (as code page 932 text) stands for, as
// Windows reports it: see the rule at the definition.
[[nodiscard]] std::string netBiosNameFromHostName(std::string_view hostName);

} // namespace mirunea
