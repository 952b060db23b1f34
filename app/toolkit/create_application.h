#pragma once

#include "app/toolkit/toolkit.h"

#include <memory>

namespace mirunea {

// The toolkit backend this build was made with.
[[nodiscard]] std::unique_ptr<toolkit::Application> createApplication();

} // namespace mirunea
