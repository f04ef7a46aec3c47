#include "DeviceDrmListActivity/device_row_menu.h"

#include <utility>

#include "device_rows/SecureWebModelList.h"
#include "device_rows/row_text.h"

namespace ORVAN_UXClass {

namespace {

const orvan::wnd::MenuItem kScanAddressesItem{kMenuScanAddresses, L"Scan addresses..."};

}  // namespace

std::vector<orvan::wnd::MenuItem> RowMenuItems(size_t devicesHere, bool offersScanAddresses) {
    std::vector<orvan::wnd::MenuItem> items{{kMenuOpenWebGui, L"Open Web GUI"},
                                            {kMenuCopyIp, L"Copy IP address"},
                                            {kMenuCopyMac, L"Copy MAC address"},
                                            {kMenuCopyRow, L"Copy row"}};
    if (devicesHere > 1) {
        items.push_back({kMenuCopyDevicesAtAddress, L"Copy the " + std::to_wstring(devicesHere) + L" devices at this address"});
    }
    if (offersScanAddresses) items.push_back(kScanAddressesItem);
    return items;
}

std::vector<orvan::wnd::MenuItem> ListMenuItems() {
    return {kScanAddressesItem};
}

std::vector<std::wstring> DevicesAtRow(const RowTexts& texts, std::vector<std::wstring> others) {
    if (others.empty()) return others;
    others.insert(others.begin(), texts[kMacColumn] + L"\t" + texts[kModelColumn] + L"\t" + texts[kNameColumn]);
    return others;
}

std::optional<std::wstring> RowMenuCopyText(uint32_t command, const RowTexts& texts,
                                            const std::vector<std::wstring>& devicesHere) {
    switch (command) {
        case kMenuCopyIp:
            return texts[kIpColumn];
        case kMenuCopyMac:
            return texts[kMacColumn];
        case kMenuCopyRow:
            return TabSeparatedRow(texts);
        case kMenuCopyDevicesAtAddress: {
            std::wstring lines;
            for (const std::wstring& line : devicesHere) lines += line + L"\n";
            return lines;
        }
        default:
            return std::nullopt;
    }
}

std::string DeviceUrl(const DeviceEntry& entry) {
    return (IsSecureWebModel(entry) ? "https://" : "http://") + entry.address;
}

}  // namespace ORVAN_UXClass
