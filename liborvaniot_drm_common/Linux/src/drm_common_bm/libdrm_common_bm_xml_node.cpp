// Node records of the XML reader: the node table, tree building from the reader's callbacks, the
// parse entry point, detaching and name matching.
#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "libdrm_common_bm_xml_reader.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_report_labels.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

constexpr const char* kSourcePath = liborvaniot_os_report_labels::kXmlNode;

constexpr int32_t kFirstStorageNodes = 16;
constexpr int64_t kOverflowLinePeriodMs = 1000;

// Header of one tracked block of node storage; the nodes follow it.
struct alignas(drm_xml_node) storage_block {
    storage_block* next;
};

drm_xml_node* nodes_of(storage_block* block) {
    return reinterpret_cast<drm_xml_node*>(block + 1);
}

int64_t now_ms() {
    liborvaniot_os_timeval tv{};
    liborvaniot_os_gettimeofday(&tv);
    return static_cast<int64_t>(tv.tv_sec) * 1000 + tv.tv_usec / 1000;
}

void log_left_out(const char* caller, int32_t line, int32_t left_out) {
    liborvaniot_os_debug_printf(caller, line, "drm out of xml node count: %d earlier lines left out\n", left_out);
}

// A hostile datagram may hold thousands of elements, and a flood of them arrives without pause:
// one line per parse at most, and at most one a second, with the number of lines held back.
void log_table_full(drm_xml_builder* builder, const char* caller, int32_t line, drm_xml_node_table* table) {
    if (builder->overflow_logged != 0) return;
    builder->overflow_logged = 1;
    const int64_t now = now_ms();
    if (table->overflow_next_ms != 0 && now < table->overflow_next_ms) {
        ++table->overflow_left_out;
        return;
    }
    table->overflow_next_ms = now + kOverflowLinePeriodMs;
    liborvaniot_os_debug_printf(caller, line, "drm out of xml node count %d > %d\n", table->count + 1,
                                table->capacity);
    if (table->overflow_left_out > 0) {
        log_left_out(caller, line, std::exchange(table->overflow_left_out, 0));
    }
}

bool table_full(const drm_xml_node_table* table) {
    return table->items == nullptr || table->count >= table->capacity;
}

// Storage for the items from count on: a block as large as the storage already held (at least a few
// nodes, at most what the capacity leaves), so a table grows to a large document in a few steps.
bool add_storage(drm_xml_node_table* table, int32_t line) {
    const int32_t wanted = std::min(table->capacity - table->count, std::max(kFirstStorageNodes, table->count));
    const size_t bytes = sizeof(storage_block) + sizeof(drm_xml_node) * static_cast<size_t>(wanted);
    auto* block = static_cast<storage_block*>(liborvaniot_os_mem_calloc(1, bytes, kSourcePath, line));
    if (block == nullptr) return false;
    block->next = static_cast<storage_block*>(table->storage);
    table->storage = block;
    for (int32_t i = 0; i < wanted; ++i) table->items[table->count + i] = &nodes_of(block)[i];
    return true;
}

drm_xml_node* table_add(drm_xml_node_table* table, int32_t line) {
    if (table->items[table->count] == nullptr && !add_storage(table, line)) return nullptr;
    drm_xml_node* node = table->items[table->count++];
    *node = drm_xml_node{};
    return node;
}

void append_child(drm_xml_node* parent, drm_xml_node* child) {
    child->parent = parent;
    child->prev_sibling = parent->last_child;
    if (parent->last_child != nullptr) {
        parent->last_child->next_sibling = child;
    } else {
        parent->first_child = child;
    }
    parent->last_child = child;
}

void append_attribute(drm_xml_node* element, drm_xml_node* attribute) {
    attribute->prev_sibling = element->last_attr;
    if (element->last_attr != nullptr) {
        element->last_attr->next_sibling = attribute;
    } else {
        element->first_attr = attribute;
    }
    element->last_attr = attribute;
}

bool is_empty(const char* text) {
    return text == nullptr || text[0] == '\0';
}

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ascii_iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // Names nearly always come in the letter case they are looked for in.
    if (a == b) return true;
    for (size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    }
    return true;
}

