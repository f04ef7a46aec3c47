// The three device families' settings menus: they behave alike and differ only in id and background.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

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
    for (const SettingsMenuRow& row : kSettingsMenus) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

}  // namespace ORVAN_UXClass
