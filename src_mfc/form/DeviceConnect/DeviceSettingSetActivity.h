// The settings-write screen (activity 1010): waits for the link, then writes the record's page in
// three stages (the first sends the page's command lines), then opens the navigator's pending
// screen; gives up on the connect-error screen.
#pragma once

#include <cstdint>

#include "DeviceConnect/setting_transfer_screen.h"

namespace ORVAN_UXClass {

class DeviceSettingSetActivity final : public SettingTransferScreen {
  public:
    DeviceSettingSetActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                             AppDelegate* delegate);

    // Writes the command lines of the record's page to the debug output (nothing without a record).
    void send_set_command();

    // Each stage: -1 not tried yet, 0 tried and not done, 1 done. A stage is tried only once the
    // one before it is done.
    int32_t stage1Done = -1;
    // Steps spent in stage 1, 0 to 100 and round again; the lines are sent whenever it reads 0.
    int32_t stage1Counter = 0;
    int32_t stage2Done = -1;
    int32_t stage3Done = -1;

  protected:
    ReadinessWords Readiness() const override;
    // Works on the first stage that is not done.
    void Progress() override;
    void ResetProgress() override;
};

}  // namespace ORVAN_UXClass
