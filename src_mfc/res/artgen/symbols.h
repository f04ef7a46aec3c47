// Vector symbols reused across pictures: the product mark (a camera lens sending out search
// waves), the small button glyphs and the device family glyphs. Each fits the given box.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace orvan::art {

// The product mark: lens ring and radar waves in fg, with the lens's glass in glass.
void DrawProductMark(QPainter& p, const QRectF& box, const QColor& fg, const QColor& glass);

// Small glyphs for buttons, drawn in one colour.
void DrawHouseGlyph(QPainter& p, const QRectF& box, const QColor& color);
void DrawSearchGlyph(QPainter& p, const QRectF& box, const QColor& color);
void DrawGlobeGlyph(QPainter& p, const QRectF& box, const QColor& color);

// Outline glyphs of the device families, drawn with a pen of the given width.
void DrawCameraGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen);
void DrawBoxGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen);
void DrawBoxCameraGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen);
void DrawRadarGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen);

}  // namespace orvan::art
