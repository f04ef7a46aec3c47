// A contact sheet of the art for reviewing it by eye: every bitmap enlarged with its id, and the
// cursor and icon beside them.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace orvan::art {

// Bitmaps at scale (nearest-neighbour, so single pixels stay visible). With only non-empty, just
// those bitmap ids and no cursor or icon.
QImage RenderContactSheet(int scale, const std::vector<int32_t>& only);

}  // namespace orvan::art
