// Incoming side of discovery: reads ProbeMatches, Hello and Bye trees into the discovered-device
// record and hands each report to the registered receiver. Element names are matched ignoring
// prefix and letter case; namespace URIs are never compared.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"

namespace {

drm_probe_registration registration;

const char* text_of(const drm_xml_node* node) {
    return node != nullptr && node->text != nullptr ? node->text : nullptr;
}

// Copies at most size - 1 characters and always terminates.
void copy_cut(char* out, size_t size, std::string_view text) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// EndpointReference/Address of a ProbeMatch, Hello or Bye: true when it had text.
bool copy_endpoint(const drm_xml_node* parent, drm_probe_device* record) {
    const drm_xml_node* address =
        drm_xml_node_child(drm_xml_node_child(parent, "EndpointReference"), "Address");
    const char* text = text_of(address);
    if (text == nullptr) return false;
    copy_cut(record->endpoint_address, sizeof record->endpoint_address, text);
    return true;
}

// atoi without its undefined overflow: out-of-range values saturate.
int32_t metadata_version_of(const char* text) {
    long long value = std::strtoll(text, nullptr, 10);
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

void report(drm_probe_device* record, int32_t kind) {
    drm_probe_callback callback = registration.callback.load(std::memory_order_acquire);
    if (callback == nullptr) return;
    callback(record, kind, registration.add_entry.load(std::memory_order_acquire),
             registration.user_data.load(std::memory_order_acquire));
}

struct type_name {
    const char* item;
    int32_t type;
};

constexpr type_name kTypeItems[] = {
    {"dn:NetworkVideoTransmitter", DRM_PROBE_TYPE_TRANSMITTER},
    {"tds:Device", DRM_PROBE_TYPE_TRANSMITTER},
    {"dn:NetworkVideoDisplay", DRM_PROBE_TYPE_DISPLAY},
    {"dn:NetworkVideoStorage", DRM_PROBE_TYPE_STORAGE},
    {"dn:NetworkVideoAnalytics", DRM_PROBE_TYPE_ANALYTICS},
};

// Tried on the whole text, case-sensitively, when no item names a type.
constexpr type_name kTypeSubstrings[] = {
    {"Device", DRM_PROBE_TYPE_TRANSMITTER},
    {"NetworkVideoTransmitter", DRM_PROBE_TYPE_TRANSMITTER},
    {"NetworkVideoDisplay", DRM_PROBE_TYPE_DISPLAY},
    {"NetworkVideoStorage", DRM_PROBE_TYPE_STORAGE},
    {"NetworkVideoAnalytics", DRM_PROBE_TYPE_ANALYTICS},
};

}  // namespace

drm_probe_registration& drm_probe_registered() {
    return registration;
}

void drm_probe_register(drm_probe_callback callback, drm_probe_add_entry_hook add_entry, void* user_data) {
    registration.add_entry.store(add_entry, std::memory_order_release);
    registration.user_data.store(user_data, std::memory_order_release);
    registration.callback.store(callback, std::memory_order_release);
}

void drm_probe_device_prepare(drm_probe_device* record, const sockaddr_in& sender, uint32_t arrival_if_addr) {
    std::memset(record, 0, sizeof *record);
    record->sender = sender;
    record->arrival_if_addr = arrival_if_addr;
}

int32_t drm_probe_types_classify(const char* types) {
    if (types == nullptr) return DRM_PROBE_TYPE_NONE;
    std::string_view text(types);
    for (size_t start = 0; start <= text.size();) {
        size_t space = text.find(' ', start);
        if (space == std::string_view::npos) space = text.size();
        std::string_view item = text.substr(start, space - start);
        for (const type_name& known : kTypeItems) {
            if (drm_xml_name_match(item, known.item)) return known.type;
        }
        start = space + 1;
    }
    for (const type_name& known : kTypeSubstrings) {
        if (text.find(known.item) != std::string_view::npos) return known.type;
    }
    return DRM_PROBE_TYPE_NONE;
}

void drm_probe_scopes_append(drm_probe_device* record, const char* scopes) {
    if (scopes == nullptr) return;
    std::string_view text(scopes);
    size_t pos = 0;
    while (record->scope_count < DRM_PROBE_MAX_SCOPES) {
        pos = text.find_first_not_of(' ', pos);
        if (pos == std::string_view::npos) return;
        size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        copy_cut(record->scopes[record->scope_count], DRM_PROBE_SCOPE_SIZE, text.substr(pos, end - pos));
        ++record->scope_count;
        pos = end;
    }
}

int32_t drm_probe_match_read(const drm_xml_node* match, drm_probe_device* record) {
    if (match == nullptr || record == nullptr) return 0;
    copy_endpoint(match, record);
    if (const char* types = text_of(drm_xml_node_child(match, "Types")); types != nullptr) {
        record->device_type = drm_probe_types_classify(types);
        copy_cut(record->types, sizeof record->types, types);
    }
    if (const char* version = text_of(drm_xml_node_child(match, "MetadataVersion")); version != nullptr) {
        record->metadata_version = metadata_version_of(version);
    }
    drm_probe_scopes_append(record, text_of(drm_xml_node_child(match, "Scopes")));
    const char* xaddrs = text_of(drm_xml_node_child(match, "XAddrs"));
    if (xaddrs == nullptr) return 0;
    copy_cut(record->xaddrs, sizeof record->xaddrs, xaddrs);
    return drm_probe_xaddrs_choose(xaddrs, record);
}

int32_t drm_probe_envelope_read(const drm_xml_node* root, drm_probe_device* record) {
    const drm_xml_node* body = drm_xml_node_child(root, "Body");
    if (body == nullptr || record == nullptr) return 1;

    if (const drm_xml_node* matches = drm_xml_node_child(body, "ProbeMatches"); matches != nullptr) {
        for (const drm_xml_node* match = drm_xml_node_child(matches, "ProbeMatch");
             match != nullptr && drm_xml_name_match(match->name, "ProbeMatch"); match = match->next_sibling) {
            if (drm_probe_match_read(match, record) == 1 && record->device_type != DRM_PROBE_TYPE_NONE) {
                report(record, DRM_PROBE_REPORT_MATCH);
            }
        }
        return 1;
    }
    if (const drm_xml_node* hello = drm_xml_node_child(body, "Hello"); hello != nullptr) {
        if (drm_probe_match_read(hello, record) == 1 && record->device_type != DRM_PROBE_TYPE_NONE) {
            report(record, DRM_PROBE_REPORT_HELLO);
        }
        return 1;
    }
    if (const drm_xml_node* bye = drm_xml_node_child(body, "Bye"); bye != nullptr) {
        // A Bye carries nothing else worth reading.
        if (copy_endpoint(bye, record)) report(record, DRM_PROBE_REPORT_BYE);
    }
    return 1;
}
