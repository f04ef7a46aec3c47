// One device of the device list: what the list keeps of a device after its row was added.
#pragma once

#include <cstdint>
#include <string>

namespace ORVAN_UXClass {

struct DeviceEntry {
    std::string address;  // the sender's IPv4 address, dotted decimal: the device's identity
    std::wstring model;   // the hardware scope value, or "Unknown"
    // The address of this computer's interface its answer came in on (network byte order); 0 when
    // not known.
    uint32_t arrivalIfAddr = 0;
    // It answered a probe sent to its own address: the routes that brought the answer carry its page.
    bool answeredUnicast = false;
};

}  // namespace ORVAN_UXClass
