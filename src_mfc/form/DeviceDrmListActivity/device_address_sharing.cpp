#include "DeviceDrmListActivity/device_address_sharing.h"

#include "device_rows/local_text.h"

namespace ORVAN_UXClass {

bool AddressSharing::Holds(const std::string& address, std::string_view endpoint) const {
    const auto found = byAddress_.find(address);
    return found != byAddress_.end() && found->second.find(endpoint) != found->second.end();
}

void AddressSharing::Add(const DeviceReport& device) {
    if (byAddress_[device.address].insert_or_assign(device.endpoint, Other{device.mac, device.model, device.name}).second) {
        ++count_;
    }
}

bool AddressSharing::Remove(const std::string& endpoint) {
    for (auto at = byAddress_.begin(); at != byAddress_.end(); ++at) {
        if (at->second.erase(endpoint) == 0) continue;
        --count_;
        if (at->second.empty()) byAddress_.erase(at);
        return true;
    }
    return false;
}

std::vector<std::wstring> AddressSharing::LinesAt(const std::string& address) const {
    std::vector<std::wstring> lines;
    const auto found = byAddress_.find(address);
    if (found == byAddress_.end()) return lines;
    for (const auto& [endpoint, other] : found->second) {
        lines.push_back(WideFromLocal(other.mac) + L"\t" + WideFromLocal(other.model) + L"\t" + WideFromLocal(other.name));
    }
    return lines;
}

void AddressSharing::Clear() {
    byAddress_.clear();
    count_ = 0;
}

}  // namespace ORVAN_UXClass
