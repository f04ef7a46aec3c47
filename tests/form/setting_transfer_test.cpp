// The settings read and write screens: the order of their stages, where each page ends, how often
// a write sends its lines, and where Prev leads.
#include <string>
#include <vector>

#include "DeviceConnect/DeviceSettingGetActivity.h"
#include "DeviceConnect/DeviceSettingSetActivity.h"
#include "screen_fixture.h"

namespace form_test {
namespace {

using ORVAN_UXClass::DeviceSettingGetActivity;
using ORVAN_UXClass::DeviceSettingSetActivity;
using ORVAN_UXClass::SettingTransferScreen;
using ::testing::ElementsAre;

constexpr int32_t kMenu = 1006;

class SettingTransferTest : public ScreenTest {
  protected:
    // The transfer screen for page, with the link up from the first step when linkUp.
    template <class Screen>
    Screen& OpenTransfer(int32_t id, int32_t page, bool linkUp = true) {
        OpenConnection();
        Record().page_id = page;
        delegate_.pending_activity_id = kMenu;
        Open(id);
        auto& screen = Current<Screen>();
        if (linkUp) screen.linkWords = {-1, -1, 1, 1};
        return screen;
    }
};

std::string Stages(const DeviceSettingSetActivity& screen) {
    return std::to_string(screen.stage1Done) + "," + std::to_string(screen.stage2Done) + "," +
           std::to_string(screen.stage3Done);
}

TEST_F(SettingTransferTest, AWriteRunsItsStagesInOrderThenOpensThePendingScreen) {
    auto& screen = OpenTransfer<DeviceSettingSetActivity>(1010, 103);
    EXPECT_EQ(Stages(screen), "-1,-1,-1");
    std::vector<std::string> stages;
    while (TimerRunning() && Requests().empty()) {
        Tick();
        stages.push_back(Stages(screen));
    }
    EXPECT_THAT(stages, ElementsAre("1,-1,-1", "1,1,-1", "1,1,1", "1,1,1"));
    EXPECT_THAT(Requests(), ElementsAre(kMenu));
    EXPECT_EQ(Record().conn_handle, kOpenConnection);
}

TEST_F(SettingTransferTest, WhereEachPageEnds) {
    struct Case {
        int32_t page;
        int32_t screenId;
        int steps;
        int64_t request;
        bool dropped;
    };
    const std::vector<Case> cases = {
        // Option pages are read in one step and written in three, then the success step.
        {103, 1009, 2, kMenu, false},
        {211, 1009, 2, kMenu, false},
        {305, 1010, 4, kMenu, false},
        // A firmware update restarts the device: the connection goes and the start screen follows.
        {311, 1010, 4, 1001, true},
        // No other page can be read, and no other write gets past its first stage.
        {112, 1009, 290, 1004, true},
        {401, 1009, 290, 1004, true},
        {112, 1010, 290, 1004, true},
        {401, 1010, 290, 1004, true},
        {701, 1010, 290, 1004, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screenId) + " for page " + std::to_string(c.page));
        if (c.screenId == 1009) {
            OpenTransfer<DeviceSettingGetActivity>(c.screenId, c.page);
        } else {
            OpenTransfer<DeviceSettingSetActivity>(c.screenId, c.page);
        }
        testing::internal::CaptureStderr();
        EXPECT_EQ(TickUntilDone(), c.steps);
        testing::internal::GetCapturedStderr();
        EXPECT_THAT(Requests(), ElementsAre(c.request));
        EXPECT_EQ(Record().conn_handle, c.dropped ? -1 : kOpenConnection);
        ReplaceFromElsewhere();
    }
}

TEST_F(SettingTransferTest, AWriteThatCannotFinishSendsItsLinesEvery101Steps) {
    auto& screen = OpenTransfer<DeviceSettingSetActivity>(1010, 505);
    Record().sensor_status.mode_set = 1;
    std::vector<int> sendingSteps;
    for (int step = 1; TimerRunning() && Requests().empty(); ++step) {
        testing::internal::CaptureStderr();
        Tick();
        const std::string written = testing::internal::GetCapturedStderr();
        if (!written.empty()) {
            EXPECT_EQ(written, "ENABLE MODE=ON\n") << "step " << step;
            sendingSteps.push_back(step);
        }
    }
    EXPECT_THAT(sendingSteps, ElementsAre(1, 102, 203));
    EXPECT_EQ(screen.stage1Done, 0);
    EXPECT_THAT(Requests(), ElementsAre(1004));
}

TEST_F(SettingTransferTest, WithoutTheLinkOrTheRecordNothingIsSentOrCompleted) {
    Record().gateway_status.mode_set = 1;
    OpenTransfer<DeviceSettingSetActivity>(1010, 112, /*linkUp=*/false);
    testing::internal::CaptureStderr();
    EXPECT_EQ(TickUntilDone(), 290);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_THAT(Requests(), ElementsAre(1004));
    ReplaceFromElsewhere();

    delegate_.device.reset();
    Open(1010);
    auto& screen = Current<DeviceSettingSetActivity>();
    screen.linkWords = {-1, -1, 1, 1};
    EXPECT_EQ(TickUntilDone(), 290);
    EXPECT_EQ(Stages(screen), "-1,-1,-1");
    EXPECT_THAT(Requests(), ElementsAre(1004));
}

TEST_F(SettingTransferTest, PrevReconnectsToTheMenuThePageCameFrom) {
    struct Case {
        int32_t screenId;
        int32_t returnId;
        int32_t homeId;
        int64_t request;
        int32_t pending;
    };
    // Without a page to return to, Prev goes home, whichever screen that is.
    for (const Case& c : {Case{1009, 1007, 1001, 1003, 1007}, Case{1010, 1007, 1000, 1003, 1007},
                          Case{1009, 0, 1001, 1001, kMenu}, Case{1010, 0, 1001, 1001, kMenu},
                          Case{1009, 0, 1000, 1000, kMenu}, Case{1010, 0, 1000, 1000, kMenu}}) {
        SCOPED_TRACE(std::to_string(c.screenId) + " returning to " + std::to_string(c.returnId) + ", home " +
                     std::to_string(c.homeId));
        delegate_.return_activity_id = c.returnId;
        delegate_.home_activity_id = c.homeId;
        OpenConnection();
        delegate_.pending_activity_id = kMenu;
        Open(c.screenId);
        Tick();
        Click(20, 20);
        EXPECT_THAT(Requests(), ElementsAre(c.request));
        EXPECT_EQ(delegate_.pending_activity_id, c.pending);
        EXPECT_EQ(Record().conn_handle, -1);
        EXPECT_FALSE(TimerRunning());
        auto* screen = dynamic_cast<SettingTransferScreen*>(delegate_.current_activity);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->done, 1);
        ReplaceFromElsewhere();
    }
}

TEST_F(SettingTransferTest, FollowingAReconnectOpensTheConnectScreenWithTheMenuPending) {
    delegate_.return_activity_id = 1008;
    Open(1009);
    Click(20, 20);
    FollowRequest();
    EXPECT_EQ(delegate_.current_activity_id, 1003);
    EXPECT_EQ(delegate_.pending_activity_id, 1008);
    EXPECT_TRUE(TimerRunning());
}

}  // namespace
}  // namespace form_test
