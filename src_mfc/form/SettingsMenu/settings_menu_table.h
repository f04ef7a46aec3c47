// The three device families' settings menus: they behave alike and differ only in id and background.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "ManagementScreen/table_lookup.h"

namespace ORVAN_UXClass {

struct SettingsMenuRow {
    int32_t id;
    std::string_view className;
    int32_t background;
};

inline constexpr std::array<SettingsMenuRow, 3> kSettingsMenus{{
    {1006, "DeviceSettingCmsIPCameraActivity", 2001},
    {1007, "DeviceSettingIPBoxIPCameraActivity", 2003},
    {1008, "DeviceSettingCmsIPBoxActivity", 2002},
}};

// The row of menu id, or null.
constexpr const SettingsMenuRow* FindSettingsMenu(int32_t id) {
    return FindRowById(kSettingsMenus, id);
}

}  // namespace ORVAN_UXClass
