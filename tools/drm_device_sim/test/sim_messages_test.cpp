#include "sim_messages.h"

#include <gtest/gtest.h>

#include <random>

#include "probe_client.h"
#include "sim_config.h"
#include "sim_hostile.h"

namespace orvan::sim {
namespace {

TEST(SimMessagesTest, OnlyAProbeInTheDiscoveryNamespaceIsAnswered) {
    const std::string d = "http://schemas.xmlsoap.org/ws/2005/04/discovery";
    struct Case {
        const char* what;
        std::string datagram;
        bool probe;
        const char* message_id;
    } cases[] = {
        {"a finder's probe", testing::ProbeText("uuid:abc"), true, "uuid:abc"},
        {"a prefixed probe with a spaced id",
         "<e:Envelope xmlns:dd='" + d +
             "'><e:Header><a:MessageID>\n uuid:x \n</a:MessageID></e:Header>"
             "<e:Body><dd:Probe/></e:Body></e:Envelope>",
         true, "uuid:x"},
        {"a probe without an id", "<Probe xmlns=\"" + d + "\"/>", true, ""},
        {"an answer", "<d:ProbeMatches xmlns:d=\"" + d + "\"><d:ProbeMatch/></d:ProbeMatches>", false, ""},
        {"a probe of another namespace", "<Probe xmlns=\"http://example.org/other\"/>", false, ""},
        {"a prefix bound elsewhere", "<x:Probe xmlns:x=\"urn:other\" xmlns:d=\"" + d + "\"/>", false, ""},
        {"cut before the probe", testing::ProbeText("uuid:abc").substr(0, 400), false, ""},
        {"a lone bracket", "<", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<Probe> probe = ParseProbe(c.datagram);
        ASSERT_EQ(probe.has_value(), c.probe);
        if (probe) {
            EXPECT_EQ(probe->message_id, c.message_id);
        }
    }
    std::mt19937_64 rng(1);
    for (size_t i = 0; i < 40; ++i) {
        EXPECT_FALSE(ParseProbe(HostileDatagram(i, rng)))
            << "flood datagram " << i << " must not trigger answers";
    }
}

TEST(SimMessagesTest, TextsAreEncodedForScopesAndXml) {
    Device d;
    d.uuid = DeviceUuid(7, 5);
    d.model = "A B/C";
    d.name = "<&>";
    d.location = "caf\xc3\xa9";
    d.manufacturer = "M";
    d.types = "tds:Device";
    d.xaddrs = "http://1.2.3.4/x";
    d.extra_scopes = {"raw%zz"};
    const std::string s = std::string("drm://") + kScopeAuthority + "/";
    EXPECT_EQ(Scopes(d), (std::vector<std::string>{s + "hardware/A%20B%2FC", s + "location/caf%C3%A9",
                                                   s + "manufacturer/M", s + "name/%3C%26%3E", "raw%zz"}));
    d.hardware_scope = false;
    EXPECT_EQ(Scopes(d).front(), s + "location/caf%C3%A9");

    d.extra_scopes = {"a<b"};
    MessageWriter writer(1);
    std::string hello = writer.Hello(d);
    EXPECT_NE(hello.find(" a&lt;b</d:Scopes>"), std::string::npos);
    std::string answer = writer.ProbeMatches(d, "uuid:<id>", d.model);
    EXPECT_EQ(testing::ElementText(answer, "RelatesTo"), "uuid:&lt;id&gt;");
}

TEST(SimMessagesTest, OversizeAnswersStayWellFormed) {
    Device d;
    d.uuid = DeviceUuid(1, 0);
    MessageWriter writer(1);
    std::string normal = writer.ProbeMatches(d, "uuid:1", "M");
    std::string big = writer.ProbeMatches(d, "uuid:1", "M", 12000);
    std::printf("answer %zu bytes, oversize %zu bytes\n", normal.size(), big.size());
    EXPECT_LT(normal.size(), kLargestAnswerAFinderReads);
    EXPECT_GE(big.size(), 12000u);
    EXPECT_TRUE(
        big.ends_with("</d:Scopes><d:XAddrs></d:XAddrs><d:MetadataVersion>1</d:MetadataVersion>"
                      "</d:ProbeMatch></d:ProbeMatches></SOAP-ENV:Body></SOAP-ENV:Envelope>"));
}

TEST(SimMessagesTest, DeviceUuidsAreDistinctAndEndInTheDocumentedMac) {
    EXPECT_TRUE(DeviceUuid(7, 5).ends_with("-020700000005"));
    EXPECT_NE(DeviceUuid(7, 5).substr(0, 23), DeviceUuid(7, 6).substr(0, 23));
    EXPECT_NE(DeviceUuid(7, 5), DeviceUuid(8, 5));
    Device d;
    d.uuid = DeviceUuid(0x1ab, 0xabcdef);
    EXPECT_EQ(d.Mac(), "02:AB:00:AB:CD:EF");
}

TEST(SimMessagesTest, DeviceFileLinesSetFieldsOrNameTheirFault) {
    struct Case {
        const char* line;
        const char* error;  // empty: accepted
    } cases[] = {
        {" address=10.1.2.3 ; model = X Y;name=n;scope=s1;scope=s2;hardware-scope=no;metadata-version=4", ""},
        {"model=X;colour=red", "unknown key: colour"},
        {"address=10.1.2", "bad address: 10.1.2"},
        {"model", "field without '='"},
        {"hardware-scope=maybe", "hardware-scope must be yes or no"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Device d;
        std::string error;
        bool ok = ApplyDeviceLine(c.line, d, error);
        EXPECT_EQ(ok, *c.error == '\0');
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        if (ok) {
            EXPECT_EQ(AddressText(d.address), "10.1.2.3");
            EXPECT_EQ(d.model, "X Y");
            EXPECT_EQ(d.extra_scopes, (std::vector<std::string>{"s1", "s2"}));
            EXPECT_FALSE(d.hardware_scope);
            EXPECT_EQ(d.metadata_version, 4);
        }
    }
}

}  // namespace
}  // namespace orvan::sim
