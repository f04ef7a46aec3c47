// The devices found so far: one per IP address (the first answer from an address is kept, as in
// the finder), in address order, and gone again when they say Bye.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "device_target.h"
#include "found_device.h"

namespace orvan_scan {

class DeviceSet {
  public:
    // True when the device's IP was not listed yet (it is then listed).
    bool Add(const FoundDevice& device);
    // Removes every device announced under the endpoint address and returns them.
    std::vector<FoundDevice> RemoveEndpoint(std::string_view endpoint);
    // Every device, by IP address (numerically: 10.0.0.9 before 10.0.0.10).
    std::vector<FoundDevice> Sorted() const;
    size_t size() const { return devices_.size(); }
    // True when a listed device is the one the target names.
    bool Has(const DeviceTarget& target) const;

  private:
    std::map<uint32_t, FoundDevice> devices_;
};

}  // namespace orvan_scan
