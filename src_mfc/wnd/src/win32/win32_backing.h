// The child view's pixels: a 32-bit top-down DIB section selected into a memory device context with
// the default GUI font. Everything the program draws lands here; the window shows it when it paints,
// so drawing outside a paint works and the window keeps its last picture.
#pragma once

#include <cstdint>

#include "win32_util.h"

namespace orvan::wnd::win32 {

class Backing {
  public:
    Backing();
    ~Backing();
    Backing(const Backing&) = delete;
    Backing& operator=(const Backing&) = delete;

    // Keeps the pixels that still fit, at the top left; new parts start white. At least 1 by 1.
    void Resize(int32_t width, int32_t height);

    HDC Dc() const { return dc_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // The pixel at (x, y) as 0x00BBGGRR; 0 outside the image.
    COLORREF Pixel(int32_t x, int32_t y) const;
    // Copies the part rect of the pixels to the same place of target.
    void ShowOn(HDC target, const RECT& rect) const;

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_bitmap_ = nullptr;
    HGDIOBJ original_font_ = nullptr;
    uint32_t* bits_ = nullptr;  // 0x00RRGGBB per pixel, rows top down
    int32_t width_ = 0;
    int32_t height_ = 0;
};

}  // namespace orvan::wnd::win32
