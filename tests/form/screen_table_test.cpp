// Every management screen of the activity table, one test each and named by its class: it is
// built for its id, paints its background and controls where they belong, and goes without leaving
// a control or a timer behind. The positions are written out here rather than taken from the
// screens' tables, so a wrong table row shows.
#include <map>
#include <set>

#include "GpioPage/RpiGpioActivity.h"
#include "ManagementScreen/ManagementScreen.h"
#include "OptionPage/option_page_table.h"
#include "SettingsMenu/settings_menu_table.h"
#include "StatusPage/status_page_table.h"
#include "activity_table.h"
#include "management_screen_fixture.h"

namespace form_test {
namespace {

using namespace ORVAN_UXClass;

enum class Kind { Menu, OptionPage, NetworkPage, GatewayPage, SensorPage, Gpio };

Kind KindOf(int32_t id) {
    if (id >= 1006 && id <= 1008) return Kind::Menu;
    if (id == 701) return Kind::Gpio;
    if (id >= 400) return Kind::SensorPage;
    if (id % 100 == 12) return Kind::GatewayPage;
    return id % 100 == 5 ? Kind::NetworkPage : Kind::OptionPage;
}

int32_t BackgroundOf(int32_t id) {
    if (id == 1008 || (id >= 200 && id < 300)) return 2002;
    if (id == 1007 || (id >= 300 && id < 400)) return 2003;
    return 2001;
}

// Drawing lines a screen of the kind must produce.
std::vector<std::string> Landmarks(int32_t id) {
    switch (KindOf(id)) {
        case Kind::Menu:
            return {};
        case Kind::OptionPage:
            return {ButtonAt(134, 220), ButtonAt(248, 220), "TextOut \"Cancel\" at (168,228) color 0x000000"};
        case Kind::NetworkPage:
            return {ButtonAt(248, 280), "TextOut \"OK\" at (298,288) color 0x000000"};
        case Kind::GatewayPage:
        case Kind::SensorPage:
            // Cancel and OK centred under the rows; the first and last choice rows' boxes; the
            // title left-aligned in the header.
            return {ButtonAt(192, 390),    ButtonAt(316, 390),    BoxAt(324, 28, true),
                    BoxAt(404, 28, false), BoxAt(324, 353, true), BoxAt(404, 353, false)};
        case Kind::Gpio:
            // Pin 0, pin 8 one column (200 pixels) to its right, pin 31 in the last row of the last.
            return {BoxAt(70, 100, false), BoxAt(130, 100, false), BoxAt(270, 100, false),
                    BoxAt(730, 310, false), "TextOut \"GPIO 31\" at (620,317) color 0x000000"};
    }
    return {};
}

class EveryManagementScreen : public ManagementScreenTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(EveryManagementScreen, IsBuiltForItsIdPaintsItsControlsAndLeavesNothingBehind) {
    const int32_t id = GetParam();
    OpenConnection();
    auto* screen = dynamic_cast<ManagementScreen*>(Open(id));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->activityId, id) << "the table row builds another screen";
    EXPECT_EQ(screen->leaving, 0);

    const std::vector<std::string> drawing = Paint();
    ASSERT_GE(drawing.size(), 3u);
    EXPECT_EQ(drawing[0], Blt(BackgroundOf(id), 0, 0, 622, 430));
    EXPECT_EQ(drawing[1], ButtonAt(10, 10));
    EXPECT_EQ(drawing[2], "TextOut \"Prev\" at (52,18) color 0x000000");
    for (const std::string& line : Landmarks(id)) EXPECT_TRUE(Has(drawing, line)) << line;

    const Kind kind = KindOf(id);
    EXPECT_EQ(CountStarting(drawing, "TextOut \"Cancel\""),
              kind == Kind::OptionPage || kind == Kind::GatewayPage || kind == Kind::SensorPage);
    if (kind == Kind::Menu) {
        EXPECT_EQ(drawing.size(), 3u) << "a menu shows its background and Prev only";
    }
    if (kind == Kind::GatewayPage || kind == Kind::SensorPage) {
        const std::wstring title = FindStatusPage(id)->title;
        EXPECT_EQ(
            CountStarting(drawing, "TextOut \"" + std::string(title.begin(), title.end()) + "\" at (424,10)"),
            1);
        EXPECT_EQ(Has(drawing, Blt(FindStatusPage(id)->picture, 50, 80, 160, 240)), kind == Kind::SensorPage);
    }

