// Reading ProbeMatches, Hello and Bye answers into the discovered-device record and reporting them.
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "drm_test_support.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
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
        xml_document bytes(datagram);
        ASSERT_TRUE(drm_probe_datagram_read(&table_, bytes.data(), bytes.length(),
                                            drm_probe_origin{.sender = sender_}, &record_))
            << datagram;
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

TEST_F(ProbeAnswerTest, TheDatagramsOriginIsInEveryReport) {
    const drm_probe_origin origin{
        .sender = sender_, .arrival_if_addr = inet_addr("192.168.7.1"), .unicast = true};
    xml_document bytes(envelope("<d:ProbeMatches>" + match_element("ProbeMatch", match_fields{}) +
                                match_element("ProbeMatch", match_fields{}) + "</d:ProbeMatches>"));
    ASSERT_TRUE(drm_probe_datagram_read(&table_, bytes.data(), bytes.length(), origin, &record_));
    ASSERT_EQ(reports.size(), 2u);
    for (const report& r : reports) {
        EXPECT_EQ(r.record.sender.sin_addr.s_addr, inet_addr("192.168.7.20"));
        EXPECT_EQ(r.record.sender.sin_port, htons(3702));
        EXPECT_EQ(r.record.arrival_if_addr, inet_addr("192.168.7.1"));
        EXPECT_EQ(r.record.answered_unicast, 1);
    }
}

TEST_F(ProbeAnswerTest, BytesThatAreNoDocumentReportNothingAndLeaveTheRecord) {
    receive(envelope(match_element("Hello", match_fields{})));
    const drm_probe_device before = record_;
    reports.clear();
    for (const std::string& bytes : {std::string(), std::string("<d:Hello>"), std::string(40, '\0')}) {
        SCOPED_TRACE(bytes.size());
        xml_document document(bytes);
        EXPECT_FALSE(drm_probe_datagram_read(&table_, document.data(), document.length(), drm_probe_origin{},
                                             &record_));
        EXPECT_TRUE(reports.empty());
        EXPECT_EQ(std::memcmp(&record_, &before, sizeof before), 0);
    }
}

TEST_F(ProbeAnswerTest, ReadingNothingIsHarmless) {
    drm_probe_device_prepare(&record_, sender_);
    EXPECT_EQ(drm_probe_envelope_read(nullptr, &record_), 1);
    EXPECT_EQ(drm_probe_match_read(nullptr, &record_), 0);
    EXPECT_TRUE(reports.empty());
}

// What a report shows of the record, field by field, so that a difference reads as one.
std::string shown(const drm_probe_device& r) {
    std::string text = "sender " + std::to_string(r.sender.sin_addr.s_addr) + ":" +
                       std::to_string(r.sender.sin_port) + " arrival " + std::to_string(r.arrival_if_addr) +
                       " unicast " + std::to_string(r.answered_unicast) + " type " +
                       std::to_string(r.device_type) + " endpoint " + r.endpoint_address + " version " +
                       std::to_string(r.metadata_version) + " scopes " + std::to_string(r.scope_count) + " [";
    for (int32_t i = 0; i < r.scope_count && i < DRM_PROBE_MAX_SCOPES; ++i)
        text += std::string(r.scopes[i]) + " ";
    return text + "] secure " + std::to_string(r.secure) + " port " + std::to_string(r.port) + " host " +
           r.host + " path " + r.path + " types " + r.types + " xaddrs " + r.xaddrs;
}

struct received {
    std::string datagram;
    drm_probe_origin origin;
};

// What reading a datagram gave: its reports and the record it left.
struct reading {
    std::vector<report> reports;
    std::unique_ptr<drm_probe_device> record;
};

// The reused parts of a listener: one receive buffer, node table and record for every datagram.
class listener_parts {
  public:
    listener_parts()
        : buffer_(LIBDRM_CLIENT_MAX_DATAGRAM + 1), record_(std::make_unique<drm_probe_device>()) {
        drm_xml_node_table_create(&table_, LIBDRM_CLIENT_NODE_CAPACITY);
    }
    ~listener_parts() { drm_xml_node_table_release(&table_); }
    listener_parts(const listener_parts&) = delete;
    listener_parts& operator=(const listener_parts&) = delete;

    reading receive(const received& r) {
        reports.clear();
        std::copy(r.datagram.begin(), r.datagram.end(), buffer_.begin());
        EXPECT_TRUE(drm_probe_datagram_read(&table_, buffer_.data(), static_cast<int32_t>(r.datagram.size()),
                                            r.origin, record_.get()));
        return {reports, std::make_unique<drm_probe_device>(*record_)};
    }

  private:
    std::vector<char> buffer_;
    drm_xml_node_table table_{};
    std::unique_ptr<drm_probe_device> record_;
};

void expect_same(const drm_probe_device& after_another, const drm_probe_device& alone) {
    EXPECT_EQ(shown(after_another), shown(alone));
    EXPECT_EQ(std::memcmp(&after_another, &alone, sizeof alone), 0) << "the bytes past the texts differ";
}

