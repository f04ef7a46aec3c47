// Label: filled rectangle with an aligned caption; inert to the mouse.
#include "orvan_ux/ux_label.h"

#include "ux_caption.h"

namespace ORVAN_UXClass {

ORVAN_UXLabel::ORVAN_UXLabel(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId)
    : ORVAN_UXObject(owner, userData, cursorId) {}

bool ORVAN_UXLabel::HitTest(orvan::wnd::Point point) const {
    return HitsInside(hitInset, point);
}

bool ORVAN_UXLabel::OnHover(uint32_t, orvan::wnd::Point, bool, bool) {
    return false;
}

bool ORVAN_UXLabel::OnLButtonDown(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect&,
                                  bool, bool, bool&) {
    return false;
}

bool ORVAN_UXLabel::OnMouseMove(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect, bool,
                                bool, bool&) {
    return false;
}

bool ORVAN_UXLabel::OnLButtonUp(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect, bool,
                                bool, bool&) {
    return false;
}

bool ORVAN_UXLabel::OnLButtonDblClk(uint32_t, orvan::wnd::Point, orvan::wnd::DeviceContext*, ORVAN_UXRect&,
                                    bool, bool, bool&) {
    return false;
}

void ORVAN_UXLabel::Draw(orvan::wnd::DeviceContext* dc, bool, bool) {
    if (!visible || !dc) return;
    dc->FillSolidRect(rect.x, rect.y, rect.width, rect.height, backColor);
    DrawCaption(dc, rect, 0, 0, text, textColor, alignment);
}

void ORVAN_UXLabel::SetText(std::wstring value) {
    text = std::move(value);
    InvalidateOwner();
}

}  // namespace ORVAN_UXClass
