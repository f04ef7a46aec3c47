// What a row's menu offers for one device, and below the rows for the list itself: the items, the
// text each copy item puts on the clipboard, and the page Web GUI opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DeviceDrmListActivity/device_list_order.h"
#include "device_rows/DeviceEntry.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

// The items of a row's menu.
enum DeviceMenuCommand : uint32_t {
    kMenuOpenWebGui = 1,
    kMenuCopyIp = 2,
    kMenuCopyMac = 3,
    kMenuCopyRow = 4,
    kMenuCopyDevicesAtAddress = 5,  // offered when more than one device answers from the row's address
    kMenuScanAddresses = 6,         // the addresses every Scan also probes one by one
};

// Open, the three copies, the devices at the row's address when devicesHere counts more than its
// own, and "Scan addresses..." when offered.
std::vector<orvan::wnd::MenuItem> RowMenuItems(size_t devicesHere, bool offersScanAddresses);
// Below the rows, or in an empty list: what can be asked of the list itself.
std::vector<orvan::wnd::MenuItem> ListMenuItems();

// Every device answering from the row's address as "MAC<tab>model<tab>name" lines, the row's own
// first, then others (the rest); empty when no other device answers from there.
std::vector<std::wstring> DevicesAtRow(const RowTexts& texts, std::vector<std::wstring> others);

// What a copy item puts on the clipboard for a row reading texts (devicesHere as DevicesAtRow gave
// them); nothing for an item that copies nothing.
std::optional<std::wstring> RowMenuCopyText(uint32_t command, const RowTexts& texts,
                                            const std::vector<std::wstring>& devicesHere);

// The device's page: https:// for models that serve it only over TLS, http:// for the others.
std::string DeviceUrl(const DeviceEntry& entry);

}  // namespace ORVAN_UXClass
