// What a screen needs to show pictures it receives: the header that describes a 24-bit frame, a
// picture-drawing object that puts frames on the view, and a caption font. Both objects are
// released by deleting them.
#pragma once

#include <cstdint>
#include <type_traits>

namespace orvan::wnd {

// Description of an uncompressed frame, laid out like the platform's bitmap information header
// (40 bytes), so that frames received from a device can be handed over as they are.
struct BitmapInfoHeader {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // 0: none
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);
inline constexpr uint32_t BITMAP_INFO_HEADER_SIZE = sizeof(BitmapInfoHeader);

inline constexpr int32_t FONT_FACE_SIZE = 32;

// A font as the platform describes one; plain data, so it may live in any zeroed block.
struct FontDesc {
    int32_t height = 0;  // character height in pixels
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;  // 100 thin to 900 heavy; 0 the default
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    wchar_t faceName[FONT_FACE_SIZE] = {};  // zero-terminated
};
static_assert(std::is_trivially_copyable_v<FontDesc>);

// Draws received frames onto the view, stretching them to the target rectangle.
class PictureDrawer {
  public:
    virtual ~PictureDrawer() = default;
};

// A font made from a FontDesc, for captions drawn over pictures.
class Font {
  public:
    virtual ~Font() = default;
};

}  // namespace orvan::wnd
