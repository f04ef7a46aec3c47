// One device of the device list: what the list keeps of a device after its row was added.
#pragma once

#include <string>

namespace ORVAN_UXClass {

struct DeviceEntry {
    std::string address;  // the sender's IPv4 address, dotted decimal: the device's identity
    std::wstring model;   // the hardware scope value, or "Unknown"
};

}  // namespace ORVAN_UXClass
