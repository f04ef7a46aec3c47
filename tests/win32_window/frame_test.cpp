// The frame: its decoration, its place and a 960 by 540 client area the view fills; the close path.
#include <thread>

#include "win32_child_view.h"
#include "window_fixture.h"

namespace win32_test {
namespace {

using FrameTest = WindowTest;

TEST_F(FrameTest, ClientAreaIs960By540AndTheViewFillsIt) {
    RECT client{};
    ASSERT_TRUE(GetClientRect(FrameHwnd(), &client));
    EXPECT_EQ(client.right - client.left, 960);
    EXPECT_EQ(client.bottom - client.top, 540);
    EXPECT_EQ(view_->GetClientSize().cx, 960);
    EXPECT_EQ(view_->GetClientSize().cy, 540);
    ASSERT_FALSE(view_handler_.sizes.empty());
    EXPECT_EQ(view_handler_.sizes.back().cx, 960);
    EXPECT_EQ(view_handler_.sizes.back().cy, 540);
    EXPECT_EQ(GetDlgCtrlID(ViewHwnd()), 59648);
}

TEST_F(FrameTest, HasCaptionMinimiseBoxAndSizingBorderButNoMaximiseBoxAndNoMenu) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(FrameHwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_EQ(GetMenu(FrameHwnd()), nullptr);
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(FrameHwnd(), GWL_EXSTYLE));
    EXPECT_FALSE(exStyle & WS_EX_CLIENTEDGE);
    wchar_t title[64] = {};
    GetWindowTextW(FrameHwnd(), title, 64);
    EXPECT_STREQ(title, L"Window test");
}

TEST_F(FrameTest, IsPlacedWhereTheMetricFormulaSays) {
    const ScreenMetrics& m = frame_handler_.metrics;
    EXPECT_EQ(m.screenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(m.captionHeight, 0);
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(FrameHwnd(), &outer));
    EXPECT_EQ(outer.left, frame_handler_.left);
    EXPECT_EQ(outer.top, frame_handler_.top);
}

TEST_F(FrameTest, MinimisingLeavesTheViewItsSizeAndItsPicture) {
    view_->GetDC()->FillSolidRect(0, 0, 10, 10, RGB(1, 2, 3));
    ShowWindow(FrameHwnd(), SW_MINIMIZE);
    PumpPending();
    ASSERT_TRUE(IsIconic(FrameHwnd()));
    EXPECT_EQ(view_->GetClientSize().cx, 960);
    EXPECT_EQ(view_->GetClientSize().cy, 540);
    ShowWindow(FrameHwnd(), SW_RESTORE);
    PumpPending();
    EXPECT_EQ(static_cast<win32::Win32ChildView*>(view_)->Pixels().Pixel(5, 5), RGB(1, 2, 3));
    EXPECT_EQ(view_handler_.sizes.back().cx, 960);
}

TEST_F(FrameTest, ACloseFromAnotherThreadRunsTheClosePathOnceAndEndsTheLoop) {
    std::thread closer([this] {
        frame_->PostClose();
        frame_->PostClose();
    });
    closer.join();
    EXPECT_EQ(app_->Run(), 0);
    EXPECT_EQ(frame_handler_.closes, 1);
    EXPECT_FALSE(IsWindow(FrameHwnd()));
    EXPECT_FALSE(view_->IsWindow());
}

// Logoff and shutdown reach a window program only as WM_ENDSESSION; the process may end as soon as
// it has been handled, so the close path must have run by then.
TEST_F(FrameTest, TheEndOfTheSessionRunsTheClosePathBeforeItIsAnswered) {
    SendMessageW(FrameHwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageW(FrameHwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // the end was called off
    EXPECT_EQ(frame_handler_.closes, 0);
    EXPECT_TRUE(IsWindow(FrameHwnd()));
    SendMessageW(FrameHwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(frame_handler_.closes, 1);
    EXPECT_FALSE(IsWindow(FrameHwnd()));
    EXPECT_EQ(app_->Run(), 0);
    EXPECT_EQ(frame_handler_.closes, 1);
}

TEST_F(FrameTest, PollsRunOnTheUiThreadUntilTheLoopEnds) {
    const DWORD uiThread = GetCurrentThreadId();
    int polls = 0;
    bool onUiThread = true;
    app_->StartPoll(10, [&] {
        onUiThread = onUiThread && GetCurrentThreadId() == uiThread;
        if (++polls == 3) frame_->PostClose();
    });
    EXPECT_EQ(app_->Run(), 0);
    EXPECT_GE(polls, 3);
    EXPECT_TRUE(onUiThread);
}

TEST_F(FrameTest, AWatchOnSomethingThatIsNoSocketNeverFiresAndEndsCleanly) {
    bool fired = false;
    app_->WatchOnce(-1, [&] { fired = true; });
    PumpUntil([] { return false; }, std::chrono::milliseconds(150));
    EXPECT_FALSE(fired);
}

}  // namespace
}  // namespace win32_test
