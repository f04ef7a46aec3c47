// Lays labelled pictures out on one sheet, in rows from left to right, for reviewing them by eye:
// the art's contact sheet and the screenshots of the window tour both use it.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <vector>

namespace orvan::art {

struct SheetTile {
    QString label;
    QImage image;                     // drawn as it is: enlarge or shrink it beforehand
    QColor ground = Qt::transparent;  // shown behind images with transparency
};

// The tiles in order, each under its label, at most about four wide tiles to a row.
QImage LayOutSheet(const std::vector<SheetTile>& tiles);

}  // namespace orvan::art
