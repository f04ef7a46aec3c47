// Sweep targets: what each form of target holds, what is refused and why, and the bound on the total.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_target.h"

namespace {

constexpr uint32_t ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

struct target_case {
    const char* text;
    drm_probe_target_range range;
    uint64_t count;
};

TEST(ProbeTargetTest, ReadsAddressesNetworksAndRanges) {
    const target_case cases[] = {
        {"10.3.0.7", {ip(10, 3, 0, 7), ip(10, 3, 0, 7)}, 1},
        // A network's own and broadcast addresses are left out: a /24 is its 254 hosts.
        {"10.2.0.0/24", {ip(10, 2, 0, 1), ip(10, 2, 0, 254)}, 254},
        {"10.2.0.77/24", {ip(10, 2, 0, 1), ip(10, 2, 0, 254)}, 254},
        {"10.2.0.0/22", {ip(10, 2, 0, 1), ip(10, 2, 3, 254)}, 1022},
        {"10.2.0.0/30", {ip(10, 2, 0, 1), ip(10, 2, 0, 2)}, 2},
        // Point-to-point and single-host networks keep every address.
        {"10.2.0.4/31", {ip(10, 2, 0, 4), ip(10, 2, 0, 5)}, 2},
        {"10.2.0.9/32", {ip(10, 2, 0, 9), ip(10, 2, 0, 9)}, 1},
        {"10.0.0.0/8", {ip(10, 0, 0, 1), ip(10, 255, 255, 254)}, 16777214},
        {"10.4.0.10-10.4.0.60", {ip(10, 4, 0, 10), ip(10, 4, 0, 60)}, 51},
        {"10.4.0.10-10.4.0.10", {ip(10, 4, 0, 10), ip(10, 4, 0, 10)}, 1},
        {"10.4.0.250-10.4.1.5", {ip(10, 4, 0, 250), ip(10, 4, 1, 5)}, 12},
        {"1.0.0.0", {ip(1, 0, 0, 0), ip(1, 0, 0, 0)}, 1},
        {"223.255.255.255", {ip(223, 255, 255, 255), ip(223, 255, 255, 255)}, 1},
    };
    for (const target_case& c : cases) {
        SCOPED_TRACE(c.text);
        const drm_probe_target_parse_result result = drm_probe_target_parse(c.text);
        ASSERT_EQ(result.error, "");
        EXPECT_EQ(result.range, c.range);
        EXPECT_EQ(drm_probe_target_count(result.range), c.count);
    }
}

TEST(ProbeTargetTest, RefusesBadTargetsSayingWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "empty target: give an address (10.3.0.7), a network (10.2.0.0/24) or a range (10.4.0.10-10.4.0.60)"},
        {"10.3.0.300", "invalid target '10.3.0.300': '10.3.0.300' is not an IPv4 address: give an address (10.3.0.7), "
                       "a network (10.2.0.0/24) or a range (10.4.0.10-10.4.0.60)"},
        {"camera.local", "invalid target 'camera.local': 'camera.local' is not an IPv4 address: give an address "
                         "(10.3.0.7), a network (10.2.0.0/24) or a range (10.4.0.10-10.4.0.60)"},
        {" 10.3.0.7", "invalid target ' 10.3.0.7': ' 10.3.0.7' is not an IPv4 address: give an address (10.3.0.7), "
                      "a network (10.2.0.0/24) or a range (10.4.0.10-10.4.0.60)"},
        {"10.2.0/24", "invalid target '10.2.0/24': '10.2.0' is not an IPv4 address"},
        {"10.2.0.0/33", "invalid target '10.2.0.0/33': the prefix length after '/' must be a number from 0 to 32"},
        {"10.2.0.0/", "invalid target '10.2.0.0/': the prefix length after '/' must be a number from 0 to 32"},
        {"10.2.0.0/-1", "invalid target '10.2.0.0/-1': the prefix length after '/' must be a number from 0 to 32"},
        {"10.2.0.0/024", "invalid target '10.2.0.0/024': the prefix length after '/' must be a number from 0 to 32"},
        {"10.2.0.0/2x", "invalid target '10.2.0.0/2x': the prefix length after '/' must be a number from 0 to 32"},
        {"10.4.0.60-10.4.0.10", "invalid target '10.4.0.60-10.4.0.10': the range ends before it starts"},
        {"10.4.0.10-", "invalid target '10.4.0.10-': '' is not an IPv4 address"},
        {"-10.4.0.10", "invalid target '-10.4.0.10': '' is not an IPv4 address"},
        {"10.4.0.10-60", "invalid target '10.4.0.10-60': '60' is not an IPv4 address"},
        {"239.255.255.250", "invalid target '239.255.255.250': multicast, reserved and broadcast addresses "
                            "(224.0.0.0 and above) cannot be probed one by one"},
        {"255.255.255.255", "invalid target '255.255.255.255': multicast, reserved and broadcast addresses "
                            "(224.0.0.0 and above) cannot be probed one by one"},
        {"200.0.0.0-230.0.0.0", "invalid target '200.0.0.0-230.0.0.0': multicast, reserved and broadcast "
                                "addresses (224.0.0.0 and above) cannot be probed one by one"},
        {"0.0.0.0/0", "invalid target '0.0.0.0/0': addresses from 0.0.0.0 to 0.255.255.255 cannot be probed"},
        {"0.1.2.3", "invalid target '0.1.2.3': addresses from 0.0.0.0 to 0.255.255.255 cannot be probed"},
    };
    for (const auto& [text, error] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(drm_probe_target_parse(text).error, error);
    }
}

