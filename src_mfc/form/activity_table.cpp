#include "activity_table.h"

#include "WelcomeActivity/WelcomeActivity.h"

namespace ORVAN_UXClass {

namespace {

// One row per screen: {activity id, navigator slot, factory}.
constexpr ActivityEntry kActivities[] = {
    {kWelcomeActivityId, 1, &MakeWelcomeActivity},
};

}  // namespace

std::span<const ActivityEntry> ProductActivities() {
    return kActivities;
}

}  // namespace ORVAN_UXClass