std::string_view local_part(std::string_view name) {
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// ascii_iequal for a NUL-terminated name, which it reads only up to the first difference: a child
// search compares one wanted name with many names, and most differ in their first byte.
bool iequal_terminated(const char* name, std::string_view text) {
    for (char c : text) {
        if (*name != c && ascii_lower(*name) != ascii_lower(c)) return false;
        ++name;
    }
    return *name == '\0';
}

// The part of a NUL-terminated name after its first colon, or the whole name without one.
const char* local_part(const char* name) {
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == ':') return c + 1;
    }
    return name;
}

// drm_xml_name_match for a NUL-terminated name whose local part is known.
bool name_matches(const char* name, const char* local, const drm_xml_wanted_name& wanted) {
    // A wanted name without a prefix can only equal a whole name that has none either, and that is
    // its own local part.
    if (wanted.local.size() != wanted.whole.size() && iequal_terminated(name, wanted.whole)) return true;
    return iequal_terminated(local, wanted.local);
}

}  // namespace

void drm_xml_start_element(void* user_data, drm_xml_node_table* table, char* name,
                           const drm_xml_attr_pair* attributes) {
    auto* builder = static_cast<drm_xml_builder*>(user_data);
    if (table == nullptr) {
        builder->current = nullptr;
        return;
    }
    drm_xml_node* element = nullptr;
    if (table_full(table)) {
        log_table_full(builder, "drm_xml_node_add", __LINE__, table);
    } else {
        element = table_add(table, __LINE__);
        if (element == nullptr) {
            builder->element_lost = 1;
        } else {
            element->type = DRM_XML_NODE_ELEMENT;
            element->name = name;
            if (builder->current != nullptr) append_child(builder->current, element);
        }
    }
    for (int32_t i = 0; attributes != nullptr && i < DRM_XML_MAX_ATTRIBUTES; ++i) {
        const drm_xml_attr_pair& pair = attributes[i];
        if (is_empty(pair.name) || is_empty(pair.value)) break;
        if (table_full(table)) {
            log_table_full(builder, "drm_xml_attr_add", __LINE__, table);
            continue;
        }
        if (element == nullptr) continue;
        drm_xml_node* attribute = table_add(table, __LINE__);
        if (attribute == nullptr) continue;  // only this attribute is lost
        attribute->type = DRM_XML_NODE_ATTRIBUTE;
        attribute->name = pair.name;
        attribute->text = pair.value;
        attribute->text_length = pair.value_length;
        append_attribute(element, attribute);
    }
    builder->current = element;
}

void drm_xml_end_element(void* user_data, const char* /*name*/) {
    auto* builder = static_cast<drm_xml_builder*>(user_data);
    drm_xml_node* current = builder->current;
    if (current == nullptr) return;
    current->closed = 1;
    // The root stays current after it closes, so it is what the parse returns.
    if (current->parent != nullptr || current->type != DRM_XML_NODE_ELEMENT)
        builder->current = current->parent;
}

void drm_xml_text(void* user_data, char* text, int32_t length) {
    auto* builder = static_cast<drm_xml_builder*>(user_data);
    if (builder->current == nullptr) return;
    builder->current->text = text;
    builder->current->text_length = length;
}

int32_t drm_xml_node_table_create(drm_xml_node_table* table, int32_t capacity) {
    if (table == nullptr) return -1;
    *table = drm_xml_node_table{};
    if (capacity <= 0) return -1;
    table->items = static_cast<drm_xml_node**>(liborvaniot_os_mem_calloc(
        static_cast<size_t>(capacity), sizeof(drm_xml_node*), kSourcePath, __LINE__));
    if (table->items == nullptr) return -1;
    table->capacity = capacity;
    return 0;
}

void drm_xml_node_table_release(drm_xml_node_table* table) {
    if (table == nullptr) return;
    if (table->overflow_left_out > 0) log_left_out("drm_xml_node_add", __LINE__, table->overflow_left_out);
    for (auto* block = static_cast<storage_block*>(table->storage); block != nullptr;) {
        storage_block* next = block->next;
        liborvaniot_os_mem_dbg_free(block, kSourcePath, __LINE__);
        block = next;
    }
    if (table->items != nullptr) liborvaniot_os_mem_dbg_free(table->items, kSourcePath, __LINE__);
    *table = drm_xml_node_table{};
}

