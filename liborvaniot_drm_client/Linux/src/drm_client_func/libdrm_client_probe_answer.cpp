// Incoming side of discovery: reads ProbeMatches, Hello and Bye trees into the discovered-device
// record and hands each report to the registered receiver. Element names are matched ignoring
// prefix and letter case; namespace URIs are never compared.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"

namespace {

drm_probe_registration registration;

// The elements read, looked up by their local names.
constexpr drm_xml_wanted_name kBody("Body");
constexpr drm_xml_wanted_name kProbeMatches("ProbeMatches");
constexpr drm_xml_wanted_name kProbeMatch("ProbeMatch");
constexpr drm_xml_wanted_name kHello("Hello");
constexpr drm_xml_wanted_name kBye("Bye");
constexpr drm_xml_wanted_name kEndpointReference("EndpointReference");
constexpr drm_xml_wanted_name kAddress("Address");

// The children of a ProbeMatch or Hello that are read, looked up together.
enum match_child : size_t {
    kEndpointChild,
    kTypesChild,
    kVersionChild,
    kScopesChild,
    kXAddrsChild,
    kMatchChildren
};
constexpr drm_xml_wanted_name kMatchChildNames[kMatchChildren] = {
    kEndpointReference,
    drm_xml_wanted_name("Types"),
    drm_xml_wanted_name("MetadataVersion"),
    drm_xml_wanted_name("Scopes"),
    drm_xml_wanted_name("XAddrs"),
};

const char* text_of(const drm_xml_node* node) {
    return node != nullptr && node->text != nullptr ? node->text : nullptr;
}

// Copies at most size - 1 characters and always terminates.
void copy_cut(char* out, size_t size, std::string_view text) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// The Address of the EndpointReference of a ProbeMatch, Hello or Bye: true when it had text.
bool copy_endpoint(const drm_xml_node* reference, drm_probe_device* record) {
    const char* text = text_of(drm_xml_node_child(reference, kAddress));
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

// The sibling after a ProbeMatch when it is one too: the matches are read up to the first other
// element.
const drm_xml_node* next_probe_match(const drm_xml_node* match) {
    const drm_xml_node* next = match->next_sibling;
    return next != nullptr && drm_xml_name_match(next->name, kProbeMatch) ? next : nullptr;
}

void report(drm_probe_device* record, int32_t kind) {
    drm_probe_callback callback = registration.callback.load(std::memory_order_acquire);
    if (callback == nullptr) return;
    callback(record, kind, registration.add_entry.load(std::memory_order_acquire),
             registration.user_data.load(std::memory_order_acquire));
}

struct type_item {
    drm_xml_wanted_name item;
    int32_t type;
};

constexpr type_item kTypeItems[] = {
    {drm_xml_wanted_name("dn:NetworkVideoTransmitter"), DRM_PROBE_TYPE_TRANSMITTER},
    {drm_xml_wanted_name("tds:Device"), DRM_PROBE_TYPE_TRANSMITTER},
    {drm_xml_wanted_name("dn:NetworkVideoDisplay"), DRM_PROBE_TYPE_DISPLAY},
    {drm_xml_wanted_name("dn:NetworkVideoStorage"), DRM_PROBE_TYPE_STORAGE},
    {drm_xml_wanted_name("dn:NetworkVideoAnalytics"), DRM_PROBE_TYPE_ANALYTICS},
};

struct type_name {
    const char* item;
    int32_t type;
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
    // The scope rows are nearly all of the record and an answer fills a handful: clearing the whole
    // record for every datagram would cost as much as reading it.
    const int32_t rows_used = std::clamp(record->scope_count, 0, DRM_PROBE_MAX_SCOPES);
    std::memset(record->scopes, 0, sizeof record->scopes[0] * static_cast<size_t>(rows_used));
    auto* bytes = reinterpret_cast<unsigned char*>(record);
    constexpr size_t kRowsBegin = offsetof(drm_probe_device, scopes);
    constexpr size_t kRowsEnd = kRowsBegin + sizeof drm_probe_device::scopes;
    std::memset(bytes, 0, kRowsBegin);
    std::memset(bytes + kRowsEnd, 0, sizeof *record - kRowsEnd);
    record->sender = sender;
    record->arrival_if_addr = arrival_if_addr;
}

bool drm_probe_datagram_read(drm_xml_node_table* table, char* datagram, int32_t length,
                             const drm_probe_origin& origin, drm_probe_device* record) {
    if (datagram == nullptr || length < 0 || record == nullptr) return false;
    datagram[length] = '\0';
    // The tree lives until the next parse with the table, which starts it afresh.
    const drm_xml_node* root = drm_xml_parse(table, datagram, length);
    if (root == nullptr) return false;
    drm_probe_device_prepare(record, origin.sender, origin.arrival_if_addr);
    record->answered_unicast = origin.unicast ? 1 : 0;
    drm_probe_envelope_read(root, record);
    return true;
}

int32_t drm_probe_types_classify(const char* types) {
    if (types == nullptr) return DRM_PROBE_TYPE_NONE;
    std::string_view text(types);
    for (size_t start = 0; start <= text.size();) {
        size_t space = text.find(' ', start);
        if (space == std::string_view::npos) space = text.size();
        std::string_view item = text.substr(start, space - start);
        for (const type_item& known : kTypeItems) {
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
    const drm_xml_node* children[kMatchChildren];
    drm_xml_node_children(match, kMatchChildNames, children);
    copy_endpoint(children[kEndpointChild], record);
    if (const char* types = text_of(children[kTypesChild]); types != nullptr) {
        record->device_type = drm_probe_types_classify(types);
        copy_cut(record->types, sizeof record->types, types);
    }
    if (const char* version = text_of(children[kVersionChild]); version != nullptr) {
        record->metadata_version = metadata_version_of(version);
    }
    drm_probe_scopes_append(record, text_of(children[kScopesChild]));
    const char* xaddrs = text_of(children[kXAddrsChild]);
    if (xaddrs == nullptr) return 0;
    copy_cut(record->xaddrs, sizeof record->xaddrs, xaddrs);
    return drm_probe_xaddrs_choose(xaddrs, record);
}

int32_t drm_probe_envelope_read(const drm_xml_node* root, drm_probe_device* record) {
    const drm_xml_node* body = drm_xml_node_child(root, kBody);
    if (body == nullptr || record == nullptr) return 1;

    if (const drm_xml_node* matches = drm_xml_node_child(body, kProbeMatches); matches != nullptr) {
        for (const drm_xml_node* match = drm_xml_node_child(matches, kProbeMatch); match != nullptr;
             match = next_probe_match(match)) {
            if (drm_probe_match_read(match, record) == 1 && record->device_type != DRM_PROBE_TYPE_NONE) {
                report(record, DRM_PROBE_REPORT_MATCH);
            }
        }
        return 1;
    }
    if (const drm_xml_node* hello = drm_xml_node_child(body, kHello); hello != nullptr) {
        if (drm_probe_match_read(hello, record) == 1 && record->device_type != DRM_PROBE_TYPE_NONE) {
            report(record, DRM_PROBE_REPORT_HELLO);
        }
        return 1;
    }
    if (const drm_xml_node* bye = drm_xml_node_child(body, kBye); bye != nullptr) {
        // A Bye carries nothing else worth reading.
        if (copy_endpoint(drm_xml_node_child(bye, kEndpointReference), record))
            report(record, DRM_PROBE_REPORT_BYE);
    }
    return 1;
}
