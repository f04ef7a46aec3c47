#include "device_rows/device_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace ORVAN_UXClass {

namespace {

constexpr size_t kMacFirst = 33;
constexpr size_t kMacPairs = 6;

// A fixed text field of the record, up to its NUL or its end: the record arrives from the network
// layer and is read without trusting that every field is terminated.
std::string_view Field(const char* text, size_t capacity) {
    return std::string_view(text, strnlen(text, capacity));
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string AddressText(const sockaddr_in& sender) {
    unsigned char bytes[4];
    std::memcpy(bytes, &sender.sin_addr, sizeof bytes);
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

std::string MacText(std::string_view endpoint) {
    std::string mac;
    for (size_t pair = 0; pair < kMacPairs; ++pair) {
        const size_t at = kMacFirst + 2 * pair;
        if (at >= endpoint.size()) break;
        if (pair > 0) mac += ':';
        mac += Upper(endpoint[at]);
        if (at + 1 >= endpoint.size()) break;
        mac += Upper(endpoint[at + 1]);
    }
    return mac;
}

std::optional<DeviceReport> ReadDeviceReport(const drm_probe_device& record, int32_t kind) {
    if (kind != DRM_PROBE_REPORT_MATCH && kind != DRM_PROBE_REPORT_HELLO) return std::nullopt;
    const int32_t scopes = std::clamp(record.scope_count, 0, DRM_PROBE_MAX_SCOPES);
    if (scopes < 1) return std::nullopt;

    char model[DRM_PROBE_SCOPE_VALUE_SIZE] = "";
    char location[DRM_PROBE_SCOPE_VALUE_SIZE] = "";
    char manufacturer[DRM_PROBE_SCOPE_VALUE_SIZE] = "";
    char name[DRM_PROBE_SCOPE_VALUE_SIZE] = "";
    for (int32_t i = 0; i < scopes; ++i) {
        std::array<char, DRM_PROBE_SCOPE_SIZE + 1> scope{};
        const std::string_view text = Field(record.scopes[i], DRM_PROBE_SCOPE_SIZE);
        std::copy(text.begin(), text.end(), scope.begin());
        // A later scope of the same kind replaces an earlier one.
        if (drm_probe_scope_value(model, scope.data(), DRM_PROBE_SCOPE_HARDWARE) != 0 &&
            drm_probe_scope_value(location, scope.data(), DRM_PROBE_SCOPE_LOCATION) != 0 &&
            drm_probe_scope_value(manufacturer, scope.data(), DRM_PROBE_SCOPE_MANUFACTURER) != 0) {
            drm_probe_scope_value(name, scope.data(), DRM_PROBE_SCOPE_NAME);
        }
    }

    DeviceReport report;
    report.address = AddressText(record.sender);
    report.manufacturer = manufacturer;
    report.model = model[0] != '\0' ? model : kUnknownModel;
    report.location = location;
    report.name = name;
    report.endpoint = std::string(Field(record.endpoint_address, DRM_PROBE_ENDPOINT_SIZE - 1));
    report.mac = MacText(report.endpoint);
    return report;
}

}  // namespace ORVAN_UXClass
