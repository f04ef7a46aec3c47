// What the scanner keeps of an answer, and the set of devices it builds from them.
#include <gtest/gtest.h>

#include "device_set.h"
#include "device_target.h"
#include "scan_test_support.h"

namespace {

using orvan_scan::DeviceSet;
using orvan_scan::FoundDevice;
using orvan_scan::ReadFoundDevice;
using scan_test::Answer;
using scan_test::Device;
using scan_test::Record;

TEST(FoundDeviceTest, KeepsTheRowTextsAndTheWholeAnswer) {
    Answer answer;
    answer.name = "Front%20door";
    answer.xaddrs = " http://10.0.0.9/a  http://169.254.3.4/b ";
    const FoundDevice d = Device(answer);
    EXPECT_EQ(d.row.model, "SIM-CAM100");
    EXPECT_EQ(d.row.mac, "0A:1B:2C:3D:4E:5F");
    EXPECT_EQ(d.row.address, "10.0.0.9");
    EXPECT_EQ(d.row.name, "Front door");
    EXPECT_EQ(d.row.location, "lab");
    EXPECT_EQ(d.types, (std::vector<std::string>{"dn:NetworkVideoTransmitter", "tds:Device"}));
    EXPECT_EQ(d.xaddrs, (std::vector<std::string>{"http://10.0.0.9/a", "http://169.254.3.4/b"}));
    ASSERT_EQ(d.scopes.size(), 3u);
    EXPECT_EQ(d.scopes[1], scan_test::kScope + "name/Front%20door");
    EXPECT_EQ(d.metadata_version, 2);
}

TEST(FoundDeviceTest, WebPageSchemeFollowsTheModelExactly) {
    const struct {
        const char* model;
        const char* url;
    } cases[] = {
        {"SLV-IPC4210", "https://10.0.0.9"}, {"Selvani%20Thermal%20Eye", "https://10.0.0.9"},
        {"slv-ipc4210", "http://10.0.0.9"},  {"SLV-IPC4210%20", "http://10.0.0.9"},
        {"SIM-CAM100", "http://10.0.0.9"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.model);
        Answer answer;
        answer.model = row.model;
        EXPECT_EQ(Device(answer).web_url, row.url);
    }
    drm_probe_device no_model = Record(Answer{});
    std::strcpy(no_model.scopes[0], "drm://elsewhere/x");
    const FoundDevice unknown = *ReadFoundDevice(no_model, DRM_PROBE_REPORT_HELLO);
    EXPECT_EQ(unknown.row.model, "Unknown");
    EXPECT_EQ(unknown.web_url, "http://10.0.0.9");
}

TEST(FoundDeviceTest, ByesAndAnswersWithoutScopesListNothing) {
    EXPECT_FALSE(ReadFoundDevice(Record(Answer{}), DRM_PROBE_REPORT_BYE));
    drm_probe_device bare = Record(Answer{});
    bare.scope_count = 0;
    EXPECT_FALSE(ReadFoundDevice(bare, DRM_PROBE_REPORT_MATCH));
}

TEST(DeviceSetTest, EveryDeviceInNumericAddressOrderUntilItsOwnBye) {
    DeviceSet set;
    const auto at = [](const char* ip, const char* endpoint, const char* name) {
        Answer answer;
        answer.ip = ip;
        answer.endpoint = endpoint;
        answer.name = name;
        return Device(answer);
    };
    EXPECT_TRUE(set.Add(at("10.0.0.10", "urn:a", "ten")));
    EXPECT_TRUE(set.Add(at("10.0.0.9", "urn:b", "nine")));
    EXPECT_TRUE(set.Add(at("9.255.0.1", "urn:c", "low")));
    EXPECT_FALSE(set.Add(at("10.0.0.9", "urn:b", "its answer again")));
    EXPECT_TRUE(set.Add(at("10.0.0.9", "urn:d", "twin"))) << "another device on the same address";
    EXPECT_EQ(set.CountAt(0x0A000009), 2u);
    std::vector<std::string> order;
    for (const FoundDevice& d : set.Sorted()) {
        order.push_back(d.row.address + " " + d.row.name + " " + std::to_string(d.devices_at_ip));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"9.255.0.1 low 1", "10.0.0.9 nine 2", "10.0.0.9 twin 2",
                                               "10.0.0.10 ten 1"}));

    EXPECT_TRUE(set.RemoveEndpoint("urn:unknown").empty());
    EXPECT_TRUE(set.RemoveEndpoint("").empty());
    const std::vector<FoundDevice> gone = set.RemoveEndpoint("urn:b");
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].row.name, "nine");
    EXPECT_EQ(set.size(), 3u);
    EXPECT_EQ(set.Sorted()[1].devices_at_ip, 1u) << "the twin stays, alone on its address now";
    EXPECT_TRUE(set.RemoveEndpoint("urn:d").size() == 1);
    EXPECT_FALSE(set.Has(*orvan_scan::ParseDeviceTarget("10.0.0.9")));
    EXPECT_TRUE(set.Has(*orvan_scan::ParseDeviceTarget("10.0.0.10")));
    EXPECT_TRUE(set.Add(at("10.0.0.9", "urn:b", "back again")));
}

TEST(DeviceTargetTest, NamesADeviceByIpOrMac) {
    const FoundDevice d = Device(Answer{});
    const struct {
        const char* text;
        bool valid;
        bool matches;
    } cases[] = {
        {"10.0.0.9", true, true},
        {"010.000.0.09", true, true},
        {"10.0.0.90", true, false},
        {"0A:1B:2C:3D:4E:5F", true, true},
        {"0a-1b-2c-3d-4e-5f", true, true},
        {"0a1b2c3d4e5f", true, true},
        {"0a:1b:2c:3d:4e:50", true, false},
        {"0a::1b:2c:3d:4e:5f", false, false},
        {"0a:1b:2c:3d:4e:5f:", false, false},
        {"0a:1b:2c:3d:4e", false, false},
        {"0a1:b2c:3d4:e5f", false, false},
        {"10.0.0", false, false},
        {"camera", false, false},
        {"", false, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        const auto target = orvan_scan::ParseDeviceTarget(row.text);
        ASSERT_EQ(target.has_value(), row.valid);
        if (target) {
            EXPECT_EQ(orvan_scan::Matches(*target, d), row.matches);
        }
    }
}

}  // namespace
