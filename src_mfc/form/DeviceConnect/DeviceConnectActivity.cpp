#include "DeviceConnect/DeviceConnectActivity.h"

namespace ORVAN_UXClass {

DeviceConnectActivity::DeviceConnectActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                             AppDelegate* delegate)
    : CountdownScreen(view, objectList, delegate) {}

ReadinessWords DeviceConnectActivity::Readiness() const {
    return {linkConditions[3], linkConditions[4], linkConditions[5]};
}

void DeviceConnectActivity::ResetProgress() {
    linkConditions.fill(-1);
}

}  // namespace ORVAN_UXClass
