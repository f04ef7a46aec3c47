// Helpers shared by the discovery test programs: the runtime's debug layer for the length of a
// test, and a node table that parses writable copies of documents for the in-place reader.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"

// A document the reader may write into, NUL after the last byte; lives as long as its tree.
class xml_document {
  public:
    explicit xml_document(std::string_view text) : bytes_(text.begin(), text.end()) {
        bytes_.push_back('\0');
    }
    char* data() { return bytes_.data(); }
    int32_t length() const { return static_cast<int32_t>(bytes_.size() - 1); }

  private:
    std::vector<char> bytes_;
};

// Every test runs with the debug layer up (tracked allocations need it) and a node table, and must
// leave no tracked block behind once the table is released.
class XmlTableTest : public ::testing::Test {
  protected:
    static constexpr int32_t kDefaultCapacity = 1000;

    void SetUp() override {
        ASSERT_EQ(liborvaniot_os_debug_initialize(), 0);
        baseline_blocks_ = liborvaniot_os_mem_outstanding_count();
        ASSERT_EQ(drm_xml_node_table_create(&table_, kDefaultCapacity), 0);
    }

    void TearDown() override {
        drm_xml_node_table_release(&table_);
        EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), baseline_blocks_);
        liborvaniot_os_debug_finalize();
    }

    void use_capacity(int32_t capacity) {
        drm_xml_node_table_release(&table_);
        ASSERT_EQ(drm_xml_node_table_create(&table_, capacity), 0);
    }

    drm_xml_node* parse(std::string_view text) {
        xml_document& doc = documents_.emplace_back(text);
        return drm_xml_parse(&table_, doc.data(), doc.length());
    }

    // Parses with standard error captured; the written text goes to *log.
    drm_xml_node* parse_logged(std::string_view text, std::string* log) {
        ::testing::internal::CaptureStderr();
        drm_xml_node* root = parse(text);
        *log = ::testing::internal::GetCapturedStderr();
        return root;
    }

    drm_xml_node_table table_{};

  private:
    std::deque<xml_document> documents_;  // stable addresses: trees point into them
    int32_t baseline_blocks_ = 0;
};

inline std::string text_of(const drm_xml_node* node) {
    return node != nullptr && node->text != nullptr ? std::string(node->text, node->text_length)
                                                    : std::string();
}

inline int32_t attribute_count(const drm_xml_node* element) {
    int32_t n = 0;
    for (const drm_xml_node* a = element->first_attr; a != nullptr; a = a->next_sibling) ++n;
    return n;
}

inline int32_t child_count(const drm_xml_node* element) {
    int32_t n = 0;
    for (const drm_xml_node* c = element->first_child; c != nullptr; c = c->next_sibling) ++n;
    return n;
}
