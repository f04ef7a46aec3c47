// What one discovery report gives the device list: the device's address, the values of its scopes
// and the MAC text taken from its endpoint address, read defensively from the record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace ORVAN_UXClass {

struct DeviceReport {
    std::string address;  // "%d.%d.%d.%d" of the sender
    std::string manufacturer;
    std::string model;  // "Unknown" when no hardware scope was given
    std::string location;
    std::string name;
    std::string endpoint;  // the endpoint address, at most 99 characters
    std::string mac;
};

inline constexpr char kUnknownModel[] = "Unknown";

// A match or hello that carries at least one scope; nothing for a bye or a report without scopes.
std::optional<DeviceReport> ReadDeviceReport(const drm_probe_device& record, int32_t kind);

// The four address bytes in network order, as "%d.%d.%d.%d".
std::string AddressText(const sockaddr_in& sender);

// Characters 33 to 44 of the endpoint address in six colon-separated pairs, a to z upper-cased:
// for "urn:uuid:" and a uuid, the uuid's last twelve digits. A shorter address gives a shorter
// text, cut where its characters end.
std::string MacText(std::string_view endpoint);

}  // namespace ORVAN_UXClass
