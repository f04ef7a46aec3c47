#include "contact_sheet.h"

#include <QPainter>
#include <algorithm>

#include "catalog.h"
#include "painting.h"
#include "palette.h"
#include "resource_ids.h"

namespace orvan::art {

namespace {

constexpr int kMargin = 16;
constexpr int kLabelHeight = 18;
constexpr int kMaxRowWidth = 1600;

struct Tile {
    QString label;
    QImage image;                     // already enlarged
    QColor ground = Qt::transparent;  // shown behind images with transparency
};

QImage Enlarged(const QImage& image, int scale) {
    return image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

std::vector<Tile> CollectTiles(int scale, const std::vector<int32_t>& only) {
    std::vector<Tile> tiles;
    for (const res::BitmapInfo& info : res::kBitmaps) {
        if (!only.empty() && std::find(only.begin(), only.end(), info.id) == only.end()) continue;
        tiles.push_back({QStringLiteral("%1  (%2x%3)").arg(info.id).arg(info.width).arg(info.height),
                         Enlarged(PaintBitmap(info.id, info.width, info.height), scale)});
    }
    if (!only.empty()) return tiles;
    const QImage cursor = Enlarged(PaintCursorResource(), std::max(scale, 4));
    tiles.push_back({QStringLiteral("cursor 500 on white"), cursor, kWhite});
    tiles.push_back({QStringLiteral("cursor 500 on blue"), cursor, kBlue});
    const QImage icon = PaintIconResource();
    tiles.push_back({QStringLiteral("icon 256"), icon, kWhite});
    for (int size : {64, 32, 16}) {
        tiles.push_back({QStringLiteral("icon %1").arg(size),
                         icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), kGrey100});
    }
    return tiles;
}

}  // namespace

QImage RenderContactSheet(int scale, const std::vector<int32_t>& only) {
    const std::vector<Tile> tiles = CollectTiles(scale, only);

    // Flow the tiles into rows, left to right.
    int rowWidth = 0;
    for (const Tile& t : tiles) rowWidth = std::max(rowWidth, t.image.width() + 2 * kMargin);
    rowWidth = std::max(rowWidth, std::min(kMaxRowWidth, rowWidth * 4));
    std::vector<QPoint> origins;
    int x = kMargin;
    int y = kMargin;
    int rowHeight = 0;
    int sheetWidth = 0;
    for (const Tile& t : tiles) {
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
        const Tile& t = tiles[i];
        const QPoint at = origins[i] + QPoint(0, kLabelHeight);
        DrawTextAt(p, origins[i].x(), QRectF(origins[i], QSizeF(200, kLabelHeight - 4)), t.label, font, kInk);
        p.fillRect(QRect(at - QPoint(1, 1), t.image.size() + QSize(2, 2)), QColor(0x55, 0x5E, 0x6B));
        if (t.ground.alpha() > 0) p.fillRect(QRect(at, t.image.size()), t.ground);
        p.drawImage(at, t.image);
    }
    return sheet;
}

}  // namespace orvan::art
