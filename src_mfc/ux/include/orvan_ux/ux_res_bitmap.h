// One bitmap from the program's resources, stretched onto a control's rectangle when drawn.
// An id of 0 or below stands for an absent bitmap: usable, but it draws nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "orvan_ux/ux_rect.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

class ORVAN_UXResBitmap {
  public:
    // Without a window nothing is loaded.
    ORVAN_UXResBitmap(orvan::wnd::Window* window, int32_t resourceId);
    ~ORVAN_UXResBitmap();
    ORVAN_UXResBitmap(const ORVAN_UXResBitmap&) = delete;
    ORVAN_UXResBitmap& operator=(const ORVAN_UXResBitmap&) = delete;

    bool loaded() const { return loaded_; }
    int32_t resourceId() const { return resourceId_; }
    // -1 when the bitmap failed to load, 0 for an absent bitmap, else the size in pixels.
    int32_t Width() const;
    int32_t Height() const;

    // False without drawing when not loaded, absent or without a device context; otherwise
    // stretches the bitmap (less its margins) onto target and returns true, also when target is
    // empty and nothing is drawn.
    bool Draw(orvan::wnd::DeviceContext* dc, const ORVAN_UXRect& target) const;

  private:
    bool loaded_ = false;
    int32_t resourceId_ = 0;
    std::unique_ptr<orvan::wnd::Bitmap> bitmap_;
    int32_t bitmapWidth_ = 0;
    int32_t bitmapHeight_ = 0;
    ORVAN_UXInset margin_;
};

}  // namespace ORVAN_UXClass
