#include <string>

#include "device_output.h"
#include "output_text.h"

namespace orvan_scan {

namespace {

constexpr std::string_view kRecordEnd = "\r\n";

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) out += (i > 0 ? " " : "") + items[i];
    return out;
}

}  // namespace

std::string CsvText(const std::vector<FoundDevice>& devices) {
    std::string out;
    for (size_t i = 0; i < std::size(kFieldNames); ++i)
        out += (i > 0 ? "," : "") + std::string(kFieldNames[i]);
    out += kRecordEnd;
    for (const FoundDevice& device : devices) {
        const ORVAN_UXClass::DeviceReport& row = device.row;
        const std::string values[] = {row.model,
                                      row.mac,
                                      row.address,
                                      row.name,
                                      row.location,
                                      device.web_url,
                                      row.endpoint,
                                      Joined(device.types),
                                      Joined(device.xaddrs),
                                      Joined(device.scopes),
                                      std::to_string(device.metadata_version),
                                      std::string(BooleanText(device.reachable)),
                                      std::string(BooleanText(device.devices_at_ip > 1))};
        static_assert(std::size(values) == std::size(kFieldNames));
        for (size_t i = 0; i < std::size(values); ++i) out += (i > 0 ? "," : "") + CsvField(values[i]);
        out += kRecordEnd;
    }
    return out;
}

}  // namespace orvan_scan
