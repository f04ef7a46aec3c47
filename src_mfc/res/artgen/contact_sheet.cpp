#include "contact_sheet.h"

#include <algorithm>

#include "catalog.h"
#include "palette.h"
#include "resource_ids.h"
#include "tile_sheet.h"

namespace orvan::art {

namespace {

QImage Enlarged(const QImage& image, int scale) {
    return image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

std::vector<SheetTile> CollectTiles(int scale, const std::vector<int32_t>& only) {
    std::vector<SheetTile> tiles;
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
    return LayOutSheet(CollectTiles(scale, only));
}

}  // namespace orvan::art
