// The connect screen and the connect-error screen: the countdown on timer 1000, where it ends,
// Prev, replacement from elsewhere and the connection they leave behind.
#include <string>
#include <vector>

#include "DeviceConnect/DeviceConnectActivity.h"
#include "DeviceConnect/DeviceConnectErrorActivity.h"
#include "screen_fixture.h"

namespace form_test {
namespace {

using ORVAN_UXClass::DeviceConnectActivity;
using ORVAN_UXClass::DeviceConnectErrorActivity;
using ORVAN_UXClass::kWelcomeActivityId;
using ::testing::AnyOf;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr int32_t kPending = 1005;

class ConnectScreenTest : public ScreenTest {
  protected:
    DeviceConnectActivity& OpenConnect() {
        OpenConnection();
        delegate_.pending_activity_id = kPending;
        Open(1003);
        return Current<DeviceConnectActivity>();
    }
    static void MakeReady(DeviceConnectActivity& screen) { screen.linkConditions = {-1, -1, -1, 1, 1, 1}; }
};

TEST_F(ConnectScreenTest, ActivationPreparesTheConnectionAndRunsTheFirstStepAtOnce) {
    OpenConnection();
    Record().device_kind = 4;
    Record().conn_handle = -1;  // only a closed connection is prepared
    Open(1003);
    auto& screen = Current<DeviceConnectActivity>();
    EXPECT_EQ(screen.nameLabel->text, L"cam-1");
    EXPECT_EQ(screen.countdownLabel->text, L"0");
    EXPECT_EQ(screen.deviceLabel->text, L"Device: ...");
    EXPECT_EQ(screen.channelLabel->text, L"Ch[Setting]:...");
    EXPECT_EQ(screen.spareLabel->text, L"");
    EXPECT_EQ(Record().link_class, 258);
    EXPECT_EQ(Record().link_type, 260);
    EXPECT_THAT(screen.linkConditions, ElementsAre(-1, -1, -1, -1, -1, -1));
    EXPECT_EQ(screen.done, 0);
    EXPECT_EQ(window_.ActiveTimers().at(1000), 0u);
}

TEST_F(ConnectScreenTest, WithoutTheLinkItShowsEachSecondAndGivesUpOnStep290) {
    auto& screen = OpenConnect();
    std::vector<std::wstring> shown;
    int steps = 0;
    while (Requests().empty() && steps < 1000) {
        window_.ClearLog();
        Tick();
        ++steps;
        shown.push_back(screen.countdownLabel->text);
        if (Requests().empty()) {
            ASSERT_THAT(window_.Events(),
                        ::testing::IsSupersetOf({"KillTimer 1000", "SetTimer 1000 every 100 ms"}))
                << "step " << steps;
        }
    }
    EXPECT_EQ(steps, 290);
    EXPECT_EQ(shown.front(), L"29");
    EXPECT_EQ(shown[288], L"1");
    EXPECT_EQ(shown.back(), L"0");
    EXPECT_THAT(Requests(), ElementsAre(1004));
    EXPECT_EQ(Record().conn_handle, -1) << "the connection is dropped before the error screen";
    EXPECT_EQ(screen.done, 1);
    EXPECT_EQ(screen.timerStep, nullptr);
    EXPECT_FALSE(TimerRunning());

    // Nothing the screen does afterwards can ask for a second screen.
    screen.OnBack();
    Tick();
    EXPECT_THAT(Requests(), ElementsAre(1004));
}

TEST_F(ConnectScreenTest, OnceTheLinkIsReadyItMovesOnToThePendingScreen) {
    struct Case {
        const char* what;
        int readyFromStep;  // the words are 1 before this step
        int32_t successDelay;
        int32_t pending;
        int steps;  // until it stops
        std::vector<int64_t> requests;
    };
    const std::vector<Case> cases = {
        {"ready at once", 1, 0, kPending, 1, {kPending}},
        {"ready after five steps", 6, 0, kPending, 6, {kPending}},
        {"ready, then a two-second delay", 1, 2, kPending, 10, {kPending}},
        {"ready with nowhere to go", 1, 0, 0, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        delegate_.success_delay_s = c.successDelay;
        auto& screen = OpenConnect();
        delegate_.pending_activity_id = c.pending;
        int steps = 0;
        while (TimerRunning() && Requests().empty() && steps < 1000) {
            if (++steps == c.readyFromStep) MakeReady(screen);
            Tick();
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(Requests(), c.requests);
        EXPECT_FALSE(TimerRunning());
        EXPECT_EQ(screen.timerStep, nullptr);
        EXPECT_EQ(Record().conn_handle, kOpenConnection) << "success keeps the connection";
        EXPECT_EQ(screen.done, c.requests.empty() ? 0 : 1);
        ReplaceFromElsewhere();
    }
}

TEST_F(ConnectScreenTest, ReadyMeansTheLastThreeWords) {
    auto& screen = OpenConnect();
    screen.linkConditions = {1, 1, 1, 1, 1, -1};
    Tick();
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(screen.countdownLabel->text, L"29");
    screen.linkConditions = {-1, -1, -1, 1, 1, 1};
    Tick();
    EXPECT_THAT(Requests(), ElementsAre(kPending));
}

TEST_F(ConnectScreenTest, PrevStopsTheCountdownDropsTheConnectionAndGoesHome) {
    auto& screen = OpenConnect();
    // Not the usual home (the device list), so that a screen that goes there regardless is caught.
    delegate_.home_activity_id = kWelcomeActivityId;
    for (int i = 0; i < 5; ++i) Tick();
    Click(20, 20);
    EXPECT_THAT(Requests(), ElementsAre(kWelcomeActivityId));
    EXPECT_FALSE(TimerRunning());
    EXPECT_EQ(screen.timerStep, nullptr);
    EXPECT_EQ(screen.done, 1);
    EXPECT_EQ(Record().conn_handle, -1);

    // A tick already on its way finds no step to run, and a second Prev asks for nothing more.
    window_.ClearLog();
    Tick();
    Click(20, 20);
    EXPECT_THAT(window_.Events(), Each(Not(AnyOf(HasSubstr("Timer"), HasSubstr("PostMessage")))));
    EXPECT_THAT(Requests(), ElementsAre(kWelcomeActivityId));
}

TEST_F(ConnectScreenTest, OnlyAScreenReplacedBeforeItFinishedDropsTheConnection) {
    enum class Ending { StillCounting, Success, GaveUp, Prev };
    struct Case {
        const char* what;
        Ending ending;
        bool dropped;
    };
    for (const Case& c : {Case{"replaced while counting", Ending::StillCounting, true},
                          Case{"replaced after success", Ending::Success, false},
                          Case{"replaced after giving up", Ending::GaveUp, false},
                          Case{"replaced after Prev", Ending::Prev, false}}) {
        SCOPED_TRACE(c.what);
        auto& screen = OpenConnect();
        switch (c.ending) {
            case Ending::StillCounting:
                Tick();
                break;
            case Ending::Success:
                MakeReady(screen);
                Tick();
                break;
            case Ending::GaveUp:
                TickUntilDone();
                break;
            case Ending::Prev:
                screen.OnBack();
                break;
        }
        Record().conn_handle = kOpenConnection;  // whatever the screen did before, a connection is open now
        ReplaceFromElsewhere();
        EXPECT_EQ(Record().conn_handle, c.dropped ? -1 : kOpenConnection);
        EXPECT_FALSE(TimerRunning());
    }
}

TEST_F(ConnectScreenTest, AMissingRecordNeverMovesOnAndDropsNothing) {
    delegate_.device.reset();
    delegate_.pending_activity_id = kPending;
    Open(1003);
    auto& screen = Current<DeviceConnectActivity>();
    MakeReady(screen);
    Tick();
    EXPECT_TRUE(Requests().empty());
    EXPECT_FALSE(TimerRunning());
    EXPECT_EQ(screen.nameLabel->text, L"...");
}

TEST_F(ConnectScreenTest, TheErrorScreenDropsTheConnectionAndGoesHomeOnPrev) {
    OpenConnection();
    delegate_.home_activity_id = 1000;
    Open(1004);
    Click(20, 20);
    EXPECT_EQ(Record().conn_handle, -1);
    EXPECT_THAT(Requests(), ElementsAre(1000));
}

}  // namespace
}  // namespace form_test
