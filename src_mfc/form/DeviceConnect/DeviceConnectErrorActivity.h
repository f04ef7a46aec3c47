// The connect-error screen (activity 1004): says that the connection failed; Prev drops what is
// left of the connection and returns to the start screen.
#pragma once

#include "AppDelegate.h"
#include "DeviceConnect/service_screen.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

class DeviceConnectErrorActivity final : public ORVAN_UXViewController {
  public:
    DeviceConnectErrorActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                               AppDelegate* delegate);
    ~DeviceConnectErrorActivity() override;

    void OnBack() override;

    ORVAN_UXHolder<ORVAN_UXBitmap> background;
    ORVAN_UXHolder<ORVAN_UXButton> prevButton;
    ORVAN_UXHolder<ORVAN_UXLabel> errorLabel;
};

}  // namespace ORVAN_UXClass
