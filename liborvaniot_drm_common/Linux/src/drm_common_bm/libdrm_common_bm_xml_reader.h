// Document reader behind drm_xml_parse: walks the markup, terminates names and texts in place and
// reports elements and texts through three callbacks. Internal to the XML node module.
#pragma once

#include <cstdint>

#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"

// Open-element stack entries; entry 0 stays unused so entry d names the element open at depth d.
inline constexpr int32_t DRM_XML_STACK_SIZE = DRM_XML_MAX_DEPTH + 1;
// One slot more than can be filled, so an empty name always ends the list.
inline constexpr int32_t DRM_XML_ATTR_PAIR_SLOTS = DRM_XML_MAX_ATTRIBUTES + 1;

struct drm_xml_attr_pair {
    char* name;
    char* value;
    int32_t value_length;  // bytes before the value's terminator
};

using drm_xml_start_element_fn = void (*)(void* user_data, drm_xml_node_table* table, char* name,
                                          const drm_xml_attr_pair* attributes);
using drm_xml_end_element_fn = void (*)(void* user_data, const char* name);
using drm_xml_text_fn = void (*)(void* user_data, char* text, int32_t length);

// State of one parse; lives in the caller's frame for the duration of drm_xml_parser_run. Before the
// run, depth must be 0 and the first attribute pair empty; nothing else needs clearing.
struct drm_xml_parser {
    char* doc_start;
    char* doc_end;  // one past the last byte; never read
    char* pos;
    char* stack[DRM_XML_STACK_SIZE];
    int32_t depth;
    drm_xml_attr_pair attributes[DRM_XML_ATTR_PAIR_SLOTS];
    void* user_data;
    drm_xml_node_table* table;
    drm_xml_start_element_fn start_element;  // each callback may be null
    drm_xml_end_element_fn end_element;
    drm_xml_text_fn text;
};

// Reads the document from doc_start to doc_end: 0 when it is accepted, -1 when not.
int32_t drm_xml_parser_run(drm_xml_parser* parser);

// Tree building state handed to the callbacks as user data.
struct drm_xml_builder {
    drm_xml_node* current;    // element receiving new children and text
    int32_t overflow_logged;  // the table-full line is written once per parse
    int32_t element_lost;     // an element's storage could not be obtained: the tree is incomplete
};

void drm_xml_start_element(void* user_data, drm_xml_node_table* table, char* name,
                           const drm_xml_attr_pair* attributes);
void drm_xml_end_element(void* user_data, const char* name);
void drm_xml_text(void* user_data, char* text, int32_t length);
