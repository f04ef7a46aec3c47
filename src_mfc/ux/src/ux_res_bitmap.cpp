// Loading and stretched drawing of one resource bitmap.
#include "orvan_ux/ux_res_bitmap.h"

namespace ORVAN_UXClass {

ORVAN_UXResBitmap::ORVAN_UXResBitmap(orvan::wnd::Window* window, int32_t resourceId)
    : resourceId_(resourceId) {
    if (!window) return;
    if (resourceId <= 0) {
        loaded_ = true;  // an absent bitmap is usable and draws nothing
        return;
    }
    bitmap_ = window->LoadBitmapResource(resourceId);
    if (!bitmap_) return;
    bitmapWidth_ = bitmap_->Width();
    bitmapHeight_ = bitmap_->Height();
    loaded_ = true;
}

ORVAN_UXResBitmap::~ORVAN_UXResBitmap() = default;

int32_t ORVAN_UXResBitmap::Width() const {
    if (!loaded_) return -1;
    return bitmap_ ? bitmapWidth_ : 0;
}

int32_t ORVAN_UXResBitmap::Height() const {
    if (!loaded_) return -1;
    return bitmap_ ? bitmapHeight_ : 0;
}

bool ORVAN_UXResBitmap::Draw(orvan::wnd::DeviceContext* dc, const ORVAN_UXRect& target) const {
    if (!loaded_ || resourceId_ <= 0 || !bitmap_ || !dc) return false;
    if (target.width > 0 && target.height > 0) {
        const ORVAN_UXInset& m = margin_;
        dc->StretchBlt(target.x + m.left, target.y + m.top, target.width - m.left - m.right,
                       target.height - m.top - m.bottom, *bitmap_, m.left, m.top,
                       bitmapWidth_ - m.left - m.right, bitmapHeight_ - m.top - m.bottom);
    }
    return true;
}

}  // namespace ORVAN_UXClass
