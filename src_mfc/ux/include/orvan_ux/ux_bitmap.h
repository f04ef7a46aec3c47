// Picture control (screen backgrounds, sensor pictures). It never takes a press; with a full set
// of four bitmaps it shows the hover cursor.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "orvan_ux/ux_object.h"
#include "orvan_ux/ux_res_bitmap.h"

namespace ORVAN_UXClass {

class ORVAN_UXBitmap : public ORVAN_UXObject {
  public:
    // bitmapIds: normal, hover, pressed, disabled; 0 for an absent one. The caption reads
    // "Button" until replaced.
    ORVAN_UXBitmap(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId,
                   const std::array<int32_t, 4>& bitmapIds);

    bool HitTest(orvan::wnd::Point point) const override;
    // The size of the first bitmap with a non-zero id and a non-zero size; 0 when there is none.
    int32_t GetWidth() const override;
    int32_t GetHeight() const override;
    bool OnHover(uint32_t flags, orvan::wnd::Point point, bool active, bool locked) override;
    bool OnLButtonDown(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                       ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) override;
    bool OnMouseMove(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                     ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) override;
    bool OnLButtonUp(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                     ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) override;
    bool OnLButtonDblClk(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                         ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) override;
    // Draws the state's bitmap whatever active, locked and enabled say.
    void Draw(orvan::wnd::DeviceContext* dc, bool active, bool locked) override;
    // The change shows with the next paint.
    virtual void SetEnabled(bool value);

    std::array<std::unique_ptr<ORVAN_UXResBitmap>, 4> bitmaps;
    bool interactive = false;  // hover, pressed and disabled ids all given
    bool enabled = true;
    ORVAN_UXInset hitInset;
    std::wstring text;
    orvan::wnd::COLORREF textColor = 0;
    int32_t state = UX_STATE_NORMAL;
};

}  // namespace ORVAN_UXClass
