// The layout helper the management screens place their controls with.
#include <gtest/gtest.h>

#include "orvan_ux/ux_grid_layout.h"

namespace form_test {
namespace {

using namespace ORVAN_UXClass;

TEST(GridLayout, OffsetsScaleWithTheReferenceControl) {
    const ORVAN_UXRect prev{10, 10, 114, 30};
    const ORVAN_UXRect bigger{10, 10, 150, 40};
    struct Case {
        ORVAN_UXRect ref;
        ORVAN_UXSpan dx, dy;
        int32_t x, y;
    };
    const Case cases[] = {
        {prev, {1, 10}, {7, 0}, 134, 220},  // an option page's Cancel
        {prev, {2, 10}, {9, 0}, 248, 280},  // a network page's OK
        {prev, {1, 10}, {2, -7}, 134, 63},  // the GPIO title
        {bigger, {1, 10}, {7, 0}, 170, 290},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const orvan::wnd::Point at = UXOffsetFrom(c.ref, c.dx, c.dy);
        EXPECT_EQ(at.x, c.x);
        EXPECT_EQ(at.y, c.y);
    }
}

TEST(GridLayout, CellsFillRowsOrColumnsAndRunsCentre) {
    constexpr ORVAN_UXGridLayout pins{{10, 100}, 200, 30};
    static_assert(pins.ColumnMajor(0, 8).x == 10 && pins.ColumnMajor(0, 8).y == 100);
    static_assert(pins.ColumnMajor(7, 8).x == 10 && pins.ColumnMajor(7, 8).y == 310);
    static_assert(pins.ColumnMajor(8, 8).x == 210 && pins.ColumnMajor(8, 8).y == 100);
    static_assert(pins.Cell(2, 3).x == 610 && pins.Cell(2, 3).y == 160);

    struct Case {
        int32_t span, count, width, gap, index, x;
    };
    const Case cases[] = {
        {622, 2, 114, 10, 0, 192},  // a status page's Cancel
        {622, 2, 114, 10, 1, 316},  // and its OK
        {621, 2, 114, 10, 0, 191},  // an odd shortfall rounds down
        {200, 2, 114, 10, 0, -19},  // wider than the span: starts left of it, rounding toward zero
        {100, 1, 50, 0, 0, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.span << " " << c.index);
        EXPECT_EQ(UXCentredRunX(c.span, c.count, c.width, c.gap, c.index), c.x);
    }
}

}  // namespace
}  // namespace form_test
