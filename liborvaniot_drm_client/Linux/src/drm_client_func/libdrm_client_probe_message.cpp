// Outgoing side of discovery: message ids and the probe text.
#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

// Mixed into the seed so that probes made within the same second get different ids.
std::atomic<uint32_t> uuid_calls{0};

// One line, no white space between markup; the datagram is exactly this text.
constexpr const char* kProbeTemplate =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Envelope xmlns:tds=\"http://" DRM_PROBE_VENDOR_AUTHORITY_TEXT
    "/ver10/device/wsdl\""
    " xmlns=\"http://www.w3.org/2003/05/soap-envelope\">"
    "<Header>"
    "<wsa:MessageID xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\">uuid:%s</wsa:MessageID>"
    "<wsa:To xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\">"
    "urn:schemas-xmlsoap-org:ws:2005:04:discovery</wsa:To>"
    "<wsa:Action xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\">"
    "http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe</wsa:Action>"
    "</Header>"
    "<Body>"
    "<Probe xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
    " xmlns=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\">"
    "<Types>tds:%s</Types>"
    "<Scopes />"
    "</Probe></Body></Envelope>";

}  // namespace

char* drm_probe_uuid_make(char* buffer) {
    if (buffer == nullptr) return nullptr;
    const uint32_t call = uuid_calls.fetch_add(1) + 1;
    liborvaniot_os_timeval now{};
    liborvaniot_os_gettimeofday(&now);
    std::srand(static_cast<unsigned>(now.tv_sec) + call);
    unsigned drawn[8];
    for (unsigned& value : drawn) value = static_cast<unsigned>(std::rand() % 65535);
    std::snprintf(buffer, DRM_PROBE_UUID_SIZE, "%04x%04x-%04x-%04x-%04x-%04x%04x%04x", drawn[7], drawn[6],
                  drawn[5], drawn[4], drawn[3], drawn[2], drawn[1], drawn[0]);
    return buffer;
}

int32_t drm_probe_text_format(char* buffer, size_t size, const char* uuid) {
    if (buffer == nullptr || size == 0 || uuid == nullptr) return -1;
    int length = std::snprintf(buffer, size, kProbeTemplate, uuid, "Device");
    if (length < 0 || static_cast<size_t>(length) >= size) return -1;
    return length;
}
