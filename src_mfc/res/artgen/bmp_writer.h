// Encoder for the bitmap resources: uncompressed 24-bit BMP with a BITMAPINFOHEADER and
// bottom-up rows, the one form the window layer and every BMP reader accept.
#pragma once

#include <QByteArray>
#include <QImage>

namespace orvan::art {

inline constexpr int kBmpHeaderSize = 54;

// Row length in bytes: three bytes a pixel, padded to a multiple of four.
constexpr int BmpStride(int width) {
    return (width * 3 + 3) & ~3;
}

// The file bytes for image (any format; alpha is dropped). Empty for a null image.
QByteArray EncodeBmp24(const QImage& image);

}  // namespace orvan::art
