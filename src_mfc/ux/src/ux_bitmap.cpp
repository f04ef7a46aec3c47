// Picture control: draws its state's bitmap and caption; only the hover cursor reacts to the mouse.
#include "orvan_ux/ux_bitmap.h"

#include "ux_caption.h"

namespace ORVAN_UXClass {

namespace {

// Size of the first bitmap that is given and has a size; 0 when none has.
template <class Measure>
int32_t FirstSize(const std::array<std::unique_ptr<ORVAN_UXResBitmap>, 4>& bitmaps, Measure measure) {
    for (const auto& bitmap : bitmaps) {
        const int32_t size = measure(*bitmap);
        if (bitmap->resourceId() != 0 && size != 0) return size;
    }
    return 0;
}

}  // namespace

ORVAN_UXBitmap::ORVAN_UXBitmap(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId,
                               const std::array<int32_t, 4>& bitmapIds)
    : ORVAN_UXObject(owner, userData, cursorId), text(L"Button") {
    for (size_t i = 0; i < bitmaps.size(); ++i)
        bitmaps[i] = std::make_unique<ORVAN_UXResBitmap>(owner, bitmapIds[i]);
    interactive = bitmapIds[UX_STATE_HOVER] != 0 && bitmapIds[UX_STATE_PRESSED] != 0 &&
                  bitmapIds[UX_STATE_DISABLED] != 0;
}

bool ORVAN_UXBitmap::HitTest(orvan::wnd::Point point) const {
    return HitsInside(hitInset, point);
}

int32_t ORVAN_UXBitmap::GetWidth() const {
    return FirstSize(bitmaps, [](const ORVAN_UXResBitmap& b) { return b.Width(); });
}

int32_t ORVAN_UXBitmap::GetHeight() const {
    return FirstSize(bitmaps, [](const ORVAN_UXResBitmap& b) { return b.Height(); });
}

bool ORVAN_UXBitmap::OnHover(uint32_t, orvan::wnd::Point point, bool active, bool locked) {
    if (!visible || !enabled || !active || locked || !interactive || !HitTest(point)) return false;
    ShowHoverCursor();
    return true;
}

bool ORVAN_UXBitmap::OnLButtonDown(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect&,
                                   bool, bool, bool&) {
    return false;
}

bool ORVAN_UXBitmap::OnMouseMove(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect, bool,
                                 bool, bool&) {
    return false;
}

bool ORVAN_UXBitmap::OnLButtonUp(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect, bool,
                                 bool, bool&) {
    return false;
}

bool ORVAN_UXBitmap::OnLButtonDblClk(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect&,
                                     bool, bool, bool&) {
    return false;
}

void ORVAN_UXBitmap::Draw(orvan::wnd::DeviceContext* dc, bool, bool) {
    if (!visible) return;
    const bool special = state >= UX_STATE_HOVER && state <= UX_STATE_DISABLED;
    if (!special || !bitmaps[state]->Draw(dc, rect)) bitmaps[UX_STATE_NORMAL]->Draw(dc, rect);
    if (text.empty()) return;
    DrawCaption(dc, rect, 0, 0, text, state == UX_STATE_DISABLED ? UX_DISABLED_TEXT_COLOR : textColor);
}

void ORVAN_UXBitmap::SetEnabled(bool value) {
    enabled = value;
    state = value ? UX_STATE_NORMAL : UX_STATE_DISABLED;
}

}  // namespace ORVAN_UXClass
