// Choice of the interface that receives an added link-local address.
#include <gtest/gtest.h>

#include <vector>

#include "liborvaniot_os/liborvaniot_os_net_addr.h"

namespace {

liborvaniot_os_net_interface Link(uint32_t index, bool up, bool running, bool loopback, bool multicast) {
    liborvaniot_os_net_interface row;
    row.index = index;
    row.up = up;
    row.running = running;
    row.loopback = loopback;
    row.multicast = multicast;
    return row;
}

liborvaniot_os_net_interface WithoutIpv4(liborvaniot_os_net_interface row) {
    row.ipv4 = false;
    return row;
}

liborvaniot_os_net_interface OfPreferredKind(liborvaniot_os_net_interface row) {
    row.preferred_kind = true;
    return row;
}

TEST(PickLinkInterface, TakesTheFirstUpRunningMulticastIpv4LinkThatIsNotLoopbackPreferringItsKind) {
    const auto lo = Link(1, true, true, true, false);
    const auto lo_multicast = Link(1, true, true, true, true);
    const auto down = Link(2, false, false, false, true);
    const auto no_carrier = Link(3, true, false, false, true);
    const auto no_multicast = Link(4, true, true, false, false);
    const auto good = Link(5, true, true, false, true);
    const auto also_good = Link(6, true, true, false, true);
    const struct {
        const char* what;
        std::vector<liborvaniot_os_net_interface> rows;
        int32_t chosen;
    } cases[] = {
        {"no interfaces", {}, -1},
        {"loopback only", {lo}, -1},
        {"loopback first", {lo, good}, 1},
        {"loopback with the multicast flag", {lo_multicast, good}, 1},
        {"unusable links skipped", {lo, down, no_carrier, no_multicast, good, also_good}, 4},
        {"nothing usable", {lo, down, no_carrier, no_multicast}, -1},
        {"a link without IPv4 skipped", {lo, WithoutIpv4(good), also_good}, 2},
        {"only links without IPv4", {lo, WithoutIpv4(good)}, -1},
        {"a preferred kind before an earlier other one", {lo, good, OfPreferredKind(also_good)}, 2},
        {"the first of the preferred kind", {OfPreferredKind(good), OfPreferredKind(also_good)}, 0},
        {"an unusable link of the preferred kind skipped", {OfPreferredKind(no_carrier), good}, 1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(
            liborvaniot_os_net_pick_link_interface(row.rows.data(), static_cast<int32_t>(row.rows.size())),
            row.chosen);
    }
}

}  // namespace
