// The device --open names: by its IP address or by its MAC (any letter case, with ':' or '-'
// between the pairs, or none).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "found_device.h"

namespace orvan_scan {

struct DeviceTarget {
    std::string ip;   // dotted decimal, or empty
    std::string mac;  // "AA:BB:CC:DD:EE:FF", or empty
};

std::optional<DeviceTarget> ParseDeviceTarget(std::string_view text);

bool Matches(const DeviceTarget& target, const FoundDevice& device);

}  // namespace orvan_scan
