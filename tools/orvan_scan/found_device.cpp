#include "found_device.h"

#include <algorithm>
#include <cstring>

#include "device_rows/SecureWebModelList.h"
#include "device_rows/local_text.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace orvan_scan {

namespace {

// A fixed text field of the record, up to its NUL or its end.
std::string_view Field(const char* text, size_t capacity) {
    return std::string_view(text, strnlen(text, capacity));
}

}  // namespace

std::vector<std::string> SplitItems(std::string_view text) {
    std::vector<std::string> items;
    size_t pos = 0;
    while ((pos = text.find_first_not_of(' ', pos)) != std::string_view::npos) {
        const size_t end = std::min(text.find(' ', pos), text.size());
        items.emplace_back(text.substr(pos, end - pos));
        pos = end;
    }
    return items;
}

std::optional<FoundDevice> ReadFoundDevice(const drm_probe_device& record, int32_t kind) {
    std::optional<ORVAN_UXClass::DeviceReport> row = ORVAN_UXClass::ReadDeviceReport(record, kind);
    if (!row) return std::nullopt;
    FoundDevice device;
    device.row = std::move(*row);
    const bool secure = ORVAN_UXClass::IsSecureWebModel(ORVAN_UXClass::WideFromLocal(device.row.model));
    device.web_url = (secure ? "https://" : "http://") + device.row.address;
    device.types = SplitItems(Field(record.types, sizeof record.types));
    device.xaddrs = SplitItems(Field(record.xaddrs, sizeof record.xaddrs));
    const int32_t scopes = std::clamp(record.scope_count, 0, DRM_PROBE_MAX_SCOPES);
    for (int32_t i = 0; i < scopes; ++i) {
        device.scopes.emplace_back(Field(record.scopes[i], DRM_PROBE_SCOPE_SIZE));
    }
    device.metadata_version = record.metadata_version;
    device.ip_order = ntohl(record.sender.sin_addr.s_addr);
    device.arrival_if_addr = record.arrival_if_addr;
    device.answered_unicast = record.answered_unicast != 0;
    return device;
}

}  // namespace orvan_scan
