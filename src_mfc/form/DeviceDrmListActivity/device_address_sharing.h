// Devices answering from an address another device's row already holds (two cameras fresh out of
// the box on one default address): the list keeps one row per address, and these are what it says
// about the others - how many, and who they are - until they say Bye or a Scan starts over.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "device_rows/device_report.h"

namespace ORVAN_UXClass {

class AddressSharing {
  public:
    // True when the device (by endpoint) is one of the others at address.
    bool Holds(const std::string& address, std::string_view endpoint) const;
    // Notes the device as one more at its address.
    void Add(const DeviceReport& device);
    // A Bye: the device is no longer one of the others. True when it was.
    bool Remove(const std::string& endpoint);
    // The others at address as "MAC<tab>model<tab>name" lines, in endpoint order.
    std::vector<std::wstring> LinesAt(const std::string& address) const;
    // The others at every address together.
    size_t Count() const { return count_; }
    void Clear();

  private:
    struct Other {
        std::string mac;
        std::string model;
        std::string name;
    };
    std::unordered_map<std::string, std::map<std::string, Other, std::less<>>> byAddress_;
    size_t count_ = 0;
};

}  // namespace ORVAN_UXClass
