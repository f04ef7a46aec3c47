// Reading a discovery report: the MAC text from the endpoint address, the sender's address, and
// records whose fields are not what the reader may assume.
#include "device_rows/device_report.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device_list_fixture.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace form_test {
namespace {

using ORVAN_UXClass::MacText;
using ORVAN_UXClass::ReadDeviceReport;

TEST(MacTextTest, TakesCharactersThirtyThreeToFortyFourInPairs) {
    const std::string prefix(33, 'x');  // "urn:uuid:" plus the uuid up to its last group
    struct Case {
        std::string endpoint;
        std::string mac;
    };
    const Case cases[] = {
        {"urn:uuid:5d1b9c36-0f5e-4c1e-9a7b-0a1b2c3d4e5f", "0A:1B:2C:3D:4E:5F"},
        {"urn:uuid:5d1b9c36-0f5e-4c1e-9a7b-020100000005", "02:01:00:00:00:05"},
        {prefix + "abcdefghijkl" + "tail beyond", "AB:CD:EF:GH:IJ:KL"},
        {prefix + "a-:/Zz", "A-::/:ZZ"},
        {prefix + "abcde", "AB:CD:E"},
        {prefix + "ab", "AB"},
        {prefix + "a", "A"},
        {prefix, ""},
        {"urn:uuid:1234", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.endpoint);
        EXPECT_EQ(MacText(c.endpoint), c.mac);
    }
}

TEST(DeviceReportTest, AddressTextIsTheSendersFourBytesInOrder) {
    sockaddr_in sender{};
    inet_pton(AF_INET, "198.18.0.255", &sender.sin_addr);
    EXPECT_EQ(ORVAN_UXClass::AddressText(sender), "198.18.0.255");
}

TEST(DeviceReportTest, UnterminatedFieldsAndAnOversizedScopeCountAreReadWithinTheRecord) {
    auto record = Record("10.1.2.3", {});
    std::memset(record->endpoint_address, 'e', sizeof record->endpoint_address);
    for (auto& scope : record->scopes) std::memset(scope, 's', sizeof scope);
    const std::string hardware = Scope("hardware", "");
    std::memcpy(record->scopes[99], hardware.data(), hardware.size());
    std::memset(record->scopes[99] + hardware.size(), 'M', sizeof record->scopes[99] - hardware.size());
    record->scope_count = 5000;

    const auto report = ReadDeviceReport(*record, DRM_PROBE_REPORT_HELLO);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->endpoint, std::string(99, 'e'));
    EXPECT_EQ(report->model, std::string(63, 'M'));
    EXPECT_EQ(report->mac, "EE:EE:EE:EE:EE:EE");
}

}  // namespace
}  // namespace form_test