// The record is reused from one datagram to the next but cleared only where reading writes: whatever
// an earlier datagram left, a datagram must give exactly what it gives read first.
TEST_F(ProbeAnswerTest, ADatagramGivesTheSameAfterAnyOtherAsAlone) {
    sockaddr_in other_sender = sender_;
    other_sender.sin_addr.s_addr = inet_addr("10.1.2.3");
    other_sender.sin_port = htons(51000);
    const drm_probe_origin multicast{.sender = sender_, .arrival_if_addr = inet_addr("192.168.7.1")};
    const drm_probe_origin unicast{.sender = other_sender, .unicast = true};

    match_fields full;
    full.scopes =
        "drm://www.orvan-iot.example/hardware/X1 drm://www.orvan-iot.example/name/cam%201 "
        "drm://www.orvan-iot.example/location/hall";
    full.version = "7";
    full.xaddrs = "https://10.0.0.10:8443/onvif/device_service";
    match_fields bare;
    bare.endpoint = "urn:uuid:2";
    bare.scopes = "";
    bare.version = "";
    bare.xaddrs = "http://10.0.0.2";
    match_fields no_type = full;
    no_type.types = "";
    match_fields long_texts;
    long_texts.endpoint = std::string(150, 'e');
    long_texts.types = "tds:Device " + std::string(300, 't');
    long_texts.scopes = std::string(200, 's') + " " + std::string(127, 'z');
    long_texts.xaddrs = "http://10.0.0.9:8080/" + std::string(300, 'p');
    long_texts.version = "99999999999999999999";
    match_fields many_scopes;
    for (int i = 0; i < 130; ++i)
        many_scopes.scopes += "drm://www.orvan-iot.example/name/s" + std::to_string(i) + " ";
    match_fields many_xaddrs;
    many_xaddrs.xaddrs =
        "http://169.254.1.1/link-local http://camera.example:8081/named "
        "https://10.0.0.5:8443/secure http://10.0.0.6/last";
    match_fields named_host;
    named_host.xaddrs = "http://169.254.1.1:81/a http://camera.example:8081/only-candidates-with-names";
    match_fields too_short;
    too_short.xaddrs = "http://";
    const std::string bye =
        "<d:Bye><wsa:EndpointReference><wsa:Address>urn:uuid:gone</wsa:Address></wsa:EndpointReference></"
        "d:Bye>";
    const auto matches = [](std::initializer_list<match_fields> list) {
        std::string body = "<d:ProbeMatches>";
        for (const match_fields& m : list) body += match_element("ProbeMatch", m);
        return envelope(body + "</d:ProbeMatches>");
    };

    struct pair_case {
        const char* what;
        received a;
        received b;
    };
    const pair_case cases[] = {
        {"every optional field / only the required ones",
         {matches({full}), unicast},
         {matches({bare}), multicast}},
        {"a type / none", {matches({full}), multicast}, {matches({no_type}), multicast}},
        {"long texts cut to their fields / short ones",
         {matches({long_texts}), unicast},
         {matches({bare}), unicast}},
        {"a hundred scopes / none", {matches({many_scopes}), multicast}, {matches({bare}), multicast}},
        {"a hundred scopes / three", {matches({many_scopes}), multicast}, {matches({full}), multicast}},
        {"many XAddrs / one", {matches({many_xaddrs}), multicast}, {matches({bare}), multicast}},
        {"XAddrs of names only / one address",
         {matches({named_host}), multicast},
         {matches({full}), unicast}},
        {"an XAddrs with a host / one too short to name one",
         {matches({full}), multicast},
         {matches({too_short}), multicast}},
        {"three matches / one",
         {matches({full, many_xaddrs, long_texts}), multicast},
         {matches({bare}), unicast}},
        {"a Hello / a Bye", {envelope(match_element("Hello", full)), multicast}, {envelope(bye), multicast}},
        {"a Hello / a match of no known type",
         {envelope(match_element("Hello", long_texts)), unicast},
         {matches({no_type}), multicast}},
        {"an empty body / an answer", {envelope(""), unicast}, {matches({full}), multicast}},
    };
    for (const pair_case& c : cases) {
        for (const bool reversed : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (reversed ? ", the other way round" : ""));
            const received& first = reversed ? c.b : c.a;
            const received& second = reversed ? c.a : c.b;
            listener_parts fresh;
            const reading alone = fresh.receive(second);
            listener_parts reused;
            reused.receive(first);
            const reading after_another = reused.receive(second);

            ASSERT_EQ(after_another.reports.size(), alone.reports.size());
            for (size_t i = 0; i < alone.reports.size(); ++i) {
                SCOPED_TRACE("report " + std::to_string(i));
                EXPECT_EQ(after_another.reports[i].kind, alone.reports[i].kind);
                expect_same(after_another.reports[i].record, alone.reports[i].record);
            }
            expect_same(*after_another.record, *alone.record);
        }
    }
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
