// The devices found so far: one per IP address and endpoint (two devices on one address are both
// listed, each knowing of the other), in address order, and gone again when they say Bye.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device_target.h"
#include "found_device.h"

namespace orvan_scan {

class DeviceSet {
  public:
    // True when no device of that IP and endpoint was listed yet (it is then listed).
    bool Add(const FoundDevice& device);
    // Devices listed at the IP (host byte order).
    size_t CountAt(uint32_t ip_order) const;
    // Removes every device announced under the endpoint address and returns them.
    std::vector<FoundDevice> RemoveEndpoint(std::string_view endpoint);
    // Every device, by IP address (numerically: 10.0.0.9 before 10.0.0.10), each with the number
    // of devices at its IP.
    std::vector<FoundDevice> Sorted() const;
    size_t size() const { return devices_.size(); }
    // True when a listed device is the one the target names.
    bool Has(const DeviceTarget& target) const;

  private:
    std::map<std::pair<uint32_t, std::string>, FoundDevice> devices_;
};

}  // namespace orvan_scan