TEST(ProbeTargetTest, MergesTargetsThatOverlapOrTouchAndCountsEachAddressOnce) {
    const std::vector<std::string> texts = {"10.4.0.10-10.4.0.60", "10.2.0.0/24", "10.2.0.7",
                                            "10.4.0.61-10.4.0.70", "10.3.0.7"};
    const drm_probe_target_list list = drm_probe_targets_parse(texts, false);
    ASSERT_EQ(list.error, "");
    const std::vector<drm_probe_target_range> expected = {{ip(10, 2, 0, 1), ip(10, 2, 0, 254)},
                                                          {ip(10, 3, 0, 7), ip(10, 3, 0, 7)},
                                                          {ip(10, 4, 0, 10), ip(10, 4, 0, 70)}};
    EXPECT_EQ(list.ranges, expected);
    EXPECT_EQ(list.addresses, 254u + 1u + 61u);
}

TEST(ProbeTargetTest, RefusesMoreThanTheLimitUnlessAllowed) {
    struct limit_case {
        std::vector<std::string> texts;
        bool allow_large;
        uint64_t addresses;
        std::string error;
    };
    const limit_case cases[] = {
        // Exactly the limit is allowed, one more is not, also when it comes from several targets.
        {{"10.0.0.0-10.0.255.255"}, false, 65536, ""},
        {{"10.0.0.0-10.0.255.255", "10.9.0.1"}, false, 65537, "the targets hold 65537 addresses, more than 65536"},
        {{"10.0.0.0/15"}, false, 131070, "the targets hold 131070 addresses, more than 65536"},
        {{"10.0.0.0/15"}, true, 131070, ""},
        // The same addresses given twice count once.
        {{"10.0.0.0-10.0.255.255", "10.0.0.0/16"}, false, 65536, ""},
    };
    for (const limit_case& c : cases) {
        SCOPED_TRACE(c.texts.back() + (c.allow_large ? " allowed" : ""));
        const drm_probe_target_list list = drm_probe_targets_parse(c.texts, c.allow_large);
        EXPECT_EQ(list.error, c.error);
        EXPECT_EQ(list.addresses, c.addresses);
        EXPECT_EQ(list.ranges.empty(), !c.error.empty());
    }
}

TEST(ProbeTargetTest, ABadTargetAmongGoodOnesRefusesThemAll) {
    const std::vector<std::string> texts = {"10.2.0.0/24", "10.4.0.60-10.4.0.10"};
    const drm_probe_target_list list = drm_probe_targets_parse(texts, false);
    EXPECT_EQ(list.error, "invalid target '10.4.0.60-10.4.0.10': the range ends before it starts");
    EXPECT_TRUE(list.ranges.empty());
}

TEST(ProbeTargetTest, NetworkOrderKeepsTheTextOrderOfTheBytes) {
    const uint32_t network_order = drm_probe_target_network_order(ip(10, 2, 0, 7));
    const auto* bytes = reinterpret_cast<const unsigned char*>(&network_order);
    EXPECT_EQ(bytes[0], 10);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 7);
}

}  // namespace
