#include "activity_table.h"

#include "DeviceConnect/DeviceConnectActivity.h"
#include "DeviceConnect/DeviceConnectErrorActivity.h"
#include "DeviceConnect/DeviceSettingGetActivity.h"
#include "DeviceConnect/DeviceSettingSetActivity.h"
#include "DeviceDrmListActivity/DeviceDrmListActivity.h"
#include "LiveVideoActivity/LiveVideoActivity.h"
#include "SensorListActivity/SensorListActivity.h"
#include "WelcomeActivity/WelcomeActivity.h"

namespace ORVAN_UXClass {

namespace {

// One row per screen: {activity id, navigator slot, factory}.
constexpr ActivityEntry kActivities[] = {
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
