// What the in-place reader accepts, the trees it builds and how it treats hostile input.
#include <cstring>
#include <string>

#include "drm_test_support.h"

namespace {

using XmlReaderTest = XmlTableTest;

struct acceptance_case {
    const char* what;
    std::string document;
    const char* root;  // name of the returned root, or null when the parse must fail
};

TEST_F(XmlReaderTest, AcceptsOnlyWellFormedDocumentsOfItsNarrowDialect) {
    const acceptance_case cases[] = {
        {"declaration then root", "<?xml version=\"1.0\"?><a/>", "a"},
        {"white space around declaration", " \r\n\t<?xml?>\n <a> </a>\n", "a"},
        {"no declaration, s: tag with quoted attribute", "<s:Envelope xmlns:s=\"u\"><s:Body/></s:Envelope>",
         "s:Envelope"},
        {"no declaration, other prefix", "<e:Envelope xmlns:e=\"u\"></e:Envelope>", nullptr},
        {"no declaration, s: tag without quote before >", "<s:Envelope></s:Envelope>", nullptr},
        {"no declaration, quote pair is the last byte", "<s:E x=\"\">", nullptr},
        {"declaration is the whole document", "<?xml version=\"1.0\"?>", nullptr},
        {"unterminated declaration", "<?xml version=\"1.0\" <a/>", nullptr},
        {"empty document", "", nullptr},
        {"only white space", " \n\t", nullptr},
        {"end tag case ignored", "<?xml?><a></A>", "a"},
        {"end tag with white space", "<?xml?><a></ a >", "a"},
        {"wrong end tag", "<?xml?><a></b>", nullptr},
        {"end tag without open element", "<?xml?></a>", nullptr},
        {"text then child element", "<?xml?><a>x<b/></a>", nullptr},
        {"child element then text", "<?xml?><a><b/>x</a>", nullptr},
        {"comment between elements", "<?xml?><a><!-- <b> --><c/><!----></a>", "a"},
        {"comment inside text", "<?xml?><a>x<!-- c --></a>", nullptr},
        {"unterminated comment", "<?xml?><a><!-- c", nullptr},
        {"unterminated comment ending in markup", "<?xml?><a><!--<b", nullptr},
        {"markup after the outermost element is not read", "<?xml?><a></a>junk", "a"},
        {"self-closing root ends the document", "<?xml?><a/><b", "a"},
        {"junk after a root closed right after its text", "<?xml?><a>x</a>junk", nullptr},
        {"character data where markup is expected", "<?xml?>x<a/>", nullptr},
        {"element left open", "<?xml?><a><b></b>", nullptr},
        {"input ends in a start tag name", "<?xml?><a", nullptr},
        {"input ends in attributes", "<?xml?><a x=\"1\"", nullptr},
        {"input ends in a quoted value", "<?xml?><a x=\"1/>", nullptr},
        {"input ends in a bare value", "<?xml?><a x=1", nullptr},
        {"input ends after =", "<?xml?><a x=", nullptr},
        {"input ends in an end tag", "<?xml?><a></a", nullptr},
        {"input ends in text", "<?xml?><a>text", nullptr},
        {"input ends after text's <", "<?xml?><a>text<", nullptr},
        {"slash alone is part of a name", "<?xml?><a/b></a/b>", "a/b"},
        {"second processing instruction opens an element", "<?xml?><a><?pi x?></a>", nullptr},
    };
    for (const acceptance_case& c : cases) {
        SCOPED_TRACE(c.what);
        const drm_xml_node* root = parse(c.document);
        if (c.root == nullptr) {
            EXPECT_EQ(root, nullptr);
        } else {
            ASSERT_NE(root, nullptr);
            EXPECT_STREQ(root->name, c.root);
            EXPECT_EQ(root->closed, 1);
            EXPECT_EQ(root->parent, nullptr);
        }
    }
}

TEST_F(XmlReaderTest, ElementTextDropsLeadingWhiteSpaceAndKeepsTrailing) {
    const drm_xml_node* root = parse("<?xml?><a><b>x</b><c> x y </c><d>\r\n</d></a>");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(child_count(root), 3);
    const drm_xml_node* b = root->first_child;
    EXPECT_STREQ(b->name, "b");
    EXPECT_STREQ(b->text, "x");
    EXPECT_EQ(b->text_length, 1);
    const drm_xml_node* c = b->next_sibling;
    EXPECT_STREQ(c->text, "x y ");
    EXPECT_EQ(c->text_length, 4);
    EXPECT_EQ(c->next_sibling->text, nullptr) << "white space alone is no text";
    EXPECT_EQ(root->text, nullptr);
    EXPECT_EQ(root->last_child, c->next_sibling);
    EXPECT_EQ(c->prev_sibling, b);
    EXPECT_EQ(c->parent, root);
}

TEST_F(XmlReaderTest, TreeHoldsOneClosedNodePerElementAndAttribute) {
    const drm_xml_node* root = parse("<?xml?><a x=\"1\"><b/><c>t</c></a>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(table_.count, 4);
    EXPECT_EQ(table_.items[0], root);
    for (int32_t i = 0; i < table_.count; ++i) {
        SCOPED_TRACE(table_.items[i]->name);
        if (table_.items[i]->type == DRM_XML_NODE_ELEMENT) {
            EXPECT_EQ(table_.items[i]->closed, 1);
        }
    }
    ASSERT_EQ(attribute_count(root), 1);
    EXPECT_EQ(root->first_attr->type, DRM_XML_NODE_ATTRIBUTE);
    EXPECT_EQ(root->first_attr->parent, nullptr);
    EXPECT_EQ(root->first_child->first_child, nullptr);
}

struct attribute_case {
    const char* what;
    std::string document;
    std::vector<std::pair<std::string, std::string>> attributes;  // of the root, in order
    const char* root_text;                                        // expected text of the root, or null
};

TEST_F(XmlReaderTest, ReadsQuotedAndBareAttributeValues) {
    const attribute_case cases[] = {
        {"quoted and bare", "<?xml?><a x=\"1 2\" y=3/>", {{"x", "1 2"}, {"y", "3"}}, nullptr},
        {"single quotes belong to a bare value", "<?xml?><a v='1'/>", {{"v", "'1'"}}, nullptr},
        {"white space before = stays in the name", "<?xml?><a k =\"3\"/>", {{"k ", "3"}}, nullptr},
        {"quoted value without space before the next",
         "<?xml?><a x=\"1\"y=\"2\"/>",
         {{"x", "1"}, {"y", "2"}},
         nullptr},
        {"bare value ended by > opens the element", "<?xml?><a x=1>t</a>", {{"x", "1"}}, "t"},
        {"bare value keeps a slash not followed by >",
         "<?xml?><a x=1/2 y=3/>",
         {{"x", "1/2"}, {"y", "3"}},
         nullptr},
        {"markup characters inside quotes", "<?xml?><a x=\"<b/>\"/>", {{"x", "<b/>"}}, nullptr},
        {"valueless name at the tag end is dropped", "<?xml?><a x=1 flag/>", {{"x", "1"}}, nullptr},
        {"empty value ends the attribute list", "<?xml?><a x=\"\" y=\"2\"/>", {}, nullptr},
        {"empty name ends the attribute list", "<?xml?><a =\"1\" y=\"2\"/>", {}, nullptr},
    };
    for (const attribute_case& c : cases) {
        SCOPED_TRACE(c.what);
        const drm_xml_node* root = parse(c.document);
        ASSERT_NE(root, nullptr);
        std::vector<std::pair<std::string, std::string>> got;
        for (const drm_xml_node* a = root->first_attr; a != nullptr; a = a->next_sibling) {
            EXPECT_EQ(a->text_length, static_cast<int32_t>(std::strlen(a->text)));
            got.emplace_back(a->name, a->text);
        }
        EXPECT_EQ(got, c.attributes);
        if (c.root_text != nullptr) {
            EXPECT_STREQ(root->text, c.root_text);
        }
        if (!c.attributes.empty()) {
            EXPECT_EQ(root->last_attr->name, got.back().first);
        }
    }
}

TEST_F(XmlReaderTest, KeepsTheFirst99AttributesOfATag) {
    for (int32_t written : {98, 99, 100, 120}) {
        SCOPED_TRACE(written);
        std::string doc = "<?xml?><a";
        for (int32_t i = 0; i < written; ++i)
            doc += " n" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
        doc += "><b/></a>";
        const drm_xml_node* root = parse(doc);
        ASSERT_NE(root, nullptr);
        const int32_t kept = written < 99 ? written : 99;
        EXPECT_EQ(attribute_count(root), kept);
        EXPECT_STREQ(root->last_attr->name, ("n" + std::to_string(kept - 1)).c_str());
        // The pairs are emptied after each tag: the child gets none of them.
        EXPECT_EQ(root->first_child->first_attr, nullptr);
    }
}

TEST_F(XmlReaderTest, NestingIsLimitedTo1023Elements) {
    use_capacity(2000);
    for (int32_t depth : {1023, 1024, 5000}) {
        SCOPED_TRACE(depth);
        std::string doc = "<?xml?>";
        for (int32_t i = 0; i < depth; ++i) doc += "<e>";
        for (int32_t i = 0; i < depth; ++i) doc += "</e>";
        const drm_xml_node* root = parse(doc);
        if (depth > DRM_XML_MAX_DEPTH) {
            EXPECT_EQ(root, nullptr);
            continue;
        }
        ASSERT_NE(root, nullptr);
        int32_t levels = 1;
        for (const drm_xml_node* n = root->first_child; n != nullptr; n = n->first_child) ++levels;
        EXPECT_EQ(levels, depth);
        drm_xml_node_detach(const_cast<drm_xml_node*>(root));
    }
}

TEST_F(XmlReaderTest, TopLevelMarkupAfterARootClosedByItsTextBecomesItsChildren) {
    const drm_xml_node* root = parse("<?xml?><a>x</a><b>y</b><c/><d/>");
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->name, "a");
    ASSERT_EQ(child_count(root), 2);
    EXPECT_STREQ(root->first_child->name, "b");
    EXPECT_STREQ(root->last_child->name, "c");
}

TEST_F(XmlReaderTest, NamesAndTextsAreTerminatedInsideTheDocument) {
    xml_document doc("<?xml?><a x=\"1\">hi</a>");
    const char* begin = doc.data();
    const char* end = begin + doc.length();
    const drm_xml_node* root = drm_xml_parse(&table_, doc.data(), doc.length());
    ASSERT_NE(root, nullptr);
    for (const char* p : {root->name, root->text, root->first_attr->name, root->first_attr->text}) {
        EXPECT_GE(p, begin);
        EXPECT_LT(p, end);
    }
    EXPECT_EQ(std::string(doc.data(), 10), std::string("<?xml?><a\0", 10));
}

TEST_F(XmlReaderTest, RejectsMissingTableOrDocument) {
    char doc[] = "<?xml?><a/>";
    EXPECT_EQ(drm_xml_parse(nullptr, doc, 11), nullptr);
    EXPECT_EQ(drm_xml_parse(&table_, nullptr, 11), nullptr);
    EXPECT_EQ(drm_xml_parse(&table_, doc, -1), nullptr);
}

TEST_F(XmlReaderTest, FailedParseDetachesThePartialTree) {
    EXPECT_EQ(parse("<?xml?><a><b><c/><d/>"), nullptr);
    ASSERT_EQ(table_.count, 4);
    const drm_xml_node* a = table_.items[0];
    const drm_xml_node* b = table_.items[1];
    EXPECT_EQ(a->first_child, nullptr) << "the open element b is unlinked from a";
    EXPECT_EQ(b->first_child, nullptr) << "and its children from b";
    EXPECT_EQ(b->last_child, nullptr);
}

struct name_case {
    const char* name;
    const char* wanted;
    bool match;
};

// Every way of asking - texts, a NUL-terminated name, a wanted name made once, a child looked up
// alone or with others - gives the same answer.
TEST_F(XmlReaderTest, NamesMatchIgnoringPrefixAndLetterCaseWhicheverWayTheyAreAsked) {
    const name_case cases[] = {
        {"s:Body", "Body", true},
        {"BODY", "body", true},
        {"s:body", "BODY", true},
        {"x:device", "tds:Device", true},
        {"Device", "tds:Device", true},
        {"tds:Device", "tds:Device", true},
        {"tds:Devices", "tds:Device", false},
        {"Bodyx", "Body", false},
        {"Bod", "Body", false},
        {"x:Bod", "Body", false},
        {"a:b:c", "x:b:c", true},
        {"a:b:c", "c", false},
        {"a:b:c", "b:c", false},
        {"b:c", "a:b:c", false},
        {"a:b", "b:a", false},
        {"a:", "b:", true},
        {":Body", "Body", true},
        {"Body", ":Body", true},
        {"", "Body", false},
        {"Body", "", false},
    };
    for (const name_case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.wanted);
        EXPECT_EQ(drm_xml_name_match(c.name, c.wanted), c.match);
        EXPECT_EQ(drm_xml_name_match(std::string_view(c.name), std::string_view(c.wanted)), c.match);
        EXPECT_EQ(drm_xml_name_match(std::string_view(c.name), drm_xml_wanted_name(c.wanted)), c.match);
        EXPECT_EQ(drm_xml_name_match(c.name, drm_xml_wanted_name(c.wanted)), c.match);
        if (c.name[0] == '\0') continue;  // an element always has a name
        // The child sits behind one that matches nothing, so a lookup must pass over it.
        const drm_xml_node* root = parse(std::string("<?xml?><r><zz:Other/><") + c.name + "/></r>");
        ASSERT_NE(root, nullptr);
        const drm_xml_node* child = root->first_child->next_sibling;
        EXPECT_EQ(drm_xml_node_child(root, c.wanted), c.match ? child : nullptr);
        const drm_xml_wanted_name wanted[] = {drm_xml_wanted_name("zz:Other"), drm_xml_wanted_name(c.wanted)};
        const drm_xml_node* found[2] = {};
        drm_xml_node_children(root, wanted, found);
        EXPECT_EQ(found[0], root->first_child);
        EXPECT_EQ(found[1], c.match ? child : nullptr);
    }
    EXPECT_FALSE(drm_xml_name_match(static_cast<const char*>(nullptr), "Body"));
    EXPECT_FALSE(drm_xml_name_match(static_cast<const char*>(nullptr), drm_xml_wanted_name("Body")));
    EXPECT_FALSE(drm_xml_name_match("Body", static_cast<const char*>(nullptr)));
    EXPECT_EQ(drm_xml_node_child(nullptr, "Body"), nullptr);
}

TEST_F(XmlReaderTest, ChildrenLookedUpTogetherAreEachTheFirstOfTheirName) {
    const drm_xml_node* root = parse("<?xml?><r><a:X>1</a:X><Y>2</Y><b:x>3</b:x><y>4</y></r>");
    ASSERT_NE(root, nullptr);
    const drm_xml_wanted_name wanted[] = {drm_xml_wanted_name("y"), drm_xml_wanted_name("Z"),
                                          drm_xml_wanted_name("x")};
    const drm_xml_node* found[3] = {root, root, root};
    drm_xml_node_children(root, wanted, found);
    EXPECT_EQ(text_of(found[0]), "2");
    EXPECT_EQ(found[1], nullptr) << "a name no child has is found as null";
    EXPECT_EQ(text_of(found[2]), "1");
    const drm_xml_node* none[2] = {root, root};
    drm_xml_node_children(nullptr, std::span(wanted, 2), none);
    EXPECT_EQ(none[0], nullptr);
    EXPECT_EQ(none[1], nullptr);
}

}  // namespace
