#include "app/failure_report.h"

#include "app/error_box_text.h"
#include "app/io_failure.h"
#include "app/toolkit.h"

namespace mirunea {

void reportFailure(toolkit::Application& app, const IoFailure& failure)
{
    app.releaseMouseCapture();
    app.showErrorBox(app.title(), errorBoxText(failure.message()));
}

void deliverEvent(toolkit::Application& app, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const IoFailure& failure) {
        reportFailure(app, failure);
    }
}

} // namespace mirunea
