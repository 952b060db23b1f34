#include "app/toolkit/failure_report.h"

#include "app/failure/error_box_text.h"
#include "app/failure/io_failure.h"
#include "app/failure/windows_error_codes.h"
#include "app/toolkit/toolkit.h"

#include <new>

namespace mirunea {

void reportFailure(toolkit::Application& app, const IoFailure& failure)
{
    app.releaseMouseCapture();
    app.showErrorBox(app.title(), errorBoxText(failure.message()));
}

namespace {

// Reports a failure that is no I/O failure of a file as one, with its code.
// Should even that fail (the memory is still gone), the event counts as
// handled without a box: an exception must never reach the toolkit's loop,
// which would end the program.
void reportAsIoFailure(toolkit::Application& app, int code) noexcept
{
    try {
        reportFailure(app, IoFailure(code));
    } catch (...) {
    }
}

} // namespace

void deliverEvent(toolkit::Application& app, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const IoFailure& failure) {
        try {
            reportFailure(app, failure);
        } catch (const std::bad_alloc&) {
            reportAsIoFailure(app, win32::kNotEnoughMemory);
        } catch (...) {
        }
    } catch (const std::bad_alloc&) {
        reportAsIoFailure(app, win32::kNotEnoughMemory);
    } catch (...) {
        reportAsIoFailure(app, win32::kInternalError);
    }
}

} // namespace mirunea
