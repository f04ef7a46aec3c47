// Fuzz target: one received datagram through the in-place reader and the answer reader, as the
// probe listener handles it, plus the scope decoding the device list applies to each report. The
// listener reuses its record: the datagram is also read after the previous input, into the record
// that one left, and must give exactly what it gives into a fresh record.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"

namespace {

// The listener's receive buffer holds at most this many bytes plus a NUL.
constexpr size_t kLargestDatagram = 10239;

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// Every text of the record must be terminated inside its field.
void check_record(const drm_probe_device& r) {
    require(std::memchr(r.endpoint_address, '\0', sizeof r.endpoint_address) != nullptr);
    require(r.scope_count >= 0 && r.scope_count <= DRM_PROBE_MAX_SCOPES);
    for (int32_t i = 0; i < r.scope_count; ++i)
        require(std::memchr(r.scopes[i], '\0', DRM_PROBE_SCOPE_SIZE) != nullptr);
    require(std::memchr(r.host, '\0', sizeof r.host) != nullptr);
    require(std::memchr(r.path, '\0', sizeof r.path) != nullptr);
    require(r.device_type >= DRM_PROBE_TYPE_NONE && r.device_type <= DRM_PROBE_TYPE_ANALYTICS);
}

void on_report(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook, void*) {
    require(kind >= DRM_PROBE_REPORT_MATCH && kind <= DRM_PROBE_REPORT_BYE);
    check_record(*record);
    for (int32_t i = 0; i < record->scope_count; ++i) {
        for (const char* pattern : {DRM_PROBE_SCOPE_HARDWARE, DRM_PROBE_SCOPE_LOCATION,
                                    DRM_PROBE_SCOPE_MANUFACTURER, DRM_PROBE_SCOPE_NAME}) {
            char value[DRM_PROBE_SCOPE_VALUE_SIZE];
            if (drm_probe_scope_value(value, record->scopes[i], pattern) == 0) {
                require(std::strlen(value) < sizeof value);
            }
        }
    }
    drm_ipv4_text_is_valid(record->host);
}

// Checks the links of every node of an accepted document against each other. (After a failed parse
// the abandoned nodes keep links to the neighbours they were detached from.)
void check_tree(const drm_xml_node_table& table) {
    for (int32_t i = 0; i < table.count; ++i) {
        const drm_xml_node* n = table.items[i];
        require(n != nullptr && n->name != nullptr);
        if (n->next_sibling != nullptr) require(n->next_sibling->prev_sibling == n);
        if (n->first_child != nullptr) require(n->first_child->parent == n && n->last_child != nullptr);
        if (n->text != nullptr) require(n->text_length >= 0);
    }
}

struct runtime {
    runtime() {
        liborvaniot_os_debug_initialize();
        drm_probe_register(on_report, nullptr, nullptr);
        drm_xml_node_table_create(&table, 1000);
        drm_xml_node_table_create(&small_table, 5);
    }
    drm_xml_node_table table{};
    drm_xml_node_table small_table{};  // reaches the table-full paths with small inputs
    drm_probe_device reused{};         // what the previous inputs left, as in the listener
};

// Exactly as large as the datagram plus its NUL, so any overrun is seen.
std::vector<char> datagram_of(const uint8_t* data, size_t size) {
    std::vector<char> buffer(data, data + size);
    buffer.push_back('\0');
    return buffer;
}

void parse(drm_xml_node_table* table, const uint8_t* data, size_t size) {
    std::vector<char> buffer = datagram_of(data, size);
    if (drm_xml_parse(table, buffer.data(), static_cast<int32_t>(size)) != nullptr) check_tree(*table);
}

void read_fresh_and_reused(runtime* rt, const uint8_t* data, size_t size) {
    std::vector<char> buffer = datagram_of(data, size);
    auto fresh = std::make_unique<drm_probe_device>();
    if (!drm_probe_datagram_read(&rt->table, buffer.data(), static_cast<int32_t>(size), drm_probe_origin{},
                                 fresh.get())) {
        return;
    }
    check_tree(rt->table);
    check_record(*fresh);
    buffer = datagram_of(data, size);
    require(drm_probe_datagram_read(&rt->table, buffer.data(), static_cast<int32_t>(size), drm_probe_origin{},
                                    &rt->reused));
    require(std::memcmp(fresh.get(), &rt->reused, sizeof rt->reused) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static runtime* rt = new runtime();
    if (size > kLargestDatagram) return -1;
    read_fresh_and_reused(rt, data, size);
    parse(&rt->small_table, data, size);
    return 0;
}
