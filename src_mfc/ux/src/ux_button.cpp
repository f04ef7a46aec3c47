// Push button: loads its four state bitmaps; enabling repaints at once.
#include "orvan_ux/ux_button.h"

namespace ORVAN_UXClass {

ORVAN_UXButton::ORVAN_UXButton(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId,
                               const std::array<int32_t, 4>& bitmapIds)
    : ORVAN_UXPushControl(owner, userData, cursorId, L"Button") {
    for (size_t i = 0; i < bitmaps.size(); ++i)
        bitmaps[i] = std::make_unique<ORVAN_UXResBitmap>(owner, bitmapIds[i]);
}

void ORVAN_UXButton::SetEnabled(bool value) {
    ORVAN_UXPushControl::SetEnabled(value);
    InvalidateOwner();
}

}  // namespace ORVAN_UXClass
