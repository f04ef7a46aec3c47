#include "device_set.h"

namespace orvan_scan {

bool DeviceSet::Add(const FoundDevice& device) {
    return devices_.try_emplace(device.ip_order, device).second;
}

std::vector<FoundDevice> DeviceSet::RemoveEndpoint(std::string_view endpoint) {
    std::vector<FoundDevice> removed;
    if (endpoint.empty()) return removed;
    for (auto it = devices_.begin(); it != devices_.end();) {
        if (it->second.row.endpoint == endpoint) {
            removed.push_back(std::move(it->second));
            it = devices_.erase(it);
        } else {
            ++it;
        }
    }
    return removed;
}

bool DeviceSet::Has(const DeviceTarget& target) const {
    for (const auto& [ip, device] : devices_) {
        if (Matches(target, device)) return true;
    }
    return false;
}

std::vector<FoundDevice> DeviceSet::Sorted() const {
    std::vector<FoundDevice> sorted;
    sorted.reserve(devices_.size());
    for (const auto& [ip, device] : devices_) sorted.push_back(device);
    return sorted;
}

}  // namespace orvan_scan
