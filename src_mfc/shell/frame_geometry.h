// Where the main frame goes: a 960 by 540 client area centred on the screen, with the frame's
// decoration added around it.
#pragma once

#include <cstdint>

#include "orvan_wnd/host.h"

inline constexpr int32_t kClientWidth = 960;
inline constexpr int32_t kClientHeight = 540;

struct FrameRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Signed arithmetic, divisions truncating toward zero: a screen smaller than the client area
// gives a negative left or top.
FrameRect ComputeFrameRect(const orvan::wnd::ScreenMetrics& metrics);
