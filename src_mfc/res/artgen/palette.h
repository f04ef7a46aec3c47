// The finder's colours: one primary blue, neutral greys and white, plus one quiet tint per device
// family. Every picture takes its colours from here so the art reads as one product.
#pragma once

#include <QColor>

namespace orvan::art {

// Primary blue, from light to dark.
inline const QColor kBlueTint{0xEA, 0xF2, 0xFD};
inline const QColor kBlueSoft{0xC9, 0xDC, 0xF8};
inline const QColor kBlueLight{0x4A, 0x90, 0xEA};
inline const QColor kBlue{0x1F, 0x6F, 0xD8};
inline const QColor kBlueDark{0x17, 0x58, 0xB4};
inline const QColor kBlueDeep{0x10, 0x43, 0x8E};

// Neutral greys, from light to dark.
inline const QColor kWhite{0xFF, 0xFF, 0xFF};
inline const QColor kGrey50{0xF7, 0xF8, 0xFA};
inline const QColor kGrey100{0xF0, 0xF2, 0xF5};
inline const QColor kGrey200{0xE2, 0xE6, 0xEC};
inline const QColor kGrey300{0xCC, 0xD2, 0xDA};
inline const QColor kGrey400{0xA9, 0xB2, 0xBE};
inline const QColor kGrey500{0x86, 0x90, 0x9D};
inline const QColor kGrey700{0x4A, 0x54, 0x62};
inline const QColor kInk{0x1D, 0x25, 0x32};

// Device family tints, used sparingly on the family screens.
inline const QColor kFamilyCamera = kBlue;
inline const QColor kFamilyBox{0x12, 0x9A, 0x86};
inline const QColor kFamilyBoxCamera{0x6B, 0x5A, 0xD0};
inline const QColor kFamilyNeutral{0x64, 0x72, 0x86};

// Signal colours for small details (status LEDs, water).
inline const QColor kLedGreen{0x22, 0xC5, 0x5E};
inline const QColor kLedRed{0xEF, 0x44, 0x44};
inline const QColor kAmber{0xF5, 0x9E, 0x0B};
inline const QColor kWater{0x38, 0x9B, 0xE8};

// c1 blended towards c2 by t (0 gives c1, 1 gives c2).
inline QColor Mix(const QColor& c1, const QColor& c2, double t) {
    auto lerp = [t](int a, int b) { return static_cast<int>(a + (b - a) * t + 0.5); };
    return QColor(lerp(c1.red(), c2.red()), lerp(c1.green(), c2.green()), lerp(c1.blue(), c2.blue()),
                  lerp(c1.alpha(), c2.alpha()));
}

inline QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

}  // namespace orvan::art
