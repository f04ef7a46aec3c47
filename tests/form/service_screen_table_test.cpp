// Every management screen of the activity table, built by the navigator from the table itself:
// its slot, the controls it registers and where its paint puts them, and that nothing of it is
// left behind once it is replaced.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "activity_table.h"
#include "screen_fixture.h"

namespace form_test {
namespace {

using ::testing::ElementsAreArray;

struct ScreenLook {
    const char* className;
    int32_t slot;
    std::vector<std::string> layout;  // the registered controls, in order
    std::vector<std::string> paint;   // bitmaps and fills of a paint, in order
};

const std::vector<std::string> kCountdownLayout = {
    "bitmap (0,0) 622x430",
    "button \"Prev\" (10,10) 114x30",
    "label \"\" (134,50) 100x16",
    "label \"0\" (134,76) 100x16",
    "label \"Device: ...\" (134,102) 100x16",
    "label \"Ch[Setting]:...\" (134,128) 100x16",
    "label \"\" (134,154) 100x16",
};
const std::vector<std::string> kCountdownPaint = {
    "StretchBlt bitmap 2001 at (0,0) 622x430",       "StretchBlt bitmap 621 at (10,10) 114x30",
    "FillSolidRect (134,50) 100x16 color 0xffffff",  "FillSolidRect (134,76) 100x16 color 0xffffff",
    "FillSolidRect (134,102) 100x16 color 0xffffff", "FillSolidRect (134,128) 100x16 color 0xffffff",
    "FillSolidRect (134,154) 100x16 color 0xffffff",
};

// How each screen looks right after the navigator built and activated it.
const std::map<int32_t, ScreenLook>& Looks() {
    static const std::map<int32_t, ScreenLook> looks = {
        {1003, {"DeviceConnectActivity", 3, kCountdownLayout, kCountdownPaint}},
        {1004,
         {"DeviceConnectErrorActivity",
          4,
          {"bitmap (0,0) 622x430", "button \"Prev\" (10,10) 114x30",
           "label \"ConnectError\" (134,50) 100x16"},
          {"StretchBlt bitmap 2001 at (0,0) 622x430", "StretchBlt bitmap 621 at (10,10) 114x30",
           "FillSolidRect (134,50) 100x16 color 0xffffff"}}},
        // The live video screen leaves its area to the pictures: its paint draws nothing.
        {1005, {"LiveVideoActivity", 5, {"button \"Prev\" (10,10) 114x30"}, {}}},
        {1009, {"DeviceSettingGetActivity", 9, kCountdownLayout, kCountdownPaint}},
        {1010, {"DeviceSettingSetActivity", 10, kCountdownLayout, kCountdownPaint}},
        {401,
         {"SensorListActivity",
          50,
          {"bitmap (0,0) 622x430", "button \"Prev\" (10,10) 114x30",
           "label \"Gateway Channel:\" (134,70) 100x16", "label \"0\" (234,70) 100x16",
           "label \"Gateway Pan Id:\" (134,100) 100x16", "label \"0x0000\" (234,100) 100x16",
           "button \"Reset\" (324,70) 114x30", "button \"Baud Rate\" (454,70) 114x30",
           "button \"Channel\" (324,100) 114x30", "button \"Pan Id\" (454,100) 114x30",
           "button \"Select\" (420,150) 114x30"},
          {"StretchBlt bitmap 2001 at (0,0) 622x430", "StretchBlt bitmap 621 at (10,10) 114x30",
           "FillSolidRect (134,70) 100x16 color 0xffffff", "FillSolidRect (234,70) 100x16 color 0xffffff",
           "FillSolidRect (134,100) 100x16 color 0xffffff", "FillSolidRect (234,100) 100x16 color 0xffffff",
           "StretchBlt bitmap 621 at (324,70) 114x30", "StretchBlt bitmap 621 at (454,70) 114x30",
           "StretchBlt bitmap 621 at (324,100) 114x30", "StretchBlt bitmap 621 at (454,100) 114x30",
           "StretchBlt bitmap 621 at (420,150) 114x30"}}},
    };
    return looks;
}

// The table's entries whose look is known here (the other screens have tests of their own).
std::vector<ORVAN_UXClass::ActivityEntry> EntriesWithALook() {
    std::vector<ORVAN_UXClass::ActivityEntry> entries;
    for (const ORVAN_UXClass::ActivityEntry& entry : ORVAN_UXClass::ProductActivities()) {
        if (Looks().contains(entry.id)) entries.push_back(entry);
    }
    return entries;
}

TEST(ActivityTable, ListsEveryManagementScreenOnceInItsSlot) {
    for (const auto& [screenId, screenLook] : Looks()) {
        // Named copies: lambdas cannot capture structured bindings with every compiler we check with.
        const auto id = screenId;
        const auto& look = screenLook;
        SCOPED_TRACE(look.className);
        const auto table = ORVAN_UXClass::ProductActivities();
        EXPECT_EQ(std::ranges::count_if(table, [&](const auto& entry) { return entry.id == id; }), 1);
        EXPECT_EQ(std::ranges::count_if(table, [&](const auto& entry) { return entry.slot == look.slot; }),
                  1);
    }
}

class ServiceScreenFromTable : public ScreenTest, public ::testing::WithParamInterface<ORVAN_UXClass::ActivityEntry> {
  protected:
    const ScreenLook& Look() const { return Looks().at(GetParam().id); }
};

TEST_P(ServiceScreenFromTable, IsBuiltInItsSlotWithItsControlsWhereTheyBelong) {
    Open(GetParam().id);
    ASSERT_NE(delegate_.current_activity, nullptr);
    EXPECT_EQ(GetParam().slot, Look().slot);
    EXPECT_EQ(delegate_.slots[GetParam().slot].get(), delegate_.current_activity);
    EXPECT_THAT(Layout(), ElementsAreArray(Look().layout));

    std::vector<std::string> paint = Paint();
    std::erase_if(paint, [](const std::string& line) { return line.starts_with("TextOut"); });
    EXPECT_THAT(paint, ElementsAreArray(Look().paint));
}

TEST_P(ServiceScreenFromTable, LeavesNothingBehindWhenReplaced) {
    Open(GetParam().id);
    ReplaceFromElsewhere();
    EXPECT_EQ(delegate_.current_activity, nullptr);
    EXPECT_EQ(delegate_.slots[GetParam().slot], nullptr);
    EXPECT_EQ(delegate_.objectList->Count(), 0u);
    EXPECT_TRUE(window_.ActiveTimers().empty());
    EXPECT_EQ(window_.OpenPictureDrawers(), 0);
    EXPECT_EQ(window_.OpenFonts(), 0);
    if (const auto list = window_.ListControl(1)) {
        EXPECT_TRUE(list->deleted);
    }
}

INSTANTIATE_TEST_SUITE_P(ManagementScreens, ServiceScreenFromTable, ::testing::ValuesIn(EntriesWithALook()),
                         [](const auto& info) { return std::string(Looks().at(info.param.id).className); });

}  // namespace
}  // namespace form_test