void drm_xml_node_table_clear(drm_xml_node_table* table) {
    if (table == nullptr || table->items == nullptr) return;
    table->count = 0;
}

drm_xml_node* drm_xml_parse(drm_xml_node_table* table, char* document, int32_t length) {
    if (table == nullptr) return nullptr;
    drm_xml_node_table_clear(table);
    if (document == nullptr || length < 0) return nullptr;

    drm_xml_builder builder{};
    // Not value-initialised: clearing 10 KB of stack and pairs per datagram would cost more than the
    // parse. The reader writes a stack entry before reading it and ends the pairs with an empty one.
    drm_xml_parser parser;
    parser.depth = 0;
    parser.attributes[0] = {nullptr, nullptr, 0};
    parser.doc_start = document;
    parser.doc_end = document + length;
    parser.pos = document;
    parser.user_data = &builder;
    parser.table = table;
    parser.start_element = drm_xml_start_element;
    parser.end_element = drm_xml_end_element;
    parser.text = drm_xml_text;

    if (drm_xml_parser_run(&parser) == 0 && builder.element_lost == 0) return builder.current;
    drm_xml_node_detach(builder.current);
    return nullptr;
}

void drm_xml_node_detach(drm_xml_node* node) {
    if (node == nullptr) return;
    // Nesting is capped at the reader's depth limit, which bounds this recursion.
    for (drm_xml_node* child = node->first_child; child != nullptr;) {
        drm_xml_node* next = child->next_sibling;
        drm_xml_node_detach(child);
        child = next;
    }
    if (node->prev_sibling != nullptr) node->prev_sibling->next_sibling = node->next_sibling;
    if (node->next_sibling != nullptr) node->next_sibling->prev_sibling = node->prev_sibling;
    if (drm_xml_node* parent = node->parent; parent != nullptr) {
        if (parent->first_child == node) parent->first_child = node->next_sibling;
        if (parent->last_child == node) parent->last_child = node->prev_sibling;
    }
}

bool drm_xml_name_match(std::string_view name, std::string_view wanted) {
    return drm_xml_name_match(name, drm_xml_wanted_name(wanted));
}

bool drm_xml_name_match(std::string_view name, const drm_xml_wanted_name& wanted) {
    return ascii_iequal(name, wanted.whole) || ascii_iequal(local_part(name), wanted.local);
}

bool drm_xml_name_match(const char* name, const char* wanted) {
    if (wanted == nullptr) return false;
    return drm_xml_name_match(name, drm_xml_wanted_name(wanted));
}

bool drm_xml_name_match(const char* name, const drm_xml_wanted_name& wanted) {
    return name != nullptr && name_matches(name, local_part(name), wanted);
}

drm_xml_node* drm_xml_node_child(const drm_xml_node* parent, const char* wanted) {
    if (wanted == nullptr) return nullptr;
    return drm_xml_node_child(parent, drm_xml_wanted_name(wanted));
}

drm_xml_node* drm_xml_node_child(const drm_xml_node* parent, const drm_xml_wanted_name& wanted) {
    if (parent == nullptr) return nullptr;
    for (drm_xml_node* child = parent->first_child; child != nullptr; child = child->next_sibling) {
        if (drm_xml_name_match(child->name, wanted)) return child;
    }
    return nullptr;
}

void drm_xml_node_children(const drm_xml_node* parent, std::span<const drm_xml_wanted_name> wanted,
                           std::span<const drm_xml_node*> found) {
    std::fill(found.begin(), found.end(), nullptr);
    const size_t count = std::min(wanted.size(), found.size());
    size_t missing = count;
    for (const drm_xml_node* child = parent != nullptr ? parent->first_child : nullptr;
         child != nullptr && missing > 0; child = child->next_sibling) {
        if (child->name == nullptr) continue;
        const char* local = local_part(child->name);
        for (size_t i = 0; i < count; ++i) {
            if (found[i] == nullptr && name_matches(child->name, local, wanted[i])) {
                found[i] = child;
                --missing;
            }
        }
    }
}
