#include "activity_table.h"

#include "DeviceConnect/DeviceConnectActivity.h"
#include "DeviceConnect/DeviceConnectErrorActivity.h"
#include "DeviceConnect/DeviceSettingGetActivity.h"
#include "DeviceConnect/DeviceSettingSetActivity.h"
#include "DeviceDrmListActivity/DeviceDrmListActivity.h"
#include "GpioPage/RpiGpioActivity.h"
#include "OptionPage/OptionPage.h"
#include "SettingsMenu/SettingsMenu.h"
#include "LiveVideoActivity/LiveVideoActivity.h"
#include "SensorListActivity/SensorListActivity.h"
#include "StatusPage/StatusPage.h"
#include "WelcomeActivity/WelcomeActivity.h"

namespace ORVAN_UXClass {

namespace {

// One row per screen: {activity id, navigator slot, factory}.
constexpr ActivityEntry kActivities[] = {
    // Device settings: the three families' menus, then each family's option pages.
    {1006, 6, &MakeActivity<DeviceSettingCmsIPCameraActivity>},
    {1007, 7, &MakeActivity<DeviceSettingIPBoxIPCameraActivity>},
    {1008, 8, &MakeActivity<DeviceSettingCmsIPBoxActivity>},
    {100, 11, &MakeActivity<OptionCmsIPCameraMdModeActivity>},
    {101, 12, &MakeActivity<OptionCmsIPCameraMdActivity>},
    {102, 13, &MakeActivity<OptionCmsIPCameraUploadActivity>},
    {103, 14, &MakeActivity<OptionCmsIPCameraVideoActivity>},
    {104, 15, &MakeActivity<OptionCmsIPCameraAccountActivity>},
    {105, 16, &MakeActivity<OptionCmsIPCameraNetworkActivity>},
    {106, 17, &MakeActivity<OptionCmsIPCameraResetActivity>},
    {107, 18, &MakeActivity<OptionCmsIPCameraElectricFenceActivity>},
    {108, 19, &MakeActivity<OptionCmsIPCameraVideoGuardActivity>},
    {109, 20, &MakeActivity<OptionCmsIPCameraFaceDetectModeActivity>},
    {110, 21, &MakeActivity<OptionCmsIPCameraFaceDetectActivity>},
    {111, 22, &MakeActivity<OptionCmsIPCameraUpdateFWActivity>},
    {112, 23, &MakeActivity<OptionCmsIPCameraGatewayGuardActivity>},
    {200, 24, &MakeActivity<OptionCmsIPBoxMdModeActivity>},
    {201, 25, &MakeActivity<OptionCmsIPBoxMdActivity>},
    {202, 26, &MakeActivity<OptionCmsIPBoxUploadActivity>},
    {203, 27, &MakeActivity<OptionCmsIPBoxVideoActivity>},
    {204, 28, &MakeActivity<OptionCmsIPBoxAccountActivity>},
    {205, 29, &MakeActivity<OptionCmsIPBoxNetworkActivity>},
    {206, 30, &MakeActivity<OptionCmsIPBoxResetActivity>},
    {207, 31, &MakeActivity<OptionCmsIPBoxElectricFenceActivity>},
    {208, 32, &MakeActivity<OptionCmsIPBoxVideoGuardActivity>},
    {209, 33, &MakeActivity<OptionCmsIPBoxFaceDetectModeActivity>},
    {210, 34, &MakeActivity<OptionCmsIPBoxFaceDetectActivity>},
    {211, 35, &MakeActivity<OptionCmsIPBoxUpdateFWActivity>},
    {212, 36, &MakeActivity<OptionCmsIPBoxGatewayGuardActivity>},
    {300, 37, &MakeActivity<OptionIPBoxIPCameraMdModeActivity>},
    {301, 38, &MakeActivity<OptionIPBoxIPCameraMdActivity>},
    {302, 39, &MakeActivity<OptionIPBoxIPCameraUploadActivity>},
    {303, 40, &MakeActivity<OptionIPBoxIPCameraVideoActivity>},
    {304, 41, &MakeActivity<OptionIPBoxIPCameraAccountActivity>},
    {305, 42, &MakeActivity<OptionIPBoxIPCameraNetworkActivity>},
    {306, 43, &MakeActivity<OptionIPBoxIPCameraResetActivity>},
    {307, 44, &MakeActivity<OptionIPBoxIPCameraElectricFenceActivity>},
    {308, 45, &MakeActivity<OptionIPBoxIPCameraVideoGuardActivity>},
    {309, 46, &MakeActivity<OptionIPBoxIPCameraFaceDetectModeActivity>},
    {310, 47, &MakeActivity<OptionIPBoxIPCameraFaceDetectActivity>},
    {311, 48, &MakeActivity<OptionIPBoxIPCameraUpdateFWActivity>},
    {312, 49, &MakeActivity<OptionIPBoxIPCameraGatewayGuardActivity>},
    // Sensor status pages and the GPIO page.
    {607, 51, &MakeActivity<SensorRmctrlActivity>},
    {615, 52, &MakeActivity<SensorDoorTwoActivity>},
    {604, 53, &MakeActivity<SensorPirActivity>},
    {505, 54, &MakeActivity<SensorSirenActivity>},
    {701, 55, &MakeActivity<RpiGpioActivity>},
    {kWelcomeActivityId, 1, &MakeWelcomeActivity},
    {kDeviceListActivityId, 2, &MakeActivity<DeviceDrmListActivity>},
    {kDeviceConnectActivityId, 3, &MakeActivity<DeviceConnectActivity>},
    {kDeviceConnectErrorActivityId, 4, &MakeActivity<DeviceConnectErrorActivity>},
    {kLiveVideoActivityId, 5, &MakeActivity<LiveVideoActivity>},
    {kDeviceSettingGetActivityId, 9, &MakeActivity<DeviceSettingGetActivity>},
    {kDeviceSettingSetActivityId, 10, &MakeActivity<DeviceSettingSetActivity>},
    {kSensorListActivityId, 50, &MakeActivity<SensorListActivity>},
};

}  // namespace

std::span<const ActivityEntry> ProductActivities() {
    return kActivities;
}

}  // namespace ORVAN_UXClass
