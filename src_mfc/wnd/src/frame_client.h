// The client area a frame rectangle leaves, when the frame's decoration is what the screen metrics
// say: the frame is placed by a formula over those metrics, and each window layer sizes its real
// window so that exactly this client area results, whatever decoration the system actually draws.
#pragma once

#include "orvan_wnd/host.h"

namespace orvan::wnd {

// At least 1 by 1.
Size ClientSizeOfFrame(const ScreenMetrics& metrics, int32_t frameWidth, int32_t frameHeight);

}  // namespace orvan::wnd
