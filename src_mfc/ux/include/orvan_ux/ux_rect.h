// Rectangle of a control in client coordinates, with the half-open point test that hit testing
// and the press rectangle use.
#pragma once

#include <cstdint>

#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

struct ORVAN_UXRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    // x <= px < x + width and y <= py < y + height; computed wide so that extreme values cannot
    // overflow. An empty or negative extent contains nothing.
    bool Contains(orvan::wnd::Point p) const {
        return x <= p.x && int64_t{p.x} < int64_t{x} + width && y <= p.y &&
               int64_t{p.y} < int64_t{y} + height;
    }

    friend bool operator==(const ORVAN_UXRect&, const ORVAN_UXRect&) = default;
};

// Margins inside a rectangle (hit insets of the controls, source margins of resource bitmaps).
struct ORVAN_UXInset {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

}  // namespace ORVAN_UXClass
