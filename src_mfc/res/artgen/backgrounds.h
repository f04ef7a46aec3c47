// Screen backgrounds: the device list's header strip, the welcome screen, and the calm screens
// of the device families, told apart by a quiet tint and the family's glyph.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>

namespace orvan::art {

struct Family {
    QColor tint;
    void (*glyph)(QPainter&, const QRectF&, const QColor&, double pen);
};

QImage PaintHeaderStrip(QSize size);
QImage PaintWelcome(QSize size);
QImage PaintFamilyBackground(QSize size, const Family& family);

}  // namespace orvan::art
