#include "app/toolkit/create_application.h"

#include "app/toolkit/win32/win32_application.h"

namespace mirunea {

std::unique_ptr<toolkit::Application> createApplication()
{
    return std::make_unique<win32::Win32Application>();
}

} // namespace mirunea
