// Base of every drawn control: where it is, who owns it, its cursors, and the mouse and paint
// operations through which the object list drives it.
#pragma once

#include <cstdint>

#include "orvan_ux/ux_rect.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

class ORVAN_UXViewController;

// Kind stored beside each registered control; dispatch and paint visit kinds 0 to 3 only.
inline constexpr int32_t UX_KIND_BUTTON = 0;
inline constexpr int32_t UX_KIND_BITMAP = 1;
inline constexpr int32_t UX_KIND_LABEL = 2;
inline constexpr int32_t UX_KIND_RADIO = 3;

// Control states; also the index of the state's bitmap within a bitmap set.
inline constexpr int32_t UX_STATE_NORMAL = 0;
inline constexpr int32_t UX_STATE_HOVER = 1;
inline constexpr int32_t UX_STATE_PRESSED = 2;
inline constexpr int32_t UX_STATE_DISABLED = 3;

// Caption colour of a control that is not lit.
inline constexpr orvan::wnd::COLORREF UX_DISABLED_TEXT_COLOR = 0x808080;

class ORVAN_UXObject {
  public:
    // Takes the arrow cursor and loads cursorId as the hover cursor; owner may be null (nothing
    // is loaded then and the control never touches a window).
    ORVAN_UXObject(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId);
    virtual ~ORVAN_UXObject();
    ORVAN_UXObject(const ORVAN_UXObject&) = delete;
    ORVAN_UXObject& operator=(const ORVAN_UXObject&) = delete;

    virtual bool HitTest(orvan::wnd::Point point) const = 0;
    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;
    // True when the control is under the pointer and has taken care of the cursor.
    virtual bool OnHover(uint32_t flags, orvan::wnd::Point point, bool active, bool locked) = 0;
    // The press operations may record this control's rectangle in pressRect; the move and
    // release operations only read their copy. The out flag says that the control took the event.
    virtual bool OnLButtonDown(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                               ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) = 0;
    virtual bool OnMouseMove(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                             ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) = 0;
    virtual bool OnLButtonUp(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                             ORVAN_UXRect pressRect, bool active, bool locked, bool& taken) = 0;
    virtual bool OnLButtonDblClk(uint32_t flags, orvan::wnd::Point point, orvan::wnd::DeviceContext* dc,
                                 ORVAN_UXRect& pressRect, bool active, bool locked, bool& grabbed) = 0;
    // dc may be null (no window to draw on); drawing is skipped then.
    virtual void Draw(orvan::wnd::DeviceContext* dc, bool active, bool locked) = 0;

    orvan::wnd::Window* owner = nullptr;
    ORVAN_UXViewController* userData = nullptr;
    orvan::wnd::CursorHandle arrowCursor = nullptr;
    orvan::wnd::CursorHandle hoverCursor = nullptr;
    bool visible = true;
    ORVAN_UXRect rect;

  protected:
    // The rectangle shrunk by inset contains point.
    bool HitsInside(const ORVAN_UXInset& inset, orvan::wnd::Point point) const;
    // Shows the hover cursor unless it is already showing (or could not be loaded).
    void ShowHoverCursor() const;
    void InvalidateOwner() const;
};

}  // namespace ORVAN_UXClass
