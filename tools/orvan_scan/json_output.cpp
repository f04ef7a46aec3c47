#include <string>

#include "device_output.h"
#include "output_text.h"

namespace orvan_scan {

namespace {

std::string JsonList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += ",";
        out += JsonString(items[i]);
    }
    return out + "]";
}

}  // namespace

std::string JsonObject(const FoundDevice& device, std::string_view event) {
    const ORVAN_UXClass::DeviceReport& row = device.row;
    const std::string values[] = {JsonString(row.model),
                                  JsonString(row.mac),
                                  JsonString(row.address),
                                  JsonString(row.name),
                                  JsonString(row.location),
                                  JsonString(device.web_url),
                                  JsonString(row.endpoint),
                                  JsonList(device.types),
                                  JsonList(device.xaddrs),
                                  JsonList(device.scopes),
                                  std::to_string(device.metadata_version),
                                  std::string(BooleanText(device.reachable)),
                                  std::string(BooleanText(device.devices_at_ip > 1))};
    static_assert(std::size(values) == std::size(kFieldNames));
    std::string out = "{";
    if (!event.empty()) out += "\"event\":" + JsonString(event) + ",";
    for (size_t i = 0; i < std::size(values); ++i) {
        if (i > 0) out += ",";
        out += "\"" + std::string(kFieldNames[i]) + "\":" + values[i];
    }
    return out + "}";
}

std::string JsonArray(const std::vector<FoundDevice>& devices) {
    if (devices.empty()) return "[]\n";
    std::string out = "[\n";
    for (size_t i = 0; i < devices.size(); ++i) {
        out += "  " + JsonObject(devices[i]) + (i + 1 < devices.size() ? ",\n" : "\n");
    }
    return out + "]\n";
}

}  // namespace orvan_scan
