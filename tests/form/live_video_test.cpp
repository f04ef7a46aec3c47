// The live video screen: the picture resources it holds and gives back, its worker thread and
// one-second timer while it is current, repaints on pointer moves, and the ways out.
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "LiveVideoActivity/LiveVideoActivity.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "orvan_ux/ux_messages.h"
#include "screen_fixture.h"

namespace form_test {
namespace {

using ORVAN_UXClass::kWelcomeActivityId;
using ORVAN_UXClass::LiveVideoActivity;
using ORVAN_UXClass::MSG_ACTIVITY_REPAINT;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;

class LiveVideoTest : public ScreenTest {
  protected:
    LiveVideoActivity& OpenVideo() {
        OpenConnection();
        Open(1005);
        return Current<LiveVideoActivity>();
    }
    // The worker has entered its routine.
    static void WaitUntilRunning(LiveVideoActivity& screen) {
        while (liborvaniot_os_thread_get_status(&screen.worker) != LIBORVANIOT_OS_PTHREAD_RUNNING) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

TEST_F(LiveVideoTest, HoldsItsPictureResourcesUntilItGoes) {
    const int32_t before = liborvaniot_os_mem_outstanding_count();
    auto& screen = OpenVideo();
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), before + 4) << "two work blocks, frame buffer, font";
    EXPECT_EQ(screen.workBlock.size(), 48u);
    EXPECT_EQ(screen.frameWorkBlock.size(), 304u);
    ASSERT_EQ(screen.frameBuffer.size(), 1024000u);
    const auto* frame = static_cast<const unsigned char*>(screen.frameBuffer.data());
    EXPECT_TRUE(
        std::all_of(frame, frame + screen.frameBuffer.size(), [](unsigned char b) { return b == 0; }));
    EXPECT_FALSE(screen.secondBuffer);
    for (const orvan::wnd::BitmapInfoHeader& header : {screen.sourceHeader, screen.targetHeader}) {
        EXPECT_EQ(header.size, 40u);
        EXPECT_EQ(header.width, 0);
        EXPECT_EQ(header.height, 0);
        EXPECT_EQ(header.planes, 1);
        EXPECT_EQ(header.bitCount, 24);
        EXPECT_EQ(header.compression, 0u);
    }
    EXPECT_NE(screen.drawDib, nullptr);
    EXPECT_NE(screen.captionFont, nullptr);
    EXPECT_THAT(window_.Events(),
                IsSupersetOf({"OpenPictureDrawer",
                              "CreateFont \"Arial Unicode MS\" height 16 weight 100 italic 0 "
                              "underline 0"}));
    EXPECT_THAT(Paint(), IsEmpty()) << "the picture area is not painted over";

    window_.ClearLog();
    ReplaceFromElsewhere();
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), before);
    EXPECT_EQ(window_.OpenPictureDrawers(), 0);
    EXPECT_EQ(window_.OpenFonts(), 0);
    std::vector<std::string> released = window_.Events();
    std::erase_if(released, [](const std::string& line) { return line.find("Timer") != std::string::npos; });
    EXPECT_THAT(released, ElementsAre("ClosePictureDrawer", "DeleteFont \"Arial Unicode MS\""));
}

TEST_F(LiveVideoTest, WithoutMemoryItStillRunsWithoutPictureResources) {
    // The tracker refuses every block while its lock is absent.
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_free(&liborvaniot_os_mem_mx, "test", __LINE__), 0);
    testing::internal::CaptureStderr();
    auto& screen = OpenVideo();
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(screen.workBlock);
    EXPECT_FALSE(screen.frameBuffer);
    EXPECT_EQ(screen.drawDib, nullptr);
    EXPECT_EQ(screen.captionFont, nullptr);
    EXPECT_EQ(window_.OpenPictureDrawers(), 0);

    WaitUntilRunning(screen);
    delegate_.home_activity_id = kWelcomeActivityId;
    Click(20, 20);
    EXPECT_EQ(screen.workerExitValue, ORVAN_UXClass::kLiveVideoWorkerExitValue);
    EXPECT_THAT(Requests(), ElementsAre(kWelcomeActivityId));
}

