#pragma once

#include "app/toolkit/toolkit.h"

#include <vector>

namespace mirunea {

// The answer sheet window as designed: every control, parents first.
[[nodiscard]] toolkit::WindowSpec form1WindowSpec();
[[nodiscard]] std::vector<toolkit::ControlSpec> form1Controls();

} // namespace mirunea
