// The settings menus' idle timer and their way back.
#include "SettingsMenu/SettingsMenu.h"
#include "management_screen_fixture.h"
#include "orvan_ux/ux_conventions.h"

namespace form_test {
namespace {

using namespace ORVAN_UXClass;
using ::testing::ElementsAre;
using Timers = std::map<uint32_t, uint32_t>;

class SettingsMenuTest : public ManagementScreenTest {
  protected:
    static constexpr int32_t kMenus[] = {1006, 1007, 1008};
};

TEST_F(SettingsMenuTest, IdleTimerBeatsOnceASecondWhileTheMenuIsCurrentAndStopsWhenItIsLeft) {
    for (const int32_t id : kMenus) {
        SCOPED_TRACE(id);
        StartAfresh();
        auto* menu = OpenAs<SettingsMenu>(id);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(window_.ActiveTimers(), (Timers{{UX_COUNTDOWN_TIMER_ID, 0}})) << "first tick at once";
        menu->OnTimer(UX_COUNTDOWN_TIMER_ID);
        EXPECT_EQ(window_.ActiveTimers(), (Timers{{UX_COUNTDOWN_TIMER_ID, 1000}}));
        menu->OnTimer(UX_COUNTDOWN_TIMER_ID);
        EXPECT_EQ(window_.ActiveTimers(), (Timers{{UX_COUNTDOWN_TIMER_ID, 1000}}));
        EXPECT_TRUE(RequestedIds().empty()) << "an idle tick asks for nothing";

        // Left because another screen was asked for: no timer, and the connection goes too.
        OpenConnection();
        Delegate().navigate(kNoRequester, 1001);
        EXPECT_TRUE(window_.ActiveTimers().empty());
        EXPECT_FALSE(ConnectionOpen());
    }
}

TEST_F(SettingsMenuTest, PrevStopsTheTimerDropsTheConnectionAndReturnsToTheStartScreenOnce) {
    for (const int32_t id : kMenus) {
        SCOPED_TRACE(id);
        StartAfresh();
        Delegate().home_activity_id = 1001;
        OpenConnection();
        auto* menu = OpenAs<SettingsMenu>(id);
        ASSERT_NE(menu, nullptr);
        menu->OnBack();
        EXPECT_TRUE(window_.ActiveTimers().empty());
        EXPECT_FALSE(ConnectionOpen());
        EXPECT_EQ(menu->leaving, 1);
        menu->OnTimer(UX_COUNTDOWN_TIMER_ID);  // a tick already queued when the timer was killed
        menu->OnBack();
        EXPECT_TRUE(window_.ActiveTimers().empty()) << "a late tick does not re-arm the timer";
        EXPECT_THAT(RequestedIds(), ElementsAre(1001));
    }
}

}  // namespace
}  // namespace form_test
