// What the connect, connect-error and settings-transfer screens share: their activity ids, the
// background and Prev button they open with, and the column of labels below and right of Prev.
#pragma once

#include <cstdint>
#include <string>

#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

inline constexpr int32_t kDeviceConnectActivityId = 1003;
inline constexpr int32_t kDeviceConnectErrorActivityId = 1004;
inline constexpr int32_t kDeviceSettingGetActivityId = 1009;
inline constexpr int32_t kDeviceSettingSetActivityId = 1010;

inline constexpr int32_t kServiceBackgroundBitmap = 2001;

// Adds the background picture, then the Prev button that runs the screen's OnBack.
void AddServiceScreenFrame(ORVAN_UXViewController* screen, ORVAN_UXHolder<ORVAN_UXBitmap>& background,
                           ORVAN_UXHolder<ORVAN_UXButton>& prevButton);

// Label `row` (from 0) of the column that starts 10 pixels right of and below Prev's lower right
// corner, one 100 by 16 label every 26 pixels down.
ORVAN_UXLabelDesc ServiceColumnLabelDesc(const ORVAN_UXButton& prevButton, int32_t row, std::wstring text);

}  // namespace ORVAN_UXClass
