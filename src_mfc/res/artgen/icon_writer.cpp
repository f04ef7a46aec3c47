#include "icon_writer.h"

#include <cstdint>

namespace orvan::art {

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kInfoHeaderSize = 40;

void AppendU16(QByteArray& out, uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void AppendU32(QByteArray& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The picture as the directory entry points at it: a BITMAPINFOHEADER of twice the height (colour
// rows, then mask rows), BGRA rows bottom up, and the mask (1: transparent) in rows of 32-bit units.
QByteArray EncodeDib(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    const int maskStride = ((width + 31) / 32) * 4;
    QByteArray out;
    AppendU32(out, kInfoHeaderSize);
    AppendU32(out, static_cast<uint32_t>(width));
    AppendU32(out, static_cast<uint32_t>(2 * height));
    AppendU16(out, 1);   // planes
    AppendU16(out, 32);  // bits per pixel
    AppendU32(out, 0);   // no compression
    AppendU32(out, static_cast<uint32_t>(width * height * 4 + maskStride * height));
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            out.append(static_cast<char>(qBlue(row[x])));
            out.append(static_cast<char>(qGreen(row[x])));
            out.append(static_cast<char>(qRed(row[x])));
            out.append(static_cast<char>(qAlpha(row[x])));
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) == 0) mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(mask);
    }
    return out;
}

// type 1: icon (planes and bit count in the entries), 2: cursor (the hot spot in their place).
QByteArray EncodeDirectory(uint16_t type, const QList<QImage>& images, int hotSpotX, int hotSpotY) {
    QList<QByteArray> dibs;
    for (const QImage& image : images) {
        if (image.isNull() || image.width() > 256 || image.height() > 256) return {};
        dibs.append(EncodeDib(image));
    }
    if (dibs.isEmpty()) return {};
    QByteArray out;
    AppendU16(out, 0);
    AppendU16(out, type);
    AppendU16(out, static_cast<uint16_t>(dibs.size()));
    uint32_t offset = kDirectorySize + kEntrySize * static_cast<uint32_t>(dibs.size());
    for (qsizetype i = 0; i < dibs.size(); ++i) {
        const QImage& image = images[i];
        out.append(static_cast<char>(image.width() & 0xFF));  // 256 is written as 0
        out.append(static_cast<char>(image.height() & 0xFF));
        out.append('\0');  // no palette
        out.append('\0');
        AppendU16(out, static_cast<uint16_t>(type == 2 ? hotSpotX : 1));
        AppendU16(out, static_cast<uint16_t>(type == 2 ? hotSpotY : 32));
        AppendU32(out, static_cast<uint32_t>(dibs[i].size()));
        AppendU32(out, offset);
        offset += static_cast<uint32_t>(dibs[i].size());
    }
    for (const QByteArray& dib : dibs) out.append(dib);
    return out;
}

}  // namespace

QByteArray EncodeIco(const QList<QImage>& images) {
    return EncodeDirectory(1, images, 0, 0);
}

QByteArray EncodeCur(const QImage& image, int hotSpotX, int hotSpotY) {
    return EncodeDirectory(2, {image}, hotSpotX, hotSpotY);
}

}  // namespace orvan::art
