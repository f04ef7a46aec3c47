// The sensor list: the gateway's radio values, the four commands handed to the write screen, the
// sensor list control in its process-wide slot, and the way back.
#include <string>
#include <vector>

#include "SensorListActivity/SensorListActivity.h"
#include "screen_fixture.h"

namespace form_test {
namespace {

using orvan::fake::FakeListColumn;
using ORVAN_UXClass::kWelcomeActivityId;
using ORVAN_UXClass::SensorListActivity;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SensorListTest : public ScreenTest {
  protected:
    SensorListActivity& OpenList() {
        OpenConnection();
        Open(401);
        return Current<SensorListActivity>();
    }
};

TEST_F(SensorListTest, ShowsTheGatewayRadioValuesAndForgetsTheChosenSensor) {
    struct Case {
        int32_t channel;
        int32_t panId;
        std::wstring shownChannel;
        std::wstring shownPanId;
    };
    for (const Case& c : {Case{15, 4660, L"15", L"0x1234"}, Case{0, 10, L"0", L"0x000A"},
                          Case{-1, -1, L"-1", L"0xFFFFFFFF"}, Case{26, 0x12345, L"26", L"0x12345"}}) {
        SCOPED_TRACE(c.panId);
        Record().radio_channel = c.channel;
        Record().radio_pan_id = c.panId;
        Record().sensor_row = 4;
        auto& screen = OpenList();
        EXPECT_EQ(screen.channelValue->text, c.shownChannel);
        EXPECT_EQ(screen.panIdValue->text, c.shownPanId);
        EXPECT_EQ(Record().sensor_row, -1);
        ReplaceFromElsewhere();
    }
}

TEST_F(SensorListTest, EachCommandGoesThroughTheWriteScreenAndComesBackHere) {
    struct Case {
        const char* button;
        int32_t x, y;
        int32_t code;
        int32_t arg;
    };
    Record().radio_channel_set = 20;
    Record().radio_pan_id_set = 0x2222;
    for (const Case& c : {Case{"Reset", 330, 75, 100, 0}, Case{"Baud Rate", 460, 75, 102, 0},
                          Case{"Channel", 330, 105, 104, 20}, Case{"Pan Id", 460, 105, 106, 0x2222}}) {
        SCOPED_TRACE(c.button);
        Record().command_code = -5;
        Record().command_arg = -5;
        delegate_.pending_activity_id = 0;
        auto& screen = OpenList();
        Click(c.x, c.y);
        EXPECT_EQ(Record().command_code, c.code);
        EXPECT_EQ(Record().command_arg, c.arg);
        EXPECT_EQ(Record().page_id, 401);
        EXPECT_EQ(delegate_.pending_activity_id, 401);
        EXPECT_THAT(Requests(), ElementsAre(1010));
        EXPECT_EQ(screen.leaving, 1);

        // Another command or Prev before the change asks for nothing more and changes nothing.
        Click(20, 20);
        Click(c.x == 330 ? 460 : 330, c.y);
        EXPECT_EQ(Record().command_code, c.code);
        EXPECT_THAT(Requests(), ElementsAre(1010));

        FollowRequest();
        EXPECT_EQ(delegate_.current_activity_id, 1010);
        EXPECT_EQ(Record().conn_handle, kOpenConnection) << "the write screen takes the connection over";
        ReplaceFromElsewhere();
    }
}

TEST_F(SensorListTest, PrevDropsTheConnectionAndGoesHome) {
    auto& screen = OpenList();
    // Not the usual home (the device list), so that a screen that goes there regardless is caught.
    delegate_.home_activity_id = kWelcomeActivityId;
    Click(20, 20);
    EXPECT_THAT(Requests(), ElementsAre(kWelcomeActivityId));
    EXPECT_EQ(Record().conn_handle, -1);
    EXPECT_EQ(screen.leaving, 1);
}

TEST_F(SensorListTest, ReplacedFromElsewhereItDropsTheConnection) {
    OpenList();
    ReplaceFromElsewhere();
    EXPECT_EQ(Record().conn_handle, -1);
}

TEST_F(SensorListTest, AClickOnARowChoosesThatSensor) {
    auto& screen = OpenList();
    int64_t result = 0;
    screen.OnListClick(3, &result);
    EXPECT_EQ(Record().sensor_row, 3);
    screen.OnListClick(-1, &result);
    EXPECT_EQ(Record().sensor_row, 3) << "a click below the rows changes nothing";
    screen.OnListClick(0, &result);
    EXPECT_EQ(Record().sensor_row, 0);
    Click(430, 160);  // Select does nothing yet
    EXPECT_THAT(Requests(), IsEmpty());
}

TEST_F(SensorListTest, EachVisitHasAFreshListWithExactlyTwoColumns) {
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        OpenList();
        ASSERT_NE(SensorListActivity::listControl, nullptr);
        const auto list = window_.ListControl(1);
        ASSERT_TRUE(list.has_value());
        EXPECT_EQ(list->left, 10);
        EXPECT_EQ(list->top, 150);
        EXPECT_EQ(list->right, 400);
        EXPECT_EQ(list->bottom, 400);
        EXPECT_THAT(list->columns, ElementsAre(FakeListColumn{L"TYPE", 100}, FakeListColumn{L"MAC", 280}));
        EXPECT_THAT(list->rows, IsEmpty());

        testing::internal::CaptureStderr();
        ReplaceFromElsewhere();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(SensorListActivity::listControl, nullptr);
        const auto gone = window_.ListControl(1);
        EXPECT_TRUE(gone->windowDestroyed);
        EXPECT_TRUE(gone->deleted);
        EXPECT_THAT(gone->columns, IsEmpty());
    }
}

TEST_F(SensorListTest, AListWindowThatCannotBeDestroyedIsReportedAndStillReleased) {
    OpenList();
    // A window that is already gone cannot be destroyed again.
    ASSERT_TRUE(SensorListActivity::listControl->DestroyWindow());
    testing::internal::CaptureStderr();
    ReplaceFromElsewhere();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "delete error\n");
    EXPECT_EQ(SensorListActivity::listControl, nullptr);
    EXPECT_TRUE(window_.ListControl(1)->deleted);

    OpenList();
    EXPECT_EQ(window_.ListControl(1)->columns.size(), 2u);
}

}  // namespace
}  // namespace form_test
