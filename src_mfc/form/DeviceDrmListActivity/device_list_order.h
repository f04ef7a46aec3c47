// The order of the device list's rows: arrival order until a column heading is clicked, then by
// that column (the IP column by address value, the others by text regardless of letter case),
// reversed by a second click on the same heading.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ORVAN_UXClass {

inline constexpr int32_t kDeviceListColumns = 5;
inline constexpr int32_t kModelColumn = 0;
inline constexpr int32_t kMacColumn = 1;
inline constexpr int32_t kIpColumn = 2;
inline constexpr int32_t kNameColumn = 3;

// Model, MAC, IP, System Name, Location, as the row shows them.
using RowTexts = std::array<std::wstring, kDeviceListColumns>;

struct DeviceListOrder {
    int32_t column = -1;  // -1: the order in which devices arrived
    bool ascending = true;

    // The order after a click on column's heading.
    DeviceListOrder Clicked(int32_t clicked) const;
};

// True when row a goes before row b; never in arrival order, so new rows go last.
bool RowBefore(const RowTexts& a, const RowTexts& b, const DeviceListOrder& order);

}  // namespace ORVAN_UXClass
