// Control bitmaps: the light push button, the choice box, the small blue header buttons with
// baked captions and the Home tab. Each paints one state at the given size.
#pragma once

#include <QImage>
#include <QSize>

#include "painting.h"

namespace orvan::art {

QImage PaintPushButton(QSize size, State state);
QImage PaintChoiceBox(QSize size, bool checked, State state);
QImage PaintScanButton(QSize size, State state);
QImage PaintWebGuiButton(QSize size, State state);
QImage PaintHomeTab(QSize size, State state);

}  // namespace orvan::art
