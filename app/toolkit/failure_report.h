#pragma once

#include <functional>

namespace mirunea {

class IoFailure;
namespace toolkit {
class Application;
}

// Shows the error box for a failure that has left an event handler.
void reportFailure(toolkit::Application& app, const IoFailure& failure);

// Runs an event handler as the toolkit delivers its event: an I/O failure that
// leaves it is reported, the event counts as handled, and the loop goes on.
// Any other exception is reported the same way as an I/O failure: exhausted
// memory with code 8, anything else with 1359; nothing leaves this function.
void deliverEvent(toolkit::Application& app, const std::function<void()>& handler);

} // namespace mirunea
