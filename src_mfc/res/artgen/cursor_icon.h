// The pointing-hand cursor (its fingertip at the hot spot the resource header declares) and the
// application icon. Both have an alpha channel and are stored as PNG.
#pragma once

#include <QImage>

namespace orvan::art {

QImage PaintHandCursor(int size, int hotSpotX, int hotSpotY);
QImage PaintAppIcon(int size);

}  // namespace orvan::art
