// Dotted-quad reading and writing.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "liborvaniot_os/liborvaniot_os_net.h"

namespace {

TEST(InetPton4, AcceptsOnlyFourPlainDecimalOctets) {
    const struct {
        const char* text;
        bool accepted;
        std::array<unsigned char, 4> bytes;
    } cases[] = {
        {"169.254.10.200", true, {169, 254, 10, 200}},
        {"0.0.0.0", true, {0, 0, 0, 0}},
        {"255.255.255.255", true, {255, 255, 255, 255}},
        {"10.0.100.9", true, {10, 0, 100, 9}},
        {"169.254.010.2", false, {}},
        {"00.1.2.3", false, {}},
        {"169.254.1.256", false, {}},
        {"1.2.3.4444", false, {}},
        {"169.254.1", false, {}},
        {"169.254.1.2.3", false, {}},
        {"1.2.3.4.", false, {}},
        {"1.2.3.", false, {}},
        {".1.2.3", false, {}},
        {"1..2.3", false, {}},
        {"", false, {}},
        {" 1.2.3.4", false, {}},
        {"1.2.3.4 ", false, {}},
        {"1.2.3.-4", false, {}},
        {"a.b.c.d", false, {}},
        {"0x1.2.3.4", false, {}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        std::array<unsigned char, 4> out = {0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(liborvaniot_os_net_inet_pton4(row.text, out.data()), row.accepted ? 0 : 1);
        const std::array<unsigned char, 4> untouched = {0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(out, row.accepted ? row.bytes : untouched);
    }
}

TEST(InetPton4, FormattedAddressesReadBackUnchanged) {
    for (const char* text : {"169.254.7.9", "0.0.0.0", "255.255.255.255", "198.18.0.1"}) {
        SCOPED_TRACE(text);
        unsigned char bytes[4];
        ASSERT_EQ(liborvaniot_os_net_inet_pton4(text, bytes), 0);
        uint32_t address = 0;
        std::memcpy(&address, bytes, sizeof address);
        char formatted[16];
        liborvaniot_os_net_format_address(address, formatted);
        EXPECT_STREQ(formatted, text);
    }
}

}  // namespace
