#include "DeviceConnect/set_command_lines.h"

#include <span>

namespace ORVAN_UXClass {

namespace {

struct Setting {
    int32_t status_block::*value;
    const char* off;  // the line for 0
    const char* on;   // the line for 1
};

// The gateway pages name the event "CALL DATA" and answer MUTE MODE with NO/YES; they carry no
// low-battery settings.
constexpr Setting kGatewaySettings[] = {
    {&status_block::mode_set, "SECURITY MODE=OFF\n", "SECURITY MODE=ON\n"},
    {&status_block::event_set, "CALL DATA=NO\n", "CALL DATA=YES\n"},
    {&status_block::alarm_status_set, "ALARM STATUS=NO\n", "ALARM STATUS=YES\n"},
    {&status_block::option_set, "MUTE MODE=NO\n", "MUTE MODE=YES\n"},
    {&status_block::nco_mode_set, "NCO MODE=OFF\n", "NCO MODE=ON\n"},
    {&status_block::day_mode_set, "DAY MODE=OFF\n", "DAY MODE=ON\n"},
    {&status_block::hold_mode_set, "HOLD MODE=OFF\n", "HOLD MODE=ON\n"},
};

constexpr Setting kRemoteControlSettings[] = {
    {&status_block::mode_set, "SECURITY MODE=OFF\n", "SECURITY MODE=ON\n"},
    {&status_block::event_set, "CALL HELP=NO\n", "CALL HELP=YES\n"},
    {&status_block::alarm_status_set, "ALARM STATUS=NO\n", "ALARM STATUS=YES\n"},
    {&status_block::option_set, "MUTE MODE=OFF\n", "MUTE MODE=ON\n"},
    {&status_block::battlow_status_set, "BATTLOW STATUS=NO\n", "BATTLOW STATUS=YES\n"},
    {&status_block::reset_battlow_set, "RESET BATTLOW=NO\n", "RESET BATTLOW=YES\n"},
    {&status_block::nco_mode_set, "NCO MODE=OFF\n", "NCO MODE=ON\n"},
    {&status_block::day_mode_set, "DAY MODE=OFF\n", "DAY MODE=ON\n"},
    {&status_block::hold_mode_set, "HOLD MODE=OFF\n", "HOLD MODE=ON\n"},
};

constexpr Setting kSensorSettings[] = {
    {&status_block::mode_set, "ENABLE MODE=OFF\n", "ENABLE MODE=ON\n"},
    {&status_block::event_set, "TRIGGER DATA=NO\n", "TRIGGER DATA=YES\n"},
    {&status_block::alarm_status_set, "ALARM STATUS=NO\n", "ALARM STATUS=YES\n"},
    {&status_block::option_set, "RESET ALARM=NO\n", "RESET ALARM=YES\n"},
    {&status_block::battlow_status_set, "BATTLOW STATUS=NO\n", "BATTLOW STATUS=YES\n"},
    {&status_block::reset_battlow_set, "RESET BATTLOW=NO\n", "RESET BATTLOW=YES\n"},
    {&status_block::nco_mode_set, "NCO MODE=OFF\n", "NCO MODE=ON\n"},
    {&status_block::day_mode_set, "DAY MODE=OFF\n", "DAY MODE=ON\n"},
    {&status_block::hold_mode_set, "HOLD MODE=OFF\n", "HOLD MODE=ON\n"},
};

struct Page {
    int32_t pageId;
    const char* caller;
    status_block corvaniot_network::*group;
    std::span<const Setting> settings;
};

constexpr Page kPages[] = {
    {112, "ORVAN_UXClass::OptionCmsIPCameraGatewayGuardActivity::send_set_command",
     &corvaniot_network::gateway_status, kGatewaySettings},
    {212, "ORVAN_UXClass::OptionCmsIPBoxGatewayGuardActivity::send_set_command",
     &corvaniot_network::gateway_status, kGatewaySettings},
    {312, "ORVAN_UXClass::OptionIPBoxIPCameraGatewayGuardActivity::send_set_command",
     &corvaniot_network::gateway_status, kGatewaySettings},
    {607, "ORVAN_UXClass::SensorRmctrlActivity::send_set_command", &corvaniot_network::gateway_status,
     kRemoteControlSettings},
    {505, "ORVAN_UXClass::SensorSirenActivity::send_set_command", &corvaniot_network::sensor_status,
     kSensorSettings},
    {604, "ORVAN_UXClass::SensorPirActivity::send_set_command", &corvaniot_network::sensor_status,
     kSensorSettings},
    {615, "ORVAN_UXClass::SensorDoorTwoActivity::send_set_command", &corvaniot_network::sensor_status,
     kSensorSettings},
};

}  // namespace

std::vector<SetCommandLine> SetCommandLines(const corvaniot_network& record) {
    std::vector<SetCommandLine> lines;
    for (const Page& page : kPages) {
        if (page.pageId != record.page_id) continue;
        const status_block& group = record.*page.group;
        for (const Setting& setting : page.settings) {
            const int32_t value = group.*setting.value;
            if (value == 0) lines.push_back({page.caller, setting.off});
            if (value == 1) lines.push_back({page.caller, setting.on});
        }
    }
    return lines;
}

}  // namespace ORVAN_UXClass
