// The main frame and the child view: placement, start-up with and without a core runtime, event
// routing, the set-cursor rule, repaint requests and closing on a termination signal.
#include <gtest/gtest.h>

#include "frame_geometry.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "orvan_ux/ux_messages.h"
#include "shell_harness.h"

namespace shell_test {
namespace {

using ::testing::ElementsAre;

TEST(FrameGeometryTest, CentresA960By540ClientAreaAndAddsTheDecoration) {
    struct Case {
        orvan::wnd::ScreenMetrics metrics;
        FrameRect expected;
    };
    const Case cases[] = {
        {{1920, 1080, 23, 3, 3, 1, 1}, {480, 270, 976, 579}},
        {{800, 600, 23, 3, 3, 1, 1}, {-80, 30, 976, 579}},    // narrower than the client area
        {{961, 539, 0, 0, 0, 0, 0}, {0, 0, 960, 540}},        // -1 / 2 truncates toward zero
        {{640, 480, 20, 2, 4, 1, 2}, {-160, -30, 972, 584}},  // widths and heights apart
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.metrics.screenWidth << "x" << c.metrics.screenHeight);
        const FrameRect rect = ComputeFrameRect(c.metrics);
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        EXPECT_EQ(rect.width, c.expected.width);
        EXPECT_EQ(rect.height, c.expected.height);
    }
}

class FrameTest : public ShellTest {};

TEST_F(FrameTest, CreationPlacesTheFrameStartsTheCoreAndAsksForTheHomeScreen) {
    ASSERT_EQ(Create(), 0);
    EXPECT_THAT(frame_.calls, ElementsAre("RemoveMaximizeBox", "RemoveMenu", "MoveWindow 480,270 976x579"));
    EXPECT_THAT(Journal::Get().Events(), ElementsAre("core initialize"));
    EXPECT_EQ(Delegate().view, &window_);
    ASSERT_TRUE(Delegate().objectList);
    EXPECT_EQ(NavigationsPosted().size(), 1u);
    EXPECT_EQ(frame_.close_requests, 0);
}

TEST_F(FrameTest, FailedCoreStartClosesTheWindowWithoutAnyScreen) {
    core_start_result_ = 1;
    ASSERT_EQ(Create(), 0) << "the frame itself is still created";
    EXPECT_EQ(frame_.close_requests, 1);
    EXPECT_TRUE(NavigationsPosted().empty());
    EXPECT_FALSE(Delegate().objectList);
    // Input and paint find nothing to reach.
    View().OnLButtonDown(orvan::wnd::MK_LBUTTON, {10, 10});
    View().OnMouseMove(0, {10, 10});
    View().OnLButtonUp(0, {10, 10});
    main_frame_.OnClose();
    EXPECT_THAT(Journal::Get().Events(), ElementsAre("core initialize", "core finalize"));
    EXPECT_EQ(Journal::Get().Matching("construct").size(), 0u);
}

TEST_F(FrameTest, CreationFailsWhenTheChildViewCannotBeCreated) {
    FakeFrame broken(nullptr);
    EXPECT_EQ(main_frame_.OnCreate(broken), -1);
    EXPECT_TRUE(Journal::Get().Events().empty()) << "the core is not started";
}

TEST_F(FrameTest, ViewEventsReachTheCurrentScreen) {
    ASSERT_EQ(Create(), 0);
    Pump();
    const std::string name = CurrentProbe()->Name();
    Journal::Get().Clear();
    View().OnSize(0, 800, 600);
    View().OnTimer(1000);
    View().OnMouseMove(0, {12, 34});
    View().OnNotify({1, orvan::wnd::NM_CLICK, 2}, nullptr);
    View().OnNotify({1, orvan::wnd::NM_CLICK, -1}, nullptr);
    View().OnNotify({7, orvan::wnd::NM_CLICK, 0}, nullptr);  // another control
    View().OnNotify({1, -12, 0}, nullptr);                   // another notification
    using orvan::wnd::ListNotification;
    View().OnNotify({1, orvan::wnd::NM_DBLCLK, 3}, nullptr);
    View().OnNotify({1, orvan::wnd::NM_RETURN, 1}, nullptr);
    View().OnNotify(ListNotification{.controlId = 1, .code = orvan::wnd::NM_RCLICK, .item = 4, .point = {200, 90}},
                    nullptr);
    View().OnNotify(ListNotification{.controlId = 1, .code = orvan::wnd::LVN_COLUMNCLICK, .subItem = 2}, nullptr);
    View().OnNotify(ListNotification{.controlId = 1, .code = orvan::wnd::LVN_KEYDOWN, .item = 0,
                                     .key = orvan::wnd::VK_C, .flags = orvan::wnd::MK_CONTROL},
                    nullptr);
    // C without Control is typing, not copying.
    View().OnNotify(ListNotification{.controlId = 1, .code = orvan::wnd::LVN_KEYDOWN, .item = 0, .key = orvan::wnd::VK_C},
                    nullptr);
    View().OnNotify({7, orvan::wnd::NM_DBLCLK, 0}, nullptr);  // another control
    EXPECT_THAT(Journal::Get().Events(),
                ElementsAre("size 800x600 " + name, "timer 1000 " + name, "mouse move (12,34) " + name,
                            "list click row 2 " + name, "list click row -1 " + name, "list activate row 3 " + name,
                            "list activate row 1 " + name, "list right click row 4 at (200,90) " + name,
                            "list column 2 " + name, "list copy row 0 " + name));
    EXPECT_EQ(Delegate().client_width, 800);
    EXPECT_EQ(Delegate().client_height, 600);
}

TEST_F(FrameTest, SizeIsRecordedEvenWithoutAScreen) {
    View().OnSize(0, 960, 540);
    EXPECT_EQ(Delegate().client_width, 960);
    EXPECT_EQ(Delegate().client_height, 540);
}

TEST_F(FrameTest, CursorSetByTheControlsStaysOnlyInsideTheClientArea) {
    ASSERT_EQ(Create(), 0);
    struct Case {
        std::optional<orvan::wnd::Point> cursor;
        bool kept;
    };
    const Case cases[] = {
        {orvan::wnd::Point{0, 0}, true},     {orvan::wnd::Point{959, 539}, true},
        {orvan::wnd::Point{960, 10}, false}, {orvan::wnd::Point{10, 540}, false},
        {orvan::wnd::Point{-1, 10}, false},  {std::nullopt, true},  // position unreadable
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cursor ? std::to_string(c.cursor->x) + "," + std::to_string(c.cursor->y) : "none");
        EXPECT_EQ(View().OnSetCursor(c.cursor), c.kept);
    }
}

