#include "activity_table.h"

#include "DeviceDrmListActivity/DeviceDrmListActivity.h"
#include "WelcomeActivity/WelcomeActivity.h"

namespace ORVAN_UXClass {

namespace {

// One row per screen: {activity id, navigator slot, factory}.
constexpr ActivityEntry kActivities[] = {
    {kWelcomeActivityId, 1, &MakeWelcomeActivity},
    {kDeviceListActivityId, 2, &MakeActivity<DeviceDrmListActivity>},
};

}  // namespace

std::span<const ActivityEntry> ProductActivities() {
    return kActivities;
}

}  // namespace ORVAN_UXClass
