// Push-control state machine: normal, hover, pressed and disabled, driven by the object list.
#include "orvan_ux/ux_push_control.h"

#include "ux_caption.h"

namespace ORVAN_UXClass {

ORVAN_UXPushControl::ORVAN_UXPushControl(orvan::wnd::Window* owner, ORVAN_UXViewController* userData,
                                         int32_t cursorId, std::wstring defaultText)
    : ORVAN_UXObject(owner, userData, cursorId), text(std::move(defaultText)) {}

bool ORVAN_UXPushControl::HitTest(orvan::wnd::Point point) const {
    return HitsInside(hitInset, point);
}

bool ORVAN_UXPushControl::OnHover(uint32_t, orvan::wnd::Point point, bool active, bool locked) {
    if (!Responsive(active, locked) || !HitTest(point)) return false;
    ShowHoverCursor();
    return true;
}

bool ORVAN_UXPushControl::Grab(orvan::wnd::DeviceContext* dc, ORVAN_UXRect& pressRect, bool active,
                               bool locked, bool& grabbed, const ORVAN_UXCallbackSlot& callback) {
    grabbed = true;
    if (state == UX_STATE_PRESSED) return true;
    state = UX_STATE_PRESSED;
    pressRect = rect;
    Draw(dc, active, locked);  // show the press at once, before the callback runs
    callback.Call(userData);
    return true;
}

bool ORVAN_UXPushControl::OnLButtonDown(uint32_t, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                                        ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) {
    if (!Responsive(active, locked) || !HitTest(point)) return false;
    return Grab(dc, pressRect, active, locked, grabbed, onPress);
}

bool ORVAN_UXPushControl::OnLButtonDblClk(uint32_t, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                                          ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) {
    // The first click of the pair must have pressed this control.
    if (!Responsive(active, locked) || !HitTest(point) || !pressRect.Contains(point)) return false;
    return Grab(dc, pressRect, active, locked, grabbed, onDoubleClick);
}

bool ORVAN_UXPushControl::OnMouseMove(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                                      ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) {
    if (!Responsive(active, locked)) return false;
    if (flags & (orvan::wnd::MK_LBUTTON | orvan::wnd::MK_RBUTTON)) {
        // A held control stays pressed even while the pointer is off it.
        if (state == UX_STATE_PRESSED) {
            taken = true;
            return true;
        }
        if (rect.Contains(point) && pressRect.Contains(point)) {
            taken = true;
            Enter(UX_STATE_PRESSED, dc, active, locked);
            return true;
        }
    }
    if (HitTest(point)) {
        taken = true;
        Enter(UX_STATE_HOVER, dc, active, locked);
        return true;
    }
    Enter(UX_STATE_NORMAL, dc, active, locked);
    return false;
}

bool ORVAN_UXPushControl::OnLButtonUp(uint32_t, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                                      ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) {
    if (!Responsive(active, locked)) return false;
    state = UX_STATE_NORMAL;
    Draw(dc, active, locked);
    if (!HitTest(point) || !pressRect.Contains(point)) return false;
    taken = true;
    onRelease.Call(userData);
    onClick.Call(userData);
    return true;
}

void ORVAN_UXPushControl::Draw(orvan::wnd::DeviceContext* dc, bool active, bool locked) {
    if (!visible) return;
    const bool lit = enabled && active && !locked;
    const int32_t shown = lit ? state : UX_STATE_DISABLED;
    // The normal look when the state is out of range or its bitmap does not draw.
    const bool known = shown >= UX_STATE_NORMAL && shown <= UX_STATE_DISABLED;
    if (!known || !StateBitmap(shown).Draw(dc, rect)) StateBitmap(UX_STATE_NORMAL).Draw(dc, rect);
    if (text.empty() && !DrawsEmptyCaption()) return;
    // The caption sits lower right while pressed and flush while hovered.
    const int32_t offset = shown == UX_STATE_PRESSED ? 2 : shown == UX_STATE_HOVER ? 0 : 1;
    DrawCaption(dc, rect, offset, offset, text, lit ? textColor : UX_DISABLED_TEXT_COLOR);
}

void ORVAN_UXPushControl::SetEnabled(bool value) {
    enabled = value;
    state = value ? UX_STATE_NORMAL : UX_STATE_DISABLED;
}

void ORVAN_UXPushControl::Enter(int32_t newState, orvan::wnd::DeviceContext* dc, bool active, bool locked) {
    if (state == newState) return;
    state = newState;
    Draw(dc, active, locked);
}

}  // namespace ORVAN_UXClass