TEST_F(FrameTest, RepaintRequestInvalidatesOnlyAWindowThatStillExists) {
    ASSERT_EQ(Create(), 0);
    const int before = window_.InvalidateCount();
    View().OnMessage(ORVAN_UXClass::MSG_ACTIVITY_REPAINT, 0, 0);
    EXPECT_EQ(window_.InvalidateCount(), before + 1);
    window_.SetIsWindow(false);
    View().OnMessage(ORVAN_UXClass::MSG_ACTIVITY_REPAINT, 0, 0);
    EXPECT_EQ(window_.InvalidateCount(), before + 1);
}

TEST_F(FrameTest, RaisedStopFlagClosesTheWindowOnce) {
    ASSERT_EQ(Create(), 0);
    main_frame_.CloseOnStopFlag();
    EXPECT_EQ(frame_.close_requests, 0) << "nothing asked to stop";
    liborvaniot_os_stop_flag.store(1);  // as the SIGINT/SIGTERM handler does
    main_frame_.CloseOnStopFlag();
    main_frame_.CloseOnStopFlag();
    EXPECT_EQ(frame_.close_requests, 1);
    main_frame_.OnClose();
    main_frame_.CloseOnStopFlag();
    EXPECT_EQ(frame_.close_requests, 1) << "the close path raises the flag itself";
}

}  // namespace
}  // namespace shell_test
