// State machine shared by the push button and the radio box: hover, press, drag, release and
// double click with callbacks, and drawing of the current state's bitmap with its caption.
#pragma once

#include <cstdint>
#include <string>

#include "orvan_ux/ux_callback.h"
#include "orvan_ux/ux_object.h"
#include "orvan_ux/ux_res_bitmap.h"

namespace ORVAN_UXClass {

class ORVAN_UXPushControl : public ORVAN_UXObject {
  public:
    bool HitTest(orvan::wnd::Point point) const override;
    bool OnHover(uint32_t flags, orvan::wnd::Point point, bool active, bool locked) override;
    bool OnLButtonDown(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                       ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) override;
    bool OnMouseMove(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                     ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) override;
    bool OnLButtonUp(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                     ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) override;
    bool OnLButtonDblClk(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                         ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) override;
    void Draw(orvan::wnd::DeviceContext* dc, bool active, bool locked) override;

    // Enabled controls return to the normal state, disabled ones show the disabled state.
    virtual void SetEnabled(bool value);

    bool enabled = false;
    ORVAN_UXInset hitInset;
    std::wstring text;
    orvan::wnd::COLORREF textColor = 0;
    ORVAN_UXCallbackSlot onClick;
    ORVAN_UXCallbackSlot onDoubleClick;
    ORVAN_UXCallbackSlot onPress;
    ORVAN_UXCallbackSlot onRelease;
    int32_t state = UX_STATE_NORMAL;

  protected:
    ORVAN_UXPushControl(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId,
                        std::wstring defaultText);

    // The bitmap that shows state (UX_STATE_*) in the current look.
    virtual const ORVAN_UXResBitmap& StateBitmap(int32_t state) const = 0;
    // Buttons leave an empty caption out; radio boxes draw it regardless.
    virtual bool DrawsEmptyCaption() const = 0;

  private:
    bool Responsive(bool active, bool locked) const { return visible && enabled && active && !locked; }
    // Shared by press and double click: they differ in the extra press-rectangle test and callback.
    bool Grab(orvan::wnd::DeviceContext* dc, ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed,
              const ORVAN_UXCallbackSlot& callback);
    void Enter(int32_t newState, orvan::wnd::DeviceContext* dc, bool active, bool locked);
};

}  // namespace ORVAN_UXClass
