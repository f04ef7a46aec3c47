// Encoders for the Windows forms of the cursor and the icon (.cur and .ico), which the Windows
// resource compiler takes: each picture as a 32-bit bottom-up DIB with its alpha, plus the 1-bit
// mask older readers use.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace orvan::art {

// One icon with every picture in images (each at most 256 by 256). Empty when there is none.
QByteArray EncodeIco(const QList<QImage>& images);

// One cursor of image (at most 256 by 256) whose hot spot is (hotSpotX, hotSpotY). Empty for a null image.
QByteArray EncodeCur(const QImage& image, int hotSpotX, int hotSpotY);

}  // namespace orvan::art
