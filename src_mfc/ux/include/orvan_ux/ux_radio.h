// Radio or check box: a push control with a checked and an unchecked bitmap set. It never
// changes checked by itself; screens toggle it in their callbacks and invalidate the owner.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "orvan_ux/ux_push_control.h"

namespace ORVAN_UXClass {

class ORVAN_UXRadio : public ORVAN_UXPushControl {
  public:
    // bitmapIds: checked normal, hover, pressed, disabled, then the unchecked four. The caption
    // reads "Radio" until replaced.
    ORVAN_UXRadio(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId,
                  const std::array<int32_t, 8>& bitmapIds);

    // The size of the checked normal bitmap, whichever look is showing.
    int32_t GetWidth() const override { return bitmaps[UX_STATE_NORMAL]->Width(); }
    int32_t GetHeight() const override { return bitmaps[UX_STATE_NORMAL]->Height(); }
    // The change shows with the next paint.
    void SetEnabled(bool value) override;

    // Checked set at 0..3, unchecked set at 4..7.
    std::array<std::unique_ptr<ORVAN_UXResBitmap>, 8> bitmaps;
    bool checked = false;

  protected:
    const ORVAN_UXResBitmap& StateBitmap(int32_t state) const override {
        return *bitmaps[(checked ? 0 : 4) + state];
    }
    bool DrawsEmptyCaption() const override { return true; }
};

}  // namespace ORVAN_UXClass
