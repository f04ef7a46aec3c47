// Radio box: loads its checked and unchecked bitmap sets; enabling waits for the next paint.
#include "orvan_ux/ux_radio.h"

namespace ORVAN_UXClass {

ORVAN_UXRadio::ORVAN_UXRadio(orvan::wnd::Window* owner, ORVAN_UXViewController* userData, int32_t cursorId,
                             const std::array<int32_t, 8>& bitmapIds)
    : ORVAN_UXPushControl(owner, userData, cursorId, L"Radio") {
    for (size_t i = 0; i < bitmaps.size(); ++i)
        bitmaps[i] = std::make_unique<ORVAN_UXResBitmap>(owner, bitmapIds[i]);
}

void ORVAN_UXRadio::SetEnabled(bool value) {
    ORVAN_UXPushControl::SetEnabled(value);
}

}  // namespace ORVAN_UXClass