TEST_F(LiveVideoTest, TicksAtOnceThenOncePerSecond) {
    auto& screen = OpenVideo();
    EXPECT_EQ(window_.ActiveTimers().at(1000), 0u);
    for (int tick = 0; tick < 3; ++tick) {
        SCOPED_TRACE(tick);
        window_.ClearLog();
        Tick();
        EXPECT_THAT(window_.Events(), ElementsAre("KillTimer 1000", "SetTimer 1000 every 1000 ms"));
    }
    EXPECT_TRUE(Requests().empty());
    EXPECT_NE(screen.timerStep, nullptr);
}

TEST_F(LiveVideoTest, EveryPointerMoveAsksForARepaint) {
    auto& screen = OpenVideo();
    const size_t before = window_.PostedMessages().size();
    for (const auto& [x, y] : {std::pair{1, 2}, std::pair{300, 200}, std::pair{12, 34}}) {
        screen.OnMouseMove(x, y);
    }
    const auto posted = window_.PostedMessages();
    ASSERT_EQ(posted.size(), before + 3);
    for (size_t i = before; i < posted.size(); ++i) {
        EXPECT_EQ(posted[i], (orvan::fake::PostedMessage{MSG_ACTIVITY_REPAINT, 0, 0}));
    }
    EXPECT_EQ(screen.mouseX, 12);
    EXPECT_EQ(screen.mouseY, 34);
}

TEST_F(LiveVideoTest, EveryWayOutStopsTimerAndWorker) {
    struct Case {
        const char* what;
        bool byPrev;
    };
    for (const Case& c : {Case{"Prev", true}, Case{"a request from elsewhere", false}}) {
        SCOPED_TRACE(c.what);
        auto& screen = OpenVideo();
        WaitUntilRunning(screen);
        Tick();
        if (c.byPrev) {
            // Not the usual home (the device list), so that a screen that goes there regardless is
            // caught.
            delegate_.home_activity_id = kWelcomeActivityId;
            Click(20, 20);
            EXPECT_THAT(Requests(), ElementsAre(kWelcomeActivityId));
            EXPECT_EQ(screen.leaving, 1);
            EXPECT_FALSE(TimerRunning());
            EXPECT_EQ(screen.timerStep, nullptr);
            EXPECT_EQ(screen.worker.magic, 0) << "the worker's record is given back";
            EXPECT_EQ(screen.workerExitValue, ORVAN_UXClass::kLiveVideoWorkerExitValue);
            EXPECT_EQ(Record().conn_handle, -1);
            Record().conn_handle = kOpenConnection;  // the deactivation that follows drops nothing
            ReplaceFromElsewhere();
            EXPECT_EQ(Record().conn_handle, kOpenConnection);
        } else {
            ReplaceFromElsewhere();
            EXPECT_TRUE(Requests().empty());
            EXPECT_FALSE(TimerRunning());
            EXPECT_EQ(Record().conn_handle, -1);
        }
    }
}

TEST_F(LiveVideoTest, TheWorkerAnswersItsBreakFlagWithItsExitValue) {
    auto& screen = OpenVideo();
    WaitUntilRunning(screen);
    screen.live_video_activity_stop_thread();
    EXPECT_EQ(screen.workerExitValue, 1234567);
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&screen.workerGuard));
    // A second stop finds nothing to stop and keeps what the worker returned.
    screen.live_video_activity_stop_thread();
    EXPECT_EQ(screen.workerExitValue, 1234567);
    // Activated again, the screen runs a new worker.
    screen.OnActivate();
    WaitUntilRunning(screen);
    screen.workerExitValue = 0;
    screen.OnDeactivate();
    EXPECT_EQ(screen.workerExitValue, 1234567);
}

}  // namespace
}  // namespace form_test
