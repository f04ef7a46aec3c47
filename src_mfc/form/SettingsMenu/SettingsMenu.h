// A device family's settings menu (1006, 1007, 1008): background and Prev, nothing else. While it
// is current it keeps a one-second idle timer running; Prev drops the connection and returns to
// the start screen.
#pragma once

#include <cstdint>
#include <string_view>

#include "ManagementScreen/ManagementScreen.h"
#include "ManagementScreen/screen_class.h"
#include "SettingsMenu/settings_menu_table.h"

namespace ORVAN_UXClass {

// One tick of an idle screen: re-arm countdown timer 1000 at one second (the first tick comes at
// once, so from then on it beats once a second).
void IdleTimerStep(orvan::wnd::Window* view);

class SettingsMenu : public ManagementScreen {
  public:
    // id must be a settings menu's.
    SettingsMenu(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate,
                 int32_t id);
    ~SettingsMenu() override;

    static constexpr bool NamedAs(int32_t id, std::string_view name) {
        return RowNamed(kSettingsMenus, id, name);
    }

    void OnTimer(uint32_t timerId) override;
    void OnActivate() override;
    void OnDeactivate() override;
    void OnBack() override;

    const SettingsMenuRow& row;
    // The step timer 1000 runs, while it is armed.
    void (*timerStep)(orvan::wnd::Window* view) = nullptr;

  private:
    void StopTimer();
};

ORVAN_TABLE_SCREEN(SettingsMenu, DeviceSettingCmsIPCameraActivity, 1006);
ORVAN_TABLE_SCREEN(SettingsMenu, DeviceSettingIPBoxIPCameraActivity, 1007);
ORVAN_TABLE_SCREEN(SettingsMenu, DeviceSettingCmsIPBoxActivity, 1008);

}  // namespace ORVAN_UXClass
