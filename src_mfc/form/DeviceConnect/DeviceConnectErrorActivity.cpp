#include "DeviceConnect/DeviceConnectErrorActivity.h"

#include "DeviceConnect/service_screen.h"
#include "orvan_ux/ux_messages.h"

namespace ORVAN_UXClass {

DeviceConnectErrorActivity::DeviceConnectErrorActivity(orvan::wnd::Window* view,
                                                       ORVAN_UXObjectjList* objectList, AppDelegate* delegate)
    : ORVAN_UXViewController(view, objectList, delegate) {
    AddServiceScreenFrame(this, background, prevButton);
    objectList->AddLabel(this, errorLabel, ServiceColumnLabelDesc(*prevButton, 0, L"ConnectError"));
}

DeviceConnectErrorActivity::~DeviceConnectErrorActivity() {
    objectList->RemoveAll();
    errorLabel.Reset();
    prevButton.Reset();
    background.Reset();
}

void DeviceConnectErrorActivity::OnBack() {
    if (corvaniot_network* record = delegate->device.get()) drop_connection(record);
    view->PostMessage(MSG_ACTIVITY_NAVIGATE, RequesterParam(this), delegate->home_activity_id);
}

}  // namespace ORVAN_UXClass
