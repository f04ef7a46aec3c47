// Text on a filled rectangle. A label never takes input and never changes the cursor.
#pragma once

#include <cstdint>
#include <string>

#include "orvan_ux/ux_object.h"

namespace ORVAN_UXClass {

class ORVAN_UXLabel : public ORVAN_UXObject {
  public:
    ORVAN_UXLabel(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId);

    bool HitTest(orvan::wnd::Point point) const override;
    int32_t GetWidth() const override { return rect.width; }
    int32_t GetHeight() const override { return rect.height; }
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

    // Replaces the caption and invalidates the owner window.
    void SetText(std::wstring value);

    bool enabled = false;
    ORVAN_UXInset hitInset;
    std::wstring text;
    orvan::wnd::COLORREF textColor = 0;
    orvan::wnd::COLORREF backColor = 0;
    // 0 left, 2 right, anything else centred. Screens write it and invalidate the owner.
    int32_t alignment = 1;
};

}  // namespace ORVAN_UXClass
