// Which painter draws each bitmap resource, and the cursor and icon as the program stores them.
#pragma once

#include <QImage>
#include <cstdint>

namespace orvan::art {

// The picture for bitmap resource id, or a null image when no painter draws that id.
QImage PaintBitmap(int32_t id, int width, int height);

QImage PaintCursorResource();
QImage PaintIconResource();

}  // namespace orvan::art
