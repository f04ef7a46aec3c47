// Discovered-device records as the probe client hands them over, for the scanner's tests.
#pragma once

#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

#include <cstring>
#include <initializer_list>
#include <string>

#include "found_device.h"

namespace scan_test {

inline const std::string kScope = "drm://www.orvan-iot.example/";

struct Answer {
    std::string ip = "10.0.0.9";
    std::string model = "SIM-CAM100";  // percent-encoded as the device sends it
    std::string name = "cam";
    std::string location = "lab";
    std::string endpoint = "urn:uuid:5d1b9c36-0f5e-4c1e-9a7b-0a1b2c3d4e5f";
    std::string types = "dn:NetworkVideoTransmitter tds:Device";
    std::string xaddrs = "http://10.0.0.9/device/service";
    int32_t metadata_version = 2;
};

inline void CopyText(char* out, size_t size, const std::string& text) {
    std::strncpy(out, text.c_str(), size - 1);
    out[size - 1] = '\0';
}

inline drm_probe_device Record(const Answer& a) {
    drm_probe_device record{};
    record.sender.sin_family = AF_INET;
    record.sender.sin_addr.s_addr = inet_addr(a.ip.c_str());
    record.device_type = DRM_PROBE_TYPE_TRANSMITTER;
    CopyText(record.endpoint_address, sizeof record.endpoint_address, a.endpoint);
    for (const std::string& scope :
         {kScope + "hardware/" + a.model, kScope + "name/" + a.name, kScope + "location/" + a.location}) {
        CopyText(record.scopes[record.scope_count++], DRM_PROBE_SCOPE_SIZE, scope);
    }
    CopyText(record.types, sizeof record.types, a.types);
    CopyText(record.xaddrs, sizeof record.xaddrs, a.xaddrs);
    record.metadata_version = a.metadata_version;
    return record;
}

inline orvan_scan::FoundDevice Device(const Answer& a) {
    return *orvan_scan::ReadFoundDevice(Record(a), DRM_PROBE_REPORT_MATCH);
}

}  // namespace scan_test
