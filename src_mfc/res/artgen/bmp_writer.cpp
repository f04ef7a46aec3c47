#include "bmp_writer.h"

#include <cstdint>

namespace orvan::art {

namespace {

void PutU16(QByteArray& out, int offset, uint16_t v) {
    out[offset] = static_cast<char>(v & 0xFF);
    out[offset + 1] = static_cast<char>(v >> 8);
}

void PutU32(QByteArray& out, int offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

QByteArray EncodeBmp24(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = BmpStride(width);
    const uint32_t pixelBytes = static_cast<uint32_t>(stride) * static_cast<uint32_t>(height);

    QByteArray out(kBmpHeaderSize + static_cast<qsizetype>(pixelBytes), '\0');
    // BITMAPFILEHEADER
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, kBmpHeaderSize + pixelBytes);
    PutU32(out, 10, kBmpHeaderSize);
    // BITMAPINFOHEADER; a positive height means rows run bottom-up.
    PutU32(out, 14, 40);
    PutU32(out, 18, static_cast<uint32_t>(width));
    PutU32(out, 22, static_cast<uint32_t>(height));
    PutU16(out, 26, 1);   // planes
    PutU16(out, 28, 24);  // bits per pixel
    PutU32(out, 30, 0);   // no compression
    PutU32(out, 34, pixelBytes);
    PutU32(out, 38, 2835);  // 72 dpi
    PutU32(out, 42, 2835);

    char* data = out.data() + kBmpHeaderSize;
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        char* row = data + static_cast<qsizetype>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<char>(qBlue(src[x]));
            row[3 * x + 1] = static_cast<char>(qGreen(src[x]));
            row[3 * x + 2] = static_cast<char>(qRed(src[x]));
        }
    }
    return out;
}

}  // namespace orvan::art
