// Push button drawn from four state bitmaps (normal, hover, pressed, disabled) with a caption.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "orvan_ux/ux_push_control.h"

namespace ORVAN_UXClass {

class ORVAN_UXButton : public ORVAN_UXPushControl {
  public:
    // bitmapIds: normal, hover, pressed, disabled. The caption reads "Button" until replaced.
    ORVAN_UXButton(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId,
                   const std::array<int32_t, 4>& bitmapIds);

    // The size of the normal bitmap.
    int32_t GetWidth() const override { return bitmaps[UX_STATE_NORMAL]->Width(); }
    int32_t GetHeight() const override { return bitmaps[UX_STATE_NORMAL]->Height(); }
    // Repaints at once.
    void SetEnabled(bool value) override;

    std::array<std::unique_ptr<ORVAN_UXResBitmap>, 4> bitmaps;

  protected:
    const ORVAN_UXResBitmap& StateBitmap(int32_t state) const override { return *bitmaps[state]; }
    bool DrawsEmptyCaption() const override { return false; }
};

}  // namespace ORVAN_UXClass
