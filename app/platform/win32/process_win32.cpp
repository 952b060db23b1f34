#include "app/platform/process.h"

// Windows ends a GUI program only through its window or from outside, never by
// a signal in the middle of a write, and has no file-size signal: nothing to do.
namespace mirunea {

void prepareProcess() { }

TerminationRequestsHeld::TerminationRequestsHeld() = default;
TerminationRequestsHeld::~TerminationRequestsHeld() = default;

} // namespace mirunea
