// Dock layout: how fixed strips and filling panes share a node's rectangle.
#include "orvan_ux/ux_dock_pos.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ORVAN_UXClass::ORVAN_UXDockPos;

struct Placed {
    int32_t position;
    int32_t size;
    friend bool operator==(const Placed&, const Placed&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Placed& p) {
        return out << p.size << " at " << p.position;
    }
};

TEST(DockPosTest, LayoutSharesTheAxisBetweenFixedAndFillChildren) {
    struct Row {
        const char* name;
        int32_t orientation;
        int32_t extent;
        std::string children;  // 'x' fixed (20 pixels), 'f' fill
        std::vector<Placed> expected;
    };
    const Row rows[] = {
        {"strips around a pane", 1, 540, "xfx", {{0, 20}, {20, 500}, {520, 20}}},
        {"last fill takes the remainder", 0, 100, "fff", {{0, 33}, {33, 33}, {66, 34}}},
        {"oversize fixed children are clamped", 1, 30, "xxx", {{0, 20}, {20, 10}, {30, 0}}},
        {"no room left for the pane", 0, 50, "xxfx", {{0, 20}, {20, 20}, {40, 0}, {40, 10}}},
        {"remainder before a fixed child", 0, 105, "xffx", {{0, 20}, {20, 32}, {52, 33}, {85, 20}}},
        {"empty node", 0, 0, "xf", {{0, 0}, {0, 0}}},
        {"negative extent", 1, -10, "xf", {{0, 0}, {0, 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ORVAN_UXDockPos root(nullptr, row.orientation, "root");
        for (char c : row.children) {
            if (c == 'x') root.AddFixedChild(0, "fixed");
            if (c == 'f') root.AddFillChild(0, "fill");
        }
        const bool stacked = row.orientation == 1;
        root.Layout(0, 0, stacked ? 300 : row.extent, stacked ? row.extent : 300);

        std::vector<Placed> placed;
        for (size_t i = 0; i < root.ChildCount(); ++i) {
            const ORVAN_UXDockPos& child = *root.Child(i);
            placed.push_back(stacked ? Placed{child.y, child.height} : Placed{child.x, child.width});
            EXPECT_EQ(stacked ? child.width : child.height, 300) << "children span the whole cross axis";
        }
        EXPECT_EQ(placed, row.expected);
    }
}

TEST(DockPosTest, LayoutRecursesFromTheNodesOriginThroughNestedNodes) {
    ORVAN_UXDockPos body(nullptr, 1, "Body");
    body.AddFixedChild(0, "lpDockToolbar_Top");
    ORVAN_UXDockPos* center = body.AddFillChild(0, "lpDockCenter");
    body.AddFixedChild(0, "lpDockToolbar_Status");
    center->AddFixedChild(1, "lpDockToolbar_Left");
    ORVAN_UXDockPos* panel = center->AddFillChild(1, "lpDockPanel");
    center->AddFixedChild(1, "lpDockToolbar_Right");
    panel->AddFillChild(0, "lpDockContent");
    panel->AddFixedChild(0, "lpDockToolbar_Bottom");

    body.Layout(5, 7, 960, 540);

    ORVAN_UXDockPos* content = body.Find("lpDockContent");
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->parent(), panel);
    EXPECT_EQ((std::vector<int32_t>{content->x, content->y, content->width, content->height}),
              (std::vector<int32_t>{25, 27, 920, 480}));
    ORVAN_UXDockPos* status = body.Find("lpDockToolbar_Status");
    EXPECT_EQ((std::vector<int32_t>{status->x, status->y, status->width, status->height}),
              (std::vector<int32_t>{5, 527, 960, 20}));
    EXPECT_EQ(body.Find("missing"), nullptr);
}

}  // namespace
