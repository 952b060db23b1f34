#pragma once

namespace mirunea::qt {

// Screen readers see the form as a window and a radio group as a group,
// where Qt would offer plain fillers.
void installAccessibleRoles();

} // namespace mirunea::qt
