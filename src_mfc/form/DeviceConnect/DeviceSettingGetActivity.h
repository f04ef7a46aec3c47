// The settings-read screen (activity 1009): waits for the link, reads the settings of the record's
// page, then opens the navigator's pending screen; gives up on the connect-error screen.
#pragma once

#include <cstdint>

#include "DeviceConnect/setting_transfer_screen.h"

namespace ORVAN_UXClass {

class DeviceSettingGetActivity final : public SettingTransferScreen {
  public:
    DeviceSettingGetActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                             AppDelegate* delegate);

    // -1 before the first read, 0 when the page's settings could not be read, 1 once they were.
    int32_t received = -1;

  protected:
    ReadinessWords Readiness() const override;
    // Only option pages can be read; every other page is read again on the next step.
    void Progress() override;
    void ResetProgress() override;
};

}  // namespace ORVAN_UXClass
