// The command lines of a settings write, page by page: exact texts, their order and the caller
// each is logged under, and that the write screen puts exactly these texts on the debug output.
#include "DeviceConnect/set_command_lines.h"

#include <string>
#include <vector>

#include "DeviceConnect/DeviceSettingSetActivity.h"
#include "screen_fixture.h"

namespace form_test {
namespace {

using ORVAN_UXClass::DeviceSettingSetActivity;
using ORVAN_UXClass::SetCommandLine;
using ORVAN_UXClass::SetCommandLines;
using ORVAN_UXClass::status_block;

struct Texts {
    std::vector<const char*> off;  // every setting 0
    std::vector<const char*> on;   // every setting 1
};

const Texts kGateway = {
    {"SECURITY MODE=OFF\n", "CALL DATA=NO\n", "ALARM STATUS=NO\n", "MUTE MODE=NO\n", "NCO MODE=OFF\n",
     "DAY MODE=OFF\n", "HOLD MODE=OFF\n"},
    {"SECURITY MODE=ON\n", "CALL DATA=YES\n", "ALARM STATUS=YES\n", "MUTE MODE=YES\n", "NCO MODE=ON\n",
     "DAY MODE=ON\n", "HOLD MODE=ON\n"},
};
const Texts kRemoteControl = {
    {"SECURITY MODE=OFF\n", "CALL HELP=NO\n", "ALARM STATUS=NO\n", "MUTE MODE=OFF\n", "BATTLOW STATUS=NO\n",
     "RESET BATTLOW=NO\n", "NCO MODE=OFF\n", "DAY MODE=OFF\n", "HOLD MODE=OFF\n"},
    {"SECURITY MODE=ON\n", "CALL HELP=YES\n", "ALARM STATUS=YES\n", "MUTE MODE=ON\n", "BATTLOW STATUS=YES\n",
     "RESET BATTLOW=YES\n", "NCO MODE=ON\n", "DAY MODE=ON\n", "HOLD MODE=ON\n"},
};
const Texts kSensor = {
    {"ENABLE MODE=OFF\n", "TRIGGER DATA=NO\n", "ALARM STATUS=NO\n", "RESET ALARM=NO\n", "BATTLOW STATUS=NO\n",
     "RESET BATTLOW=NO\n", "NCO MODE=OFF\n", "DAY MODE=OFF\n", "HOLD MODE=OFF\n"},
    {"ENABLE MODE=ON\n", "TRIGGER DATA=YES\n", "ALARM STATUS=YES\n", "RESET ALARM=YES\n",
     "BATTLOW STATUS=YES\n", "RESET BATTLOW=YES\n", "NCO MODE=ON\n", "DAY MODE=ON\n", "HOLD MODE=ON\n"},
};

struct Page {
    int32_t id;
    const char* caller;
    bool sensorGroup;  // sensor_status rather than gateway_status
    const Texts* texts;
};

const Page kPages[] = {
    {112, "ORVAN_UXClass::OptionCmsIPCameraGatewayGuardActivity::send_set_command", false, &kGateway},
    {212, "ORVAN_UXClass::OptionCmsIPBoxGatewayGuardActivity::send_set_command", false, &kGateway},
    {312, "ORVAN_UXClass::OptionIPBoxIPCameraGatewayGuardActivity::send_set_command", false, &kGateway},
    {607, "ORVAN_UXClass::SensorRmctrlActivity::send_set_command", false, &kRemoteControl},
    {505, "ORVAN_UXClass::SensorSirenActivity::send_set_command", true, &kSensor},
    {604, "ORVAN_UXClass::SensorPirActivity::send_set_command", true, &kSensor},
    {615, "ORVAN_UXClass::SensorDoorTwoActivity::send_set_command", true, &kSensor},
};

// Every value to set of the group.
void SetAll(status_block& group, int32_t value) {
    for (int32_t status_block::*field :
         {&status_block::mode_set, &status_block::event_set, &status_block::alarm_status_set,
          &status_block::option_set, &status_block::battlow_status_set, &status_block::reset_battlow_set,
          &status_block::nco_mode_set, &status_block::day_mode_set, &status_block::hold_mode_set}) {
        group.*field = value;
    }
}

class SetCommandLinesTest : public ScreenTest {
  protected:
    DeviceSettingSetActivity& Writer() {
        if (delegate_.current_activity == nullptr) Open(1010);
        return Current<DeviceSettingSetActivity>();
    }
    std::string Written() {
        testing::internal::CaptureStderr();
        Writer().send_set_command();
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(SetCommandLinesTest, EachPageWritesItsLinesForZeroAndOneAndNothingForUnknown) {
    for (const Page& page : kPages) {
        for (const int32_t value : {0, 1, -1}) {
            SCOPED_TRACE("page " + std::to_string(page.id) + " value " + std::to_string(value));
            Record().page_id = page.id;
            // The page's own group holds the value; the other group holds its opposite and must
            // not show through.
            SetAll(page.sensorGroup ? Record().sensor_status : Record().gateway_status, value);
            SetAll(page.sensorGroup ? Record().gateway_status : Record().sensor_status, value == 1 ? 0 : 1);

            std::vector<SetCommandLine> expected;
            std::string output;
            if (value != -1) {
                for (const char* text : value == 1 ? page.texts->on : page.texts->off) {
                    expected.push_back({page.caller, text});
                    output += text;
                }
            }
            const std::vector<SetCommandLine> lines = SetCommandLines(Record());
            ASSERT_EQ(lines.size(), expected.size());
            for (size_t i = 0; i < lines.size(); ++i) {
                EXPECT_STREQ(lines[i].caller, expected[i].caller) << "line " << i;
                EXPECT_STREQ(lines[i].text, expected[i].text) << "line " << i;
            }
            EXPECT_EQ(Written(), output);
        }
    }
}

TEST_F(SetCommandLinesTest, AnUnknownSettingIsLeftOutAndTheOthersKeepTheirOrder) {
    Record().page_id = 112;
    SetAll(Record().gateway_status, 0);
    Record().gateway_status.mode_set = -1;
    Record().gateway_status.option_set = 1;
    Record().gateway_status.hold_mode_set = 2;
    EXPECT_EQ(Written(), "CALL DATA=NO\nALARM STATUS=NO\nMUTE MODE=YES\nNCO MODE=OFF\nDAY MODE=OFF\n");
}

TEST_F(SetCommandLinesTest, OtherPagesWriteNothing) {
    SetAll(Record().gateway_status, 1);
    SetAll(Record().sensor_status, 1);
    for (const int32_t page : {0, 100, 111, 211, 311, 401, 701, 113, 506}) {
        SCOPED_TRACE(page);
        Record().page_id = page;
        EXPECT_TRUE(SetCommandLines(Record()).empty());
        EXPECT_EQ(Written(), "");
    }
}

}  // namespace
}  // namespace form_test
