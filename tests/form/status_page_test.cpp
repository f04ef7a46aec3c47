// The status pages: how each row starts from the record (the two rules for an unknown value, times,
// voltage and battery state), what a choice changes, and where Prev, Cancel and OK lead.
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

#include "StatusPage/StatusPage.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "management_screen_fixture.h"
#include "orvan_test/fake_text.h"

namespace form_test {
namespace {

using namespace ORVAN_UXClass;
using ::testing::ElementsAre;

// Sets the TZ variable (null removes it) and makes the time functions read it again.
void SetTimeZone(const char* tz) {
#ifdef _WIN32
    _putenv_s("TZ", tz != nullptr ? tz : "");
    _tzset();
#else
    if (tz != nullptr) {
        setenv("TZ", tz, 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
#endif
}

// Local times read as UTC, and the debug output runs, so that time rows and their log lines
// can be checked.
class StatusPageTest : public ManagementScreenTest {
  protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) savedTz_ = tz;
        SetTimeZone("UTC");
        ASSERT_EQ(liborvaniot_os_debug_initialize(), 0);
    }
    void TearDown() override {
        StartAfresh();
        liborvaniot_os_debug_finalize();
        SetTimeZone(savedTz_ ? savedTz_->c_str() : nullptr);
    }

    // Builds page id and returns it with what it wrote to the debug output.
    StatusPage* OpenLogged(int32_t id, std::string& log) {
        testing::internal::CaptureStderr();
        auto* page = OpenAs<StatusPage>(id);
        log = testing::internal::GetCapturedStderr();
        return page;
    }

  private:
    std::optional<std::string> savedTz_;
};

// A choice row: its index, its fields in the record's group and its rule for -1.
struct ChoiceField {
    size_t row;
    int32_t status_block::*current;
    int32_t status_block::*toSet;
    bool ruleA;
};
constexpr ChoiceField kChoiceFields[] = {
    {1, &status_block::mode, &status_block::mode_set, true},
    {4, &status_block::event, &status_block::event_set, false},
    {6, &status_block::alarm_status, &status_block::alarm_status_set, false},
    {8, &status_block::option, &status_block::option_set, true},
    {9, &status_block::battlow_status, &status_block::battlow_status_set, false},
    {11, &status_block::reset_battlow, &status_block::reset_battlow_set, true},
    {12, &status_block::nco_mode, &status_block::nco_mode_set, true},
    {13, &status_block::day_mode, &status_block::day_mode_set, true},
    {14, &status_block::hold_mode, &status_block::hold_mode_set, true},
};

TEST_F(StatusPageTest, ChoiceRowsStartFromTheCurrentValueUnderTheirRuleForUnknown) {
    constexpr int32_t kOtherGroup = 99;
    struct Page {
        int32_t id;
        status_block corvaniot_network::*group;
        status_block corvaniot_network::*other;
    };
    const Page pages[] = {{112, &corvaniot_network::gateway_status, &corvaniot_network::sensor_status},
                          {607, &corvaniot_network::gateway_status, &corvaniot_network::sensor_status},
                          {604, &corvaniot_network::sensor_status, &corvaniot_network::gateway_status}};
    for (const Page& page : pages) {
        for (const int32_t value : {-1, 0, 1, 5}) {
            SCOPED_TRACE(testing::Message() << "page " << page.id << ", current value " << value);
            StartAfresh();
            for (const ChoiceField& field : kChoiceFields) {
                Record().*page.group.*field.current = value;
                Record().*page.other.*field.toSet = kOtherGroup;
            }
            auto* screen = OpenAs<StatusPage>(page.id);
            ASSERT_NE(screen, nullptr);
            for (const ChoiceField& field : kChoiceFields) {
                SCOPED_TRACE(testing::Message() << "row " << field.row);
                const bool unknownStaysUnknown = value == -1 && !field.ruleA;
                const int32_t expected = unknownStaysUnknown ? -1 : value == 0 ? 0 : 1;
                EXPECT_EQ(screen->rows[field.row].boxes[0]->checked, expected == 1);
                EXPECT_EQ(screen->rows[field.row].boxes[1]->checked, expected == 0);
                EXPECT_EQ(Record().*page.group.*field.toSet, expected);
                EXPECT_EQ(Record().*page.other.*field.toSet, kOtherGroup)
                    << "the other group is not this page's";
            }
        }
    }
}

TEST_F(StatusPageTest, TimeRowsShowAndLogLocalTimeOrAQuestionMark) {
    struct Case {
        int64_t time;
        const wchar_t* shown;
        const char* logged;
    };
    const Case cases[] = {
        {0, L"?", ""},
        {1700000000, L"2023-11-14 22:13:20", "2023-11-14 22:13:20\n"},
#ifdef _WIN32
        // The Windows C library converts no time before 1970.
        {-86400, L"?", ""},
#else
        {-86400, L"1969-12-31 00:00:00", "1969-12-31 00:00:00\n"},
#endif
        // Beyond what fits the 19-character date and time, or beyond what converts at all.
        {253402300800, L"?", ""},
        {std::numeric_limits<int64_t>::max(), L"?", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        StartAfresh();
        Record().sensor_status.batt_time = c.time;
        std::string log;
        StatusPage* page = OpenLogged(505, log);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->rows[2].value->text, c.shown);
        EXPECT_EQ(page->rows[2].value->alignment, 1);
        EXPECT_EQ(page->rows[2].caption->alignment, 0);
        EXPECT_EQ(log, c.logged);
    }
}

TEST_F(StatusPageTest, LogsTheBatteryEventAlarmAndLowBatteryTimesInThatOrder) {
    status_block& group = Record().gateway_status;
    group.batt_time = 4 * 86400;
    group.event_time = 3 * 86400;
    group.alarm_time = 2 * 86400;
    group.battlow_time = 86400;
    std::string log;
    StatusPage* page = OpenLogged(212, log);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(log, "1970-01-05 00:00:00\n1970-01-04 00:00:00\n1970-01-03 00:00:00\n1970-01-02 00:00:00\n");
    EXPECT_EQ(page->rows[5].caption->text, L"CALL TIMEP") << "gateway caption";
    EXPECT_EQ(page->rows[10].value->text, L"1970-01-02 00:00:00");
}

TEST_F(StatusPageTest, ShowsTheMacVoltageAndBatteryState) {
    struct Case {
        double volt;
        int32_t battStatus;
        std::wstring voltStart;  // the voltage as shown starts so and is voltLength long
        size_t voltLength;
        const wchar_t* battText;
    };
    const Case cases[] = {
        {3.75, 0, L"3.8", 3, L"LOW"},
        {12, 1, L"12.0", 4, L"OK"},
        {0, -1, L"0.0", 3, L"?"},
        {1e300, 2, L"10000000000", 303, L"?"},  // far too long for the label, but written whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.volt);
        StartAfresh();
        Record().device_mac = 0x0011223344AABBCCull;
        Record().sensor_status.volt = c.volt;
        Record().sensor_status.batt_status = c.battStatus;
        auto* page = OpenAs<StatusPage>(615);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->rows[0].value->text, L"[0x0011223344AABBCC]");
        const std::wstring& volt = page->rows[3].value->text;
        EXPECT_TRUE(volt.starts_with(c.voltStart)) << orvan::fake::Utf8(volt);
        EXPECT_EQ(volt.size(), c.voltLength);
        EXPECT_EQ(page->rows[3].extraValue->text, c.battText);
        EXPECT_EQ(page->rows[0].extraCaption->text, L"DOOR");
        EXPECT_EQ(page->rows[1].caption->text, L"ENABLE MODE") << "sensor caption";
    }
}

TEST_F(StatusPageTest, AChoiceChecksOneBoxAndSetsItsValueWithoutSendingAnything) {
    auto* page = OpenAs<StatusPage>(607);
    ASSERT_NE(page, nullptr);
    const auto& boxes = page->rows[4].boxes;  // CALL HELP, boxes 7 pixels above the row at y 110
    Click(410, 105);                          // NO
    EXPECT_FALSE(boxes[0]->checked);
    EXPECT_TRUE(boxes[1]->checked);
    EXPECT_EQ(Record().gateway_status.event_set, 0);
    Click(330, 105);  // YES
    EXPECT_TRUE(boxes[0]->checked);
    EXPECT_FALSE(boxes[1]->checked);
    EXPECT_EQ(Record().gateway_status.event_set, 1);
    EXPECT_TRUE(RequestedIds().empty());
}

TEST_F(StatusPageTest, PrevCancelAndOkLeadWhereThePageBelongs) {
    constexpr int32_t kUntouched = -77;
    const orvan::wnd::Point prev{20, 20}, cancel{200, 400}, ok{330, 400};
    struct Case {
        int32_t id;
        orvan::wnd::Point click;
        int32_t request;
        int32_t pageId;
        int32_t pending;
        int32_t returnTo;
    };
    const Case cases[] = {
        // Gateway guard: back to the family menu; OK writes and returns there.
        {212, cancel, 1008, kUntouched, kUntouched, kUntouched},
        {312, prev, 1007, kUntouched, kUntouched, kUntouched},
        {112, ok, 1010, 112, 1006, 1006},
        // Sensors: back to the sensor list, read first; OK writes and shows the page again.
        {604, cancel, 1009, 401, 401, kUntouched},
        {607, prev, 1009, 401, 401, kUntouched},
        {615, ok, 1010, 615, 615, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        StartAfresh();
        Record().page_id = kUntouched;
        Delegate().pending_activity_id = kUntouched;
        Delegate().return_activity_id = kUntouched;
        ASSERT_NE(Open(c.id), nullptr);
        Click(c.click.x, c.click.y);
        Click(ok.x, ok.y);  // a second button before the change is handled does nothing
        EXPECT_THAT(RequestedIds(), ElementsAre(c.request));
        EXPECT_EQ(Record().page_id, c.pageId);
        EXPECT_EQ(Delegate().pending_activity_id, c.pending);
        EXPECT_EQ(Delegate().return_activity_id, c.returnTo);
    }
}

}  // namespace
}  // namespace form_test