    // Replaced without having asked for it: the connection is dropped on the way out.
    Delegate().release_current_activity();
    EXPECT_FALSE(ConnectionOpen());
    EXPECT_EQ(Delegate().objectList->Count(), 0u);
    EXPECT_TRUE(window_.ActiveTimers().empty());
    EXPECT_EQ(window_.OpenDeviceContexts(), 0);
}

// Where Prev leads, and whether the connection is closed on the way: the menus and the GPIO page
// return to the start screen and close it; the pages return to their menu (or, for a sensor, to
// the sensor list through a settings read) with the connection still open.
TEST_P(EveryManagementScreen, PrevAsksForItsScreenOnceAndKeepsOrDropsTheConnection) {
    const int32_t id = GetParam();
    const Kind kind = KindOf(id);
    const int32_t familyMenu = id < 200 ? 1006 : id < 300 ? 1008 : 1007;
    const int32_t home = 4242;
    const int32_t expected = kind == Kind::Menu || kind == Kind::Gpio ? home
                             : kind == Kind::SensorPage               ? 1009
                                                                      : familyMenu;
    const bool drops = kind == Kind::Menu || kind == Kind::Gpio;
    Delegate().home_activity_id = home;
    OpenConnection();
    ASSERT_NE(Open(id), nullptr);
    Click(20, 20);
    Click(20, 20);
    EXPECT_THAT(RequestedIds(), ::testing::ElementsAre(expected));
    EXPECT_EQ(window_.PostedMessages().front().wparam, RequesterParam(Delegate().current_activity));
    EXPECT_EQ(ConnectionOpen(), !drops);
    Pump();
    EXPECT_EQ(ConnectionOpen(), !drops) << "leaving on its own request, the screen keeps the connection";
    EXPECT_EQ(Delegate().current_activity_id, expected);
}

INSTANTIATE_TEST_SUITE_P(ActivityTable, EveryManagementScreen, ::testing::ValuesIn(ManagementScreenIds()),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return ManagementScreenClassName(info.param);
                         });

TEST(ManagementActivityTable, HoldsEveryScreenOfTheKindTablesOnceInItsOwnSlot) {
    std::set<int32_t> expected{RpiGpioActivity::kActivityId};
    for (const OptionFamily& family : kOptionFamilies) {
        for (const OptionTopic& topic : kOptionTopics) expected.insert(family.idBase + topic.number);
    }
    for (const StatusPageRow& page : kStatusPages) expected.insert(page.id);
    for (const SettingsMenuRow& menu : kSettingsMenus) expected.insert(menu.id);
    EXPECT_EQ(expected.size(), 47u);

    std::map<int32_t, int32_t> slotOf;
    std::set<int32_t> slots;
    for (const ActivityEntry& entry : ProductActivities()) {
        EXPECT_TRUE(slotOf.emplace(entry.id, entry.slot).second) << "id " << entry.id << " twice";
        EXPECT_TRUE(slots.insert(entry.slot).second) << "slot " << entry.slot << " twice";
    }
    for (int32_t id : expected) EXPECT_TRUE(slotOf.contains(id)) << "no row for " << id;

    // The slots the navigator keeps these screens in.
    const std::pair<int32_t, int32_t> rows[] = {{1006, 6}, {1007, 7}, {1008, 8}, {100, 11}, {111, 22},
                                                {112, 23}, {200, 24}, {212, 36}, {300, 37}, {312, 49},
                                                {607, 51}, {615, 52}, {604, 53}, {505, 54}, {701, 55}};
    for (const auto& [id, slot] : rows) {
        SCOPED_TRACE(id);
        EXPECT_EQ(slotOf[id], slot);
    }
}

}  // namespace
}  // namespace form_test
