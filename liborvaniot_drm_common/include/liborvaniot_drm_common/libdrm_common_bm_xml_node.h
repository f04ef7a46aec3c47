// Small in-place XML reader for discovery datagrams: builds a tree of element and attribute nodes
// whose names, values and texts point into the (modified) datagram buffer.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

inline constexpr int32_t DRM_XML_NODE_ELEMENT = 0;
inline constexpr int32_t DRM_XML_NODE_ATTRIBUTE = 1;

// Deepest element nesting a document may have.
inline constexpr int32_t DRM_XML_MAX_DEPTH = 1023;
// Attribute pairs kept per start tag; further attributes are read and dropped.
inline constexpr int32_t DRM_XML_MAX_ATTRIBUTES = 99;

// One element or attribute. Attributes are chained through the sibling links of their element's
// attribute list and have no parent.
struct drm_xml_node {
    char* name;           // NUL-terminated, inside the document, prefix included ("tds:Device")
    int32_t type;         // DRM_XML_NODE_ELEMENT or DRM_XML_NODE_ATTRIBUTE
    char* text;           // element text (null when none) or attribute value
    int32_t text_length;  // bytes of text
    int32_t closed;       // 1 once the end tag or "/>" has been read
    drm_xml_node* parent;
    drm_xml_node* first_child;
    drm_xml_node* last_child;
    drm_xml_node* prev_sibling;
    drm_xml_node* next_sibling;
    drm_xml_node* first_attr;
    drm_xml_node* last_attr;
};

// Fixed-capacity owner of the nodes of one parse; elements and attributes share the capacity.
// Node storage is taken from the tracked allocator in blocks of many nodes and kept from one parse
// to the next, so a parse allocates nothing once the table has held a document as large.
struct drm_xml_node_table {
    int32_t capacity;
    int32_t count;
    drm_xml_node** items;  // capacity slots: the nodes in creation order, then storage not in use
    void* storage;         // the tracked blocks behind the items, chained
    // The table-full line is written at most once a second; the lines held back meanwhile are
    // counted and their number written with the next one.
    int64_t overflow_next_ms;
    int32_t overflow_left_out;
};

// Gets storage for capacity node references: 0 on success; -1 (capacity 0) when none was obtained.
int32_t drm_xml_node_table_create(drm_xml_node_table* table, int32_t capacity);
// Releases the node storage and the table's own; the table is left empty with capacity 0. A count
// of table-full lines still held back is written first.
void drm_xml_node_table_release(drm_xml_node_table* table);
// Empties the table; the node storage stays for the next parse. Absent or storage-less tables are
// ignored.
void drm_xml_node_table_clear(drm_xml_node_table* table);

// Parses document[0, length) in place (the byte at document[length] must be writable and NUL) after
// clearing the table. Returns the root element, or null when the document is not accepted, an
// element did not fit in the table, or its storage could not be obtained.
drm_xml_node* drm_xml_parse(drm_xml_node_table* table, char* document, int32_t length);

// Unlinks node and, recursively, its children from their neighbours and parents. Nothing is released.
void drm_xml_node_detach(drm_xml_node* node);

// A name to look for, split once into the whole and its part after the first colon: made from a
// literal at compile time, so that lookups of known names only compare.
struct drm_xml_wanted_name {
    constexpr explicit drm_xml_wanted_name(std::string_view name)
        : whole(name),
          local(name.substr(name.find(':') == std::string_view::npos ? 0 : name.find(':') + 1)) {}
    std::string_view whole;
    std::string_view local;
};

// True when the names are equal ignoring ASCII case, or their parts after the first colon are.
bool drm_xml_name_match(std::string_view name, std::string_view wanted);
bool drm_xml_name_match(const char* name, const char* wanted);
bool drm_xml_name_match(std::string_view name, const drm_xml_wanted_name& wanted);
// The same for a NUL-terminated name (null never matches).
bool drm_xml_name_match(const char* name, const drm_xml_wanted_name& wanted);

// First child element of parent whose name matches wanted (drm_xml_name_match), or null.
drm_xml_node* drm_xml_node_child(const drm_xml_node* parent, const char* wanted);
drm_xml_node* drm_xml_node_child(const drm_xml_node* parent, const drm_xml_wanted_name& wanted);
// drm_xml_node_child for several names in one walk over the children: found[i] is the first child
// matching wanted[i], or null (found as long as wanted).
void drm_xml_node_children(const drm_xml_node* parent, std::span<const drm_xml_wanted_name> wanted,
                           std::span<const drm_xml_node*> found);
