#include "device_set.h"

namespace orvan_scan {

bool DeviceSet::Add(const FoundDevice& device) {
    return devices_.try_emplace({device.ip_order, device.row.endpoint}, device).second;
}

size_t DeviceSet::CountAt(uint32_t ip_order) const {
    const auto first = devices_.lower_bound({ip_order, std::string()});
    size_t count = 0;
    for (auto it = first; it != devices_.end() && it->first.first == ip_order; ++it) ++count;
    return count;
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
    for (const auto& [key, device] : devices_) {
        if (Matches(target, device)) return true;
    }
    return false;
}

std::vector<FoundDevice> DeviceSet::Sorted() const {
    std::vector<FoundDevice> sorted;
    sorted.reserve(devices_.size());
    for (const auto& [key, device] : devices_) sorted.push_back(device);
    for (size_t first = 0; first < sorted.size();) {
        size_t end = first;
        while (end < sorted.size() && sorted[end].ip_order == sorted[first].ip_order) ++end;
        for (size_t i = first; i < end; ++i) sorted[i].devices_at_ip = end - first;
        first = end;
    }
    return sorted;
}

}  // namespace orvan_scan
