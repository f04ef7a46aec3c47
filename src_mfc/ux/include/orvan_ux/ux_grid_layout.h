// Row and column positions for screens that place their controls relative to the Prev button:
// offsets in whole button sizes plus pixels, evenly stepped grids, and runs of equal controls
// centred across a width. Pure arithmetic; nothing here knows a particular screen.
#pragma once

#include <cstdint>

#include "orvan_ux/ux_rect.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

// A distance along one axis: `sizes` times the reference control's extent, plus `pixels`.
struct ORVAN_UXSpan {
    int32_t sizes = 0;
    int32_t pixels = 0;
};

// The point (ref.x + dx, ref.y + dy), each span measured in ref's width (x) or height (y). Screens
// pass the Prev button as built, so a larger button set moves everything with it.
constexpr orvan::wnd::Point UXOffsetFrom(const ORVAN_UXRect& ref, ORVAN_UXSpan dx, ORVAN_UXSpan dy) {
    return {ref.x + dx.sizes * ref.width + dx.pixels, ref.y + dy.sizes * ref.height + dy.pixels};
}

// Cells of equal size: cell (row, column) starts at origin + (column × columnStep, row × rowStep).
struct ORVAN_UXGridLayout {
    orvan::wnd::Point origin{};
    int32_t columnStep = 0;
    int32_t rowStep = 0;

    constexpr orvan::wnd::Point Cell(int32_t row, int32_t column) const {
        return {origin.x + column * columnStep, origin.y + row * rowStep};
    }
    // The index-th cell when cells are filled column by column, rowsPerColumn to a column.
    constexpr orvan::wnd::Point ColumnMajor(int32_t index, int32_t rowsPerColumn) const {
        return Cell(index % rowsPerColumn, index / rowsPerColumn);
    }
};

// Left edge of control `index` of `count` controls, each `width` wide with `gap` between them, the
// whole run centred across `span` (a shortfall rounds toward zero, as integer division does).
constexpr int32_t UXCentredRunX(int32_t span, int32_t count, int32_t width, int32_t gap, int32_t index) {
    const int32_t run = count * width + (count - 1) * gap;
    return (span - run) / 2 + index * (width + gap);
}

}  // namespace ORVAN_UXClass
