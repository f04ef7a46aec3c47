// The node table: its capacity, the overflow line, release of earlier parses and lost allocations.
#include <string>

#include "calloc_failure.h"
#include "drm_test_support.h"

namespace {

using XmlNodeTableTest = XmlTableTest;

struct capacity_case {
    const char* what;
    int32_t capacity;
    std::string document;
    const char* root;  // null when the parse returns nothing
    int32_t root_attributes;
    const char* log;
};

TEST_F(XmlNodeTableTest, NodesBeyondTheCapacityAreDroppedWithOneLogLine) {
    std::string many_children = "<?xml?><a>";
    for (int i = 0; i < 2000; ++i) many_children += "<b x=\"1\" y=\"2\"/>";
    many_children += "</a>";
    std::string many_attributes = "<?xml?><a";
    for (int i = 0; i < 99; ++i) many_attributes += " x=1";
    many_attributes += "/>";

    const capacity_case cases[] = {
        {"element does not fit", 3, "<?xml?><a x=1 y=2><b></b></a>", nullptr, 0,
         "drm out of xml node count 4 > 3\n"},
        {"attribute does not fit", 2, "<?xml?><a x=1 y=2/>", "a", 1, "drm out of xml node count 3 > 2\n"},
        {"everything fits", 3, "<?xml?><a x=1 y=2/>", "a", 2, ""},
        {"thousands of elements", 3, many_children, nullptr, 0, "drm out of xml node count 4 > 3\n"},
        {"attributes of one tag", 10, many_attributes, "a", 9, "drm out of xml node count 11 > 10\n"},
        {"table without storage", 0, "<?xml?><a><b/></a>", nullptr, 0, "drm out of xml node count 1 > 0\n"},
    };
    for (const capacity_case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.capacity == 0) {
            drm_xml_node_table_release(&table_);
        } else {
            use_capacity(c.capacity);
        }
        std::string log;
        const drm_xml_node* root = parse_logged(c.document, &log);
        EXPECT_EQ(log, c.log);
        if (c.root == nullptr) {
            EXPECT_EQ(root, nullptr);
            continue;
        }
        ASSERT_NE(root, nullptr);
        EXPECT_STREQ(root->name, c.root);
        EXPECT_EQ(attribute_count(root), c.root_attributes);
        EXPECT_LE(table_.count, table_.capacity);
    }
}

TEST_F(XmlNodeTableTest, EveryParseReportsItsOwnOverflow) {
    use_capacity(1);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::string log;
        EXPECT_EQ(parse_logged("<?xml?><a><b/><c/></a>", &log), nullptr);
        EXPECT_EQ(log, "drm out of xml node count 2 > 1\n");
    }
}

TEST_F(XmlNodeTableTest, SecondParseReleasesTheNodesOfTheFirst) {
    const int32_t before = liborvaniot_os_mem_outstanding_count();
    ASSERT_NE(parse("<?xml?><a x=\"1\"><b/><c/><d/></a>"), nullptr);
    EXPECT_EQ(table_.count, 5);
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), before + 5);

    // A failing parse releases them too; its own nodes stay until the next clear.
    EXPECT_EQ(parse("<?xml?><a><b>"), nullptr);
    EXPECT_EQ(table_.count, 2);
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), before + 2);
    EXPECT_EQ(table_.items[2], nullptr);

    drm_xml_node_table_clear(&table_);
    EXPECT_EQ(table_.count, 0);
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), before);
}

TEST_F(XmlNodeTableTest, ParseReturnsNothingWhenAnElementCouldNotBeStored) {
    // Without the element b, c would be an orphan that collects the rest of the document.
    const char* doc = "<?xml?><a><b><c/></b><d/></a>";
    {
        calloc_failure fail_second(2);
        EXPECT_EQ(parse(doc), nullptr);
    }
    const drm_xml_node* root = parse(doc);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->name, "a");
}

TEST_F(XmlNodeTableTest, AttributeThatCouldNotBeStoredOnlyLosesItself) {
    calloc_failure fail_second(2);
    const drm_xml_node* root = parse("<?xml?><a x=\"1\" y=\"2\"/>");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(attribute_count(root), 1);
    EXPECT_STREQ(root->first_attr->name, "y");
}

TEST_F(XmlNodeTableTest, ClearAndReleaseIgnoreMissingStorage) {
    drm_xml_node_table_clear(nullptr);
    drm_xml_node_table_release(nullptr);
    drm_xml_node_table empty{};
    drm_xml_node_table_clear(&empty);
    EXPECT_EQ(drm_xml_node_table_create(&empty, 0), -1);
    EXPECT_EQ(empty.capacity, 0);
    EXPECT_EQ(empty.items, nullptr);
}

}  // namespace
