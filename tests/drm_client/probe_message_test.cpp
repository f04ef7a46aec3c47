// The probe datagram and its message ids.
#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "drm_test_support.h"
#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace {

constexpr const char* kUuid = "0123abcd-4567-89ef-0123-456789abcdef";

// The exact bytes devices are known to answer to.
constexpr const char* kExpectedProbe =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Envelope xmlns:tds=\"http://www.orvan-iot.example/ver10/device/wsdl\" "
    "xmlns=\"http://www.w3.org/2003/05/soap-envelope\"><Header>"
    "<wsa:MessageID xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\">"
    "uuid:0123abcd-4567-89ef-0123-456789abcdef</wsa:MessageID>"
    "<wsa:To xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\">"
    "urn:schemas-xmlsoap-org:ws:2005:04:discovery</wsa:To>"
    "<wsa:Action xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\">"
    "http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe</wsa:Action></Header>"
    "<Body><Probe xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\">"
    "<Types>tds:Device</Types><Scopes /></Probe></Body></Envelope>";

std::string probe_for(const char* uuid) {
    char buffer[DRM_PROBE_SEND_BUFFER_SIZE];
    int32_t length = drm_probe_text_format(buffer, sizeof buffer, uuid);
    if (length < 0) return {};
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(buffer));
    return std::string(buffer, static_cast<size_t>(length));
}

bool is_uuid_text(const std::string& text) {
    if (text.size() != 36) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-'
                 : !std::isxdigit(static_cast<unsigned char>(text[i])) || std::isupper(text[i])) {
            return false;
        }
    }
    return true;
}

TEST(ProbeTextTest, IsTheExactProbeWithTheMessageId) {
    const std::string probe = probe_for(kUuid);
    EXPECT_EQ(probe, kExpectedProbe);
    EXPECT_EQ(probe.find_first_of("\r\n\t"), std::string::npos);
    EXPECT_EQ(probe.find('\''), std::string::npos);
    EXPECT_EQ(probe.find("?>"), 36u) << "the declaration is 38 characters";
}

TEST(ProbeTextTest, DiffersOnlyInTheMessageId) {
    std::string first = probe_for(kUuid);
    std::string second = probe_for("ffffffff-ffff-ffff-ffff-fffffffffff0");
    ASSERT_EQ(first.size(), second.size());
    size_t at = first.find(kUuid);
    ASSERT_NE(at, std::string::npos);
    second.replace(at, std::strlen(kUuid), kUuid);
    EXPECT_EQ(first, second);
}

TEST(ProbeTextTest, RefusesABufferItDoesNotFit) {
    const size_t needed = std::strlen(kExpectedProbe) + 1;
    std::vector<char> buffer(needed);
    EXPECT_EQ(drm_probe_text_format(buffer.data(), needed - 1, kUuid), -1);
    EXPECT_EQ(drm_probe_text_format(buffer.data(), needed, kUuid), static_cast<int32_t>(needed - 1));
    EXPECT_EQ(drm_probe_text_format(buffer.data(), needed, nullptr), -1);
}

using ProbeTextTreeTest = XmlTableTest;

TEST_F(ProbeTextTreeTest, ReadsBackAsAProbeForDevices) {
    const drm_xml_node* root = parse(probe_for(kUuid));
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->name, "Envelope");
    const drm_xml_node* header = drm_xml_node_child(root, "Header");
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(child_count(header), 3);
    EXPECT_EQ(text_of(drm_xml_node_child(header, "MessageID")), std::string("uuid:") + kUuid);
    EXPECT_EQ(text_of(drm_xml_node_child(header, "To")), "urn:schemas-xmlsoap-org:ws:2005:04:discovery");
    for (const drm_xml_node* h = header->first_child; h != nullptr; h = h->next_sibling) {
        SCOPED_TRACE(h->name);
        ASSERT_EQ(attribute_count(h), 1);
        EXPECT_STREQ(h->first_attr->name, "xmlns:wsa");
    }
    const drm_xml_node* probe = drm_xml_node_child(drm_xml_node_child(root, "Body"), "Probe");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(text_of(drm_xml_node_child(probe, "Types")), "tds:Device");
    const drm_xml_node* scopes = drm_xml_node_child(probe, "Scopes");
    ASSERT_NE(scopes, nullptr);
    EXPECT_EQ(scopes->text, nullptr);
    EXPECT_EQ(scopes->next_sibling, nullptr);
}

TEST(ProbeUuidTest, IdsMadeInTheSameSecondDiffer) {
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        char buffer[DRM_PROBE_UUID_SIZE];
        std::memset(buffer, 'z', sizeof buffer);
        ASSERT_EQ(drm_probe_uuid_make(buffer), buffer);
        const std::string uuid = buffer;
        EXPECT_TRUE(is_uuid_text(uuid)) << uuid;
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 50u);
}

}  // namespace
