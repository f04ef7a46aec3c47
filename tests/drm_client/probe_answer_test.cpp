// Reading ProbeMatches, Hello and Bye answers into the discovered-device record and reporting them.
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

#include <cstring>
#include <string>
#include <vector>

#include "drm_test_support.h"
#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace {

struct report {
    int32_t kind;
    drm_probe_device record;
    drm_probe_add_entry_hook add_entry;
    void* user_data;
};

std::vector<report> reports;

void record_report(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook add_entry,
                   void* user_data) {
    reports.push_back({kind, *record, add_entry, user_data});
}

void some_hook(void*, const char*, const char*, const char*, const char*, const char*, const char*,
               int32_t*) {}

int user_data_marker;

struct match_fields {
    std::string endpoint = "urn:uuid:11111111-2222-3333-4444-555566667777";
    std::string types = "dn:NetworkVideoTransmitter";
    std::string scopes = "drm://www.orvan-iot.example/hardware/X1";
    std::string xaddrs = "http://10.0.0.9/drm/device";
    std::string version = "1";
};

// A match element as devices write it; empty fields are left out.
std::string match_element(const std::string& name, const match_fields& m) {
    std::string e = "<d:" + name + ">";
    if (!m.endpoint.empty()) {
        e += "<wsa:EndpointReference><wsa:Address>" + m.endpoint + "</wsa:Address></wsa:EndpointReference>";
    }
    if (!m.types.empty()) e += "<d:Types>" + m.types + "</d:Types>";
    if (!m.scopes.empty()) e += "<d:Scopes>" + m.scopes + "</d:Scopes>";
    if (!m.xaddrs.empty()) e += "<d:XAddrs>" + m.xaddrs + "</d:XAddrs>";
    if (!m.version.empty()) e += "<d:MetadataVersion>" + m.version + "</d:MetadataVersion>";
    return e + "</d:" + name + ">";
}

