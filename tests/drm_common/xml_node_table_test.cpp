// The node table: its capacity, the overflow line, release of earlier parses and lost allocations.
#include <string>

#include "calloc_failure.h"
#include "drm_test_support.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

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

TEST_F(XmlNodeTableTest, OverflowLineIsWrittenAtMostOnceASecondWithTheNumberHeldBack) {
    use_capacity(1);
    const char* hostile = "<?xml?><a><b/><c/></a>";
    std::string log;
    EXPECT_EQ(parse_logged(hostile, &log), nullptr);
    EXPECT_EQ(log, "drm out of xml node count 2 > 1\n");

    // A flood within the second writes nothing more.
    std::string flood;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(parse_logged(hostile, &log), nullptr);
        flood += log;
    }
    EXPECT_EQ(flood, "");

    // The next line, a second later, says how many were held back.
    liborvaniot_os_sleep_ms(1100);
    EXPECT_EQ(parse_logged(hostile, &log), nullptr);
    EXPECT_EQ(log, "drm out of xml node count 2 > 1\ndrm out of xml node count: 3 earlier lines left out\n");

    // Lines still held back when the table goes are counted then.
    EXPECT_EQ(parse_logged(hostile, &log), nullptr);
    EXPECT_EQ(log, "");
    testing::internal::CaptureStderr();
    drm_xml_node_table_release(&table_);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "drm out of xml node count: 1 earlier lines left out\n");
}

TEST_F(XmlNodeTableTest, NodeStorageIsKeptFromOneParseToTheNextAndGoesWithTheTable) {
    const int32_t before = liborvaniot_os_mem_outstanding_count();
    ASSERT_NE(parse("<?xml?><a x=\"1\"><b/><c/><d/></a>"), nullptr);
    EXPECT_EQ(table_.count, 5);
    const int32_t with_storage = liborvaniot_os_mem_outstanding_count();
    EXPECT_GT(with_storage, before);

    // A failing parse empties the table too; its own nodes stay until the next clear.
    EXPECT_EQ(parse("<?xml?><a><b>"), nullptr);
    EXPECT_EQ(table_.count, 2);
    drm_xml_node_table_clear(&table_);
    EXPECT_EQ(table_.count, 0);

    // A document of thousands of nodes takes a few more blocks, and the next parses none.
    std::string large = "<?xml?><a>";
    for (int i = 0; i < 900; ++i) large += "<b/>";
    large += "</a>";
    ASSERT_NE(parse(large), nullptr);
    const int32_t grown = liborvaniot_os_mem_outstanding_count();
    EXPECT_LE(grown - before, 8) << "storage should grow in large steps";
    for (int round = 0; round < 3; ++round) ASSERT_NE(parse(large), nullptr);
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), grown);

    drm_xml_node_table_release(&table_);
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), before - 1);  // the table's own storage too
    ASSERT_EQ(drm_xml_node_table_create(&table_, kDefaultCapacity), 0);
}

// A document whose first 16 nodes fill the first block of storage, so that node 17 needs a second
// one, which the test refuses.
std::string document_with_node_17(const std::string& tail) {
    std::string doc = "<?xml?><a>";
    for (int i = 0; i < 14; ++i) doc += "<b/>";
    return doc + tail + "</a>";
}

TEST_F(XmlNodeTableTest, ParseReturnsNothingWhenAnElementCouldNotBeStored) {
    // Element 17 is c; without it, d would be an orphan that collects the rest of the document.
    const std::string doc = document_with_node_17("<b/><c><d/></c>");
    {
        calloc_failure fail_second_block(2);
        EXPECT_EQ(parse(doc), nullptr);
    }
    const drm_xml_node* root = parse(doc);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->name, "a");
}

TEST_F(XmlNodeTableTest, AttributeThatCouldNotBeStoredOnlyLosesItself) {
    // Node 16 is the element c, node 17 its attribute x.
    calloc_failure fail_second_block(2);
    const drm_xml_node* root = parse(document_with_node_17("<c x=\"1\" y=\"2\"/>"));
    ASSERT_NE(root, nullptr);
    const drm_xml_node* c = drm_xml_node_child(root, "c");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(attribute_count(c), 1);
    EXPECT_STREQ(c->first_attr->name, "y");
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
