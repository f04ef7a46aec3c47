// How many devices the finder's list and orvan-scan hold at most. Answers are unauthenticated and
// every new sender address would be a new device: a host forging answers from ever new addresses
// must not grow either without bound. The figure keeps the 10,000 devices of a large site with room.
#pragma once

#include <cstddef>

namespace ORVAN_UXClass {

inline constexpr size_t kMaxDevicesHeld = 16384;

}  // namespace ORVAN_UXClass
