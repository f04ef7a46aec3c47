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
    SettingsMenu(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate,
                 const SettingsMenuRow& row);
    ~SettingsMenu() override;

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

template <int32_t Id>
class SettingsMenuActivity final : public SettingsMenu {
    static_assert(FindSettingsMenu(Id) != nullptr, "no settings menu has this id");

  public:
    SettingsMenuActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate)
        : SettingsMenu(view, objectList, delegate, *FindSettingsMenu(Id)) {}
    static constexpr bool NamedAs(std::string_view name) { return FindSettingsMenu(Id)->className == name; }
};

ORVAN_TABLE_SCREEN(SettingsMenuActivity, DeviceSettingCmsIPCameraActivity, 1006);
ORVAN_TABLE_SCREEN(SettingsMenuActivity, DeviceSettingIPBoxIPCameraActivity, 1007);
ORVAN_TABLE_SCREEN(SettingsMenuActivity, DeviceSettingCmsIPBoxActivity, 1008);

}  // namespace ORVAN_UXClass
