// The navigator as the child view drives it: start request, screen changes, ids outside the
// table, the close path and requests left behind by deleted screens.
#include <gtest/gtest.h>

#include <algorithm>

#include "WelcomeActivity/WelcomeActivity.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "orvan_ux/ux_messages.h"
#include "shell_harness.h"

namespace shell_test {
namespace {

using ORVAN_UXClass::kNoRequester;
using ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE;
using ORVAN_UXClass::RequesterParam;
using ::testing::ElementsAre;

class NavigatorTest : public ShellTest {
  protected:
    // Started, with the start request handled: a probe screen is current.
    void Start() {
        ASSERT_EQ(Create(), 0);
        Pump();
        ASSERT_NE(CurrentProbe(), nullptr);
    }
};

TEST_F(NavigatorTest, StartRequestShowsTheHomeScreenWithoutTouchingARequester) {
    ASSERT_EQ(Create(), 0);
    EXPECT_THAT(NavigationsPosted(),
                ElementsAre(orvan::fake::PostedMessage{MSG_ACTIVITY_NAVIGATE, kNoRequester, kProbeId}));
    EXPECT_EQ(Current(), nullptr) << "the request is only handled by the message loop";
    Pump();
    ASSERT_NE(CurrentProbe(), nullptr);
    EXPECT_EQ(Delegate().current_activity_id, kProbeId);
    EXPECT_EQ(Delegate().home_activity_id, kProbeId);
    EXPECT_FALSE(Delegate().has_navigated);
    const std::string name = CurrentProbe()->Name();
    EXPECT_THAT(Journal::Get().Events(),
                ElementsAre("core initialize", "construct " + name, "activate " + name));
}

TEST_F(NavigatorTest, EachChangeDeactivatesTheOldScreenOnceBeforeTheNextIsBuilt) {
    Start();
    // The first change made by a screen goes through the release, later ones through the
    // requester path; both must deactivate exactly once and delete before constructing.
    for (int32_t next : {kOtherProbeId, kProbeId, kOtherProbeId}) {
        SCOPED_TRACE(next);
        ProbeScreen* old = CurrentProbe();
        const std::string name = old->Name();
        Journal::Get().Clear();
        old->RequestActivity(next);
        Pump();
        ASSERT_NE(CurrentProbe(), nullptr);
        const std::string fresh = CurrentProbe()->Name();
        EXPECT_THAT(Journal::Get().Events(), ElementsAre("deactivate " + name, "destroy " + name,
                                                         "construct " + fresh, "activate " + fresh));
        EXPECT_EQ(Delegate().current_activity_id, next);
        EXPECT_TRUE(Delegate().has_navigated);
    }
}

TEST_F(NavigatorTest, EveryVisitBuildsAFreshScreen) {
    Start();
    const std::string first = CurrentProbe()->Name();
    CurrentProbe()->RequestActivity(kOtherProbeId);
    Pump();
    CurrentProbe()->RequestActivity(kProbeId);
    Pump();
    ASSERT_NE(CurrentProbe(), nullptr);
    EXPECT_NE(CurrentProbe()->Name(), first);
    EXPECT_EQ(Journal::Get().Matching("construct").size(), 3u);
    EXPECT_EQ(Journal::Get().Matching("destroy").size(), 2u);
}

TEST_F(NavigatorTest, IdOutsideTheTableLeavesNoScreenUntilTheNextRequest) {
    Start();
    CurrentProbe()->RequestActivity(1002);
    Pump();
    EXPECT_EQ(Current(), nullptr);
    EXPECT_EQ(Delegate().current_activity_id, 1002);
    EXPECT_EQ(Delegate().objectList->Count(), 0u);

    // Nothing is painted and no event reaches a screen.
    window_.ClearLog();
    Journal::Get().Clear();
    orvan::fake::FakeDeviceContext dc(window_);
    View().OnPaint(dc);
    View().OnSize(0, 800, 600);
    View().OnTimer(1000);
    View().OnMouseMove(0, {5, 5});
    EXPECT_TRUE(window_.Drawing().empty());
    EXPECT_TRUE(Journal::Get().Events().empty());

    Navigate(kNoRequester, kProbeId);
    ASSERT_NE(CurrentProbe(), nullptr);
    EXPECT_EQ(Delegate().current_activity_id, kProbeId);
}

TEST_F(NavigatorTest, OnlyTheLow32BitsOfTheIdCountAndZeroOrBelowMeansWelcome) {
    struct Case {
        int64_t next;
        int64_t expected;
    };
    const Case cases[] = {
        {0, 1000},
        {-5, 1000},
        {kProbeId, kProbeId},
        {(int64_t{1} << 32) | kProbeId, kProbeId},
        {int64_t{0x7fffffff} << 32, 1000},  // low half 0
        {0xffffffffLL, 1000},               // low half -1
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.next);
        Navigate(kNoRequester, c.next);
        EXPECT_EQ(Delegate().current_activity_id, c.expected);
        ASSERT_NE(Current(), nullptr);
        EXPECT_EQ(dynamic_cast<ORVAN_UXClass::WelcomeActivity*>(Current()) != nullptr, c.expected == 1000);
        ORVAN_UXClass::welcome_shown = 0;  // each row is a first visit
    }
}

TEST_F(NavigatorTest, RequestLeftBehindByADeletedScreenNeverTouchesIt) {
    // A screen that posts twice (a button and a timer) leaves a second request that names it
    // after the first has deleted it. Under AddressSanitizer any use of that requester is a
    // heap-use-after-free; here the request must still change the screen and leave the requester
    // alone.
    Start();
    ProbeScreen* stale = CurrentProbe();
    const std::string staleName = stale->Name();
    stale->RequestActivity(kOtherProbeId);
    stale->RequestActivity(kProbeId);
    Journal::Get().Clear();
    Pump();
    ASSERT_NE(CurrentProbe(), nullptr);
    EXPECT_EQ(Delegate().current_activity_id, kProbeId);
    const auto events = Journal::Get().Events();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0], "deactivate " + staleName);
    EXPECT_EQ(events[1], "destroy " + staleName);
    // The screen built for the first request is the one that the stale request replaces: it is
    // deactivated once, by the release, and deleted.
    const std::string middle = events[2].substr(std::string("construct ").size());
    EXPECT_EQ(std::count(events.begin(), events.end(), "deactivate " + middle), 1);
    EXPECT_EQ(events[4], "deactivate " + middle);
    EXPECT_EQ(events[5], "destroy " + middle);
}

