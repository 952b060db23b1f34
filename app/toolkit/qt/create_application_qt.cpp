#include "app/toolkit/create_application.h"

#include "app/toolkit/qt/qt_application.h"

namespace mirunea {

std::unique_ptr<toolkit::Application> createApplication()
{
    return std::make_unique<qt::QtApplication>();
}

} // namespace mirunea
