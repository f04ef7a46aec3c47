#include "tile_sheet.h"

#include <QPainter>
#include <algorithm>

#include "painting.h"
#include "palette.h"

namespace orvan::art {

namespace {

constexpr int kMargin = 16;
constexpr int kLabelHeight = 18;
constexpr int kMaxRowWidth = 1600;

}  // namespace

QImage LayOutSheet(const std::vector<SheetTile>& tiles) {
    // Flow the tiles into rows, left to right.
    int rowWidth = 0;
    for (const SheetTile& t : tiles) rowWidth = std::max(rowWidth, t.image.width() + 2 * kMargin);
    rowWidth = std::max(rowWidth, std::min(kMaxRowWidth, rowWidth * 4));
    std::vector<QPoint> origins;
    int x = kMargin;
    int y = kMargin;
    int rowHeight = 0;
    int sheetWidth = 0;
    for (const SheetTile& t : tiles) {
        const int w = std::max(t.image.width(), 120);
        const int h = t.image.height() + kLabelHeight;
        if (x > kMargin && x + w + kMargin > rowWidth) {
            x = kMargin;
            y += rowHeight + kMargin;
            rowHeight = 0;
        }
        origins.emplace_back(x, y);
        x += w + kMargin;
        rowHeight = std::max(rowHeight, h);
        sheetWidth = std::max(sheetWidth, x);
    }
    const int sheetHeight = y + rowHeight + kMargin;

    QImage sheet(sheetWidth, sheetHeight, QImage::Format_RGB32);
    sheet.fill(QColor(0xC4, 0xCA, 0xD2));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont font = UiFont(12, true);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const SheetTile& t = tiles[i];
        const QPoint at = origins[i] + QPoint(0, kLabelHeight);
        DrawTextAt(p, origins[i].x(), QRectF(origins[i], QSizeF(200, kLabelHeight - 4)), t.label, font, kInk);
        p.fillRect(QRect(at - QPoint(1, 1), t.image.size() + QSize(2, 2)), QColor(0x55, 0x5E, 0x6B));
        if (t.ground.alpha() > 0) p.fillRect(QRect(at, t.image.size()), t.ground);
        p.drawImage(at, t.image);
    }
    return sheet;
}

}  // namespace orvan::art