TEST_F(NavigatorTest, ClosingDeactivatesAndDeletesTheScreenBeforeTheCoreStops) {
    Start();
    const std::string name = CurrentProbe()->Name();
    Journal::Get().Clear();
    main_frame_.OnClose();
    EXPECT_THAT(Journal::Get().Events(), ElementsAre("deactivate " + name + " (stop flag raised)",
                                                     "destroy " + name, "core finalize"));
    EXPECT_EQ(Current(), nullptr);
    EXPECT_EQ(Delegate().current_activity_id, -1);
    EXPECT_TRUE(
        std::all_of(Delegate().slots.begin(), Delegate().slots.end(), [](const auto& s) { return !s; }));

    // A second close request (a late post) finds the frame closed and does nothing.
    Journal::Get().Clear();
    main_frame_.OnClose();
    EXPECT_TRUE(Journal::Get().Events().empty());
}

TEST_F(NavigatorTest, RequestsStillQueuedWhenTheWindowClosesBuildNoScreen) {
    // The window is gone once closed; a request posted before the close but handled after it
    // must not build a screen on a stopped runtime.
    Start();
    CurrentProbe()->RequestActivity(kOtherProbeId);
    window_.PostMessage(ORVAN_UXClass::MSG_ACTIVITY_REPAINT, 0, 0);
    main_frame_.OnClose();
    Journal::Get().Clear();
    const int invalidates = window_.InvalidateCount();
    Pump();
    EXPECT_TRUE(Journal::Get().Events().empty());
    EXPECT_EQ(Current(), nullptr);
    EXPECT_EQ(window_.InvalidateCount(), invalidates);
}

}  // namespace
}  // namespace shell_test