std::string envelope(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
           "xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\">"
           "<SOAP-ENV:Header><wsa:Action>http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches"
           "</wsa:Action></SOAP-ENV:Header>"
           "<SOAP-ENV:Body>" +
           body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

class ProbeAnswerTest : public XmlTableTest {
  protected:
    void SetUp() override {
        XmlTableTest::SetUp();
        reports.clear();
        drm_probe_register(record_report, some_hook, &user_data_marker);
        sender_.sin_family = AF_INET;
        sender_.sin_port = htons(3702);
        sender_.sin_addr.s_addr = inet_addr("192.168.7.20");
    }

    void TearDown() override {
        drm_probe_register(nullptr, nullptr, nullptr);
        XmlTableTest::TearDown();
    }

    // Parses and reads one datagram as the listener does.
    void receive(const std::string& datagram) {
        const drm_xml_node* root = parse(datagram);
        ASSERT_NE(root, nullptr) << datagram;
        drm_probe_device_prepare(&record_, sender_);
        EXPECT_EQ(drm_probe_envelope_read(root, &record_), 1);
    }

    sockaddr_in sender_{};
    drm_probe_device record_{};
};

TEST_F(ProbeAnswerTest, ProbeMatchesGiveOneReportPerMatchOnTheSharedRecord) {
    match_fields first;
    first.scopes = " drm://www.orvan-iot.example/hardware/X1  drm://www.orvan-iot.example/name/cam%201 ";
    first.version = "7";
    match_fields second;
    second.endpoint = "urn:uuid:aaaaaaaa-bbbb-cccc-dddd-eeeeffff0000";
    second.types = "tds:Device";
    second.scopes = "drm://www.orvan-iot.example/location/hall";
    second.xaddrs = "https://10.0.0.10:8443/x";
    second.version = "";
    receive(envelope("<d:ProbeMatches>" + match_element("ProbeMatch", first) +
                     match_element("ProbeMatch", second) + "</d:ProbeMatches>"));

    ASSERT_EQ(reports.size(), 2u);
    const drm_probe_device& a = reports[0].record;
    EXPECT_EQ(reports[0].kind, DRM_PROBE_REPORT_MATCH);
    EXPECT_EQ(reports[0].add_entry, some_hook);
    EXPECT_EQ(reports[0].user_data, &user_data_marker);
    EXPECT_EQ(a.sender.sin_addr.s_addr, inet_addr("192.168.7.20"));
    EXPECT_EQ(a.sender.sin_port, htons(3702));
    EXPECT_STREQ(a.endpoint_address, first.endpoint.c_str());
    EXPECT_EQ(a.device_type, DRM_PROBE_TYPE_TRANSMITTER);
    EXPECT_EQ(a.metadata_version, 7);
    ASSERT_EQ(a.scope_count, 2);
    EXPECT_STREQ(a.scopes[1], "drm://www.orvan-iot.example/name/cam%201");
    EXPECT_STREQ(a.host, "10.0.0.9");
    EXPECT_EQ(a.port, 80);
    EXPECT_EQ(a.secure, 0);
    EXPECT_STREQ(a.path, "/drm/device");
    EXPECT_STREQ(a.types, "dn:NetworkVideoTransmitter");
    EXPECT_STREQ(a.xaddrs, "http://10.0.0.9/drm/device");

    const drm_probe_device& b = reports[1].record;
    EXPECT_EQ(reports[1].kind, DRM_PROBE_REPORT_MATCH);
    EXPECT_STREQ(b.endpoint_address, second.endpoint.c_str());
    EXPECT_EQ(b.metadata_version, 7) << "kept from the first match";
    ASSERT_EQ(b.scope_count, 3) << "the first match's scopes come first";
    EXPECT_STREQ(b.scopes[0], "drm://www.orvan-iot.example/hardware/X1");
    EXPECT_STREQ(b.scopes[2], second.scopes.c_str());
    EXPECT_STREQ(b.host, "10.0.0.10");
    EXPECT_EQ(b.port, 8443);
    EXPECT_EQ(b.secure, 1);
    EXPECT_STREQ(b.types, "tds:Device") << "each match's own texts";
    EXPECT_STREQ(b.xaddrs, "https://10.0.0.10:8443/x");
}

struct answer_case {
    const char* what;
    std::string datagram;
    std::vector<int32_t> kinds;  // reported, in order
};

TEST_F(ProbeAnswerTest, ReportsOnlyUsableMatchesOfKnownType) {
    match_fields good;
    match_fields camera;
    camera.types = "Camera";
    match_fields no_xaddrs;
    no_xaddrs.xaddrs = "";
    match_fields bad_xaddrs;
    bad_xaddrs.xaddrs = "http:///nohost";
    const std::string hello = match_element("Hello", good);
    const std::string bye =
        "<d:Bye><wsa:EndpointReference><wsa:Address>urn:uuid:1</wsa:Address>"
        "</wsa:EndpointReference></d:Bye>";

    const answer_case cases[] = {
        {"unknown type",
         envelope("<d:ProbeMatches>" + match_element("ProbeMatch", camera) + "</d:ProbeMatches>"),
         {}},
        {"no XAddrs",
         envelope("<d:ProbeMatches>" + match_element("ProbeMatch", no_xaddrs) + "</d:ProbeMatches>"),
         {}},
        {"XAddrs without a host",
         envelope("<d:ProbeMatches>" + match_element("ProbeMatch", bad_xaddrs) + "</d:ProbeMatches>"),
         {}},
        {"a bad match does not stop the next",
         envelope("<d:ProbeMatches>" + match_element("ProbeMatch", camera) +
                  match_element("ProbeMatch", good) + "</d:ProbeMatches>"),
         {DRM_PROBE_REPORT_MATCH}},
        {"the run of matches ends at another element",
         envelope("<d:ProbeMatches><d:Other/>" + match_element("ProbeMatch", good) + "<d:Other/>" +
                  match_element("ProbeMatch", good) + "</d:ProbeMatches>"),
         {DRM_PROBE_REPORT_MATCH}},
        {"ProbeMatches hides Hello and Bye",
         envelope(bye + hello + "<d:ProbeMatches>" + match_element("ProbeMatch", good) + "</d:ProbeMatches>"),
         {DRM_PROBE_REPORT_MATCH}},
        {"hello", envelope(hello), {DRM_PROBE_REPORT_HELLO}},
        {"hello of unknown type", envelope(match_element("Hello", camera)), {}},
        {"Hello hides Bye", envelope(bye + hello), {DRM_PROBE_REPORT_HELLO}},
        {"bye", envelope(bye), {DRM_PROBE_REPORT_BYE}},
        {"bye without address", envelope("<d:Bye><wsa:EndpointReference/></d:Bye>"), {}},
        {"empty body", envelope(""), {}},
        {"no body", "<?xml?><Envelope><Header/></Envelope>", {}},
        {"names in other letter case and prefixes",
         "<?xml?><e><X:BODY><y:probematches>" + match_element("PROBEMATCH", good) +
             "</y:probematches></X:BODY></e>",
         {DRM_PROBE_REPORT_MATCH}},
    };
    for (const answer_case& c : cases) {
        SCOPED_TRACE(c.what);
        reports.clear();
        receive(c.datagram);
        std::vector<int32_t> kinds;
        for (const report& r : reports) kinds.push_back(r.kind);
        EXPECT_EQ(kinds, c.kinds);
    }
}

TEST_F(ProbeAnswerTest, ByeReadsOnlyTheEndpointAddress) {
    receive(
        envelope("<d:Bye><wsa:EndpointReference><wsa:Address>urn:uuid:gone</wsa:Address>"
                 "</wsa:EndpointReference><d:Types>tds:Device</d:Types>"
                 "<d:Scopes>drm://www.orvan-iot.example/hardware/X1</d:Scopes>"
                 "<d:XAddrs>http://10.0.0.9/</d:XAddrs><d:MetadataVersion>3</d:MetadataVersion></d:Bye>"));
    ASSERT_EQ(reports.size(), 1u);
    const drm_probe_device& r = reports[0].record;
    EXPECT_STREQ(r.endpoint_address, "urn:uuid:gone");
    EXPECT_EQ(r.device_type, 0);
    EXPECT_EQ(r.scope_count, 0);
    EXPECT_EQ(r.metadata_version, 0);
    EXPECT_STREQ(r.host, "");
    EXPECT_EQ(r.port, 0);
    EXPECT_STREQ(r.types, "");
    EXPECT_STREQ(r.xaddrs, "");
}

TEST_F(ProbeAnswerTest, OverlongTextsAreCutToTheirFields) {
    match_fields m;
    m.endpoint = std::string(150, 'e');
    m.scopes = std::string(200, 's') + " b";
    m.types = "tds:Device " + std::string(300, 't');
    m.xaddrs = "http://10.0.0.9/" + std::string(300, 'p');
    m.version = "99999999999999999999";
    receive(envelope("<d:ProbeMatches>" + match_element("ProbeMatch", m) + "</d:ProbeMatches>"));
    ASSERT_EQ(reports.size(), 1u);
    const drm_probe_device& r = reports[0].record;
    EXPECT_EQ(std::string(r.endpoint_address), std::string(99, 'e'));
    ASSERT_EQ(r.scope_count, 2);
    EXPECT_EQ(std::string(r.scopes[0]), std::string(127, 's'));
    EXPECT_STREQ(r.scopes[1], "b");
    EXPECT_EQ(std::string(r.path), "/" + std::string(126, 'p'));
    EXPECT_EQ(std::string(r.types), m.types.substr(0, DRM_PROBE_TYPES_SIZE - 1));
    EXPECT_EQ(std::string(r.xaddrs), m.xaddrs.substr(0, DRM_PROBE_XADDRS_SIZE - 1));
    EXPECT_EQ(r.metadata_version, INT32_MAX);
}

TEST_F(ProbeAnswerTest, ReportsAreDroppedWithoutACallback) {
    drm_probe_register(nullptr, some_hook, &user_data_marker);
    receive(envelope(match_element("Hello", match_fields{})));
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProbeAnswerTest, ReadingNothingIsHarmless) {
    drm_probe_device_prepare(&record_, sender_);
    EXPECT_EQ(drm_probe_envelope_read(nullptr, &record_), 1);
    EXPECT_EQ(drm_probe_match_read(nullptr, &record_), 0);
    EXPECT_TRUE(reports.empty());
}

struct types_case {
    const char* types;
    int32_t type;
};

TEST(ProbeTypesTest, ClassifiesByItemThenBySubstring) {
    const types_case cases[] = {
        {"tds:Device", DRM_PROBE_TYPE_TRANSMITTER},
        {"dn:NetworkVideoTransmitter", DRM_PROBE_TYPE_TRANSMITTER},
        {"NetworkVideoStorage", DRM_PROBE_TYPE_STORAGE},
        {"abc:networkvideodisplay", DRM_PROBE_TYPE_DISPLAY},
        {"x:NETWORKVIDEOANALYTICS", DRM_PROBE_TYPE_ANALYTICS},
        {"MyDeviceKind", DRM_PROBE_TYPE_TRANSMITTER},
        {"Camera", DRM_PROBE_TYPE_NONE},
        {"", DRM_PROBE_TYPE_NONE},
        {"networkvideostoragebox", DRM_PROBE_TYPE_NONE},
        // The first item naming a type decides, before any substring rule.
        {"Camera dn:NetworkVideoDisplay tds:Device", DRM_PROBE_TYPE_DISPLAY},
        {"MyDevice  x:NetworkVideoStorage", DRM_PROBE_TYPE_STORAGE},
        // Only the space separates items.
        {"tds:Device\tdn:NetworkVideoDisplay", DRM_PROBE_TYPE_TRANSMITTER},
        {"dn:NetworkVideoDisplay\tx", DRM_PROBE_TYPE_DISPLAY},
        {"NetworkVideoDisplayBox", DRM_PROBE_TYPE_DISPLAY},
    };
    for (const types_case& c : cases) {
        SCOPED_TRACE(c.types);
        EXPECT_EQ(drm_probe_types_classify(c.types), c.type);
    }
    EXPECT_EQ(drm_probe_types_classify(nullptr), DRM_PROBE_TYPE_NONE);
}

TEST(ProbeScopesTest, SplitsAtSpacesUpToOneHundredItems) {
    drm_probe_device record{};
    drm_probe_scopes_append(&record, "   a  b\tc\nd ");
    ASSERT_EQ(record.scope_count, 2);
    EXPECT_STREQ(record.scopes[0], "a");
    EXPECT_STREQ(record.scopes[1], "b\tc\nd");

    std::string many;
    for (int i = 0; i < 130; ++i) many += "s" + std::to_string(i) + " ";
    drm_probe_scopes_append(&record, many.c_str());
    EXPECT_EQ(record.scope_count, DRM_PROBE_MAX_SCOPES);
    EXPECT_STREQ(record.scopes[99], "s97");
    drm_probe_scopes_append(&record, "more");
    EXPECT_EQ(record.scope_count, DRM_PROBE_MAX_SCOPES);
}

}  // namespace
