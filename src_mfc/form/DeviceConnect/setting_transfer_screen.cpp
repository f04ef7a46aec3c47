#include "DeviceConnect/setting_transfer_screen.h"

#include "DeviceConnect/service_screen.h"

namespace ORVAN_UXClass {

SettingTransferScreen::SettingTransferScreen(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                             AppDelegate* delegate)
    : CountdownScreen(view, objectList, delegate) {}

int32_t SettingTransferScreen::PrevTarget() {
    if (delegate->return_activity_id == 0) return delegate->home_activity_id;
    delegate->pending_activity_id = delegate->return_activity_id;
    return kDeviceConnectActivityId;
}

}  // namespace ORVAN_UXClass
