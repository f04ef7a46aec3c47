// A device as the scanner reports it: the row texts the finder shows, its web page, and the rest
// of its answer (types, service addresses, scopes, metadata version).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_rows/device_report.h"
#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace orvan_scan {

struct FoundDevice {
    ORVAN_UXClass::DeviceReport row;  // model, MAC, IP (address), name, location, endpoint
    std::string web_url;              // "https://" or "http://" by model, then the IP
    std::vector<std::string> types;
    std::vector<std::string> xaddrs;
    std::vector<std::string> scopes;
    int32_t metadata_version = 0;
    uint32_t ip_order = 0;  // the IP in host byte order, for sorting
    uint32_t arrival_if_addr = 0;  // this computer's interface address it answered on; 0: not known
    // False when this computer does not reach it directly (its page cannot load from here until it
    // is reached: --reach).
    bool reachable = true;
    // It answered a probe sent to its own address (--target): reached through this computer's routes.
    bool answered_unicast = false;
    // Devices that answered from this IP, this one included: more than 1 is an address conflict.
    size_t devices_at_ip = 1;
};

// A match or hello the finder would list (it carries scopes); nothing for anything else.
std::optional<FoundDevice> ReadFoundDevice(const drm_probe_device& record, int32_t kind);

// The space-separated items of a text, empty items dropped.
std::vector<std::string> SplitItems(std::string_view text);

}  // namespace orvan_scan
