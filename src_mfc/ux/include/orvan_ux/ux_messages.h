// Private window messages posted to the child view: screens ask for the next screen or for a
// full repaint with these; the shell handles them in posting order on the user-interface thread.
#pragma once

#include <cstdint>

namespace ORVAN_UXClass {

// wparam: the requesting screen (or -1), lparam: the activity id of the next screen.
inline constexpr uint32_t MSG_ACTIVITY_NAVIGATE = 5024;
// No parameters: invalidate the whole client area.
inline constexpr uint32_t MSG_ACTIVITY_REPAINT = 5025;

}  // namespace ORVAN_UXClass
