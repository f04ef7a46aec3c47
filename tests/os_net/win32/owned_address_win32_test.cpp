// Addresses of our own on Windows: added with a short lifetime, renewed only while they are there,
// deleted at the end with the routes they serve, claimed against other runs, and what killed runs
// left behind removed; and the address probe. The IP Helper calls are a fake here (Wine lacks them);
// the claims are the real named mutexes.
#include <winsock2.h>
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os/liborvaniot_os_net_reach.h"
#include "liborvaniot_os_ip_helper.h"

namespace {

uint32_t address_of(const char* text) {
    unsigned char bytes[4];
    EXPECT_EQ(liborvaniot_os_net_inet_pton4(text, bytes), 0);
    uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

constexpr uint8_t kOurs = LIBORVANIOT_OS_NET_OWN_PREFIX_LENGTH;

// The host's address and route tables as the fake IP Helper keeps them, and who answers on the link.
struct fake_host {
    std::vector<liborvaniot_os_unicast_row> rows;
    std::vector<liborvaniot_os_route_row> routes;
    std::vector<uint32_t> answering;  // addresses some host on the link holds
    std::vector<uint32_t> resolved;   // what was asked, with the routes in place at the time
    std::vector<size_t> routes_when_resolving;
    uint32_t create_error = 0;
    int creates = 0;
    uint32_t gateway = 0;  // where the default route leads (0: there is none)

    auto find(const liborvaniot_os_unicast_row& row) {
        return std::find_if(rows.begin(), rows.end(), [&](const auto& r) {
            return r.if_index == row.if_index && r.address == row.address;
        });
    }
    auto find_route(const liborvaniot_os_route_row& row) {
        return std::find_if(routes.begin(), routes.end(), [&](const auto& r) {
            return r.if_index == row.if_index && r.destination == row.destination && r.prefix_len == row.prefix_len;
        });
    }
    bool has_route(uint32_t if_index, const char* destination, uint8_t prefix_len);
};
fake_host* host = nullptr;

const liborvaniot_os_ip_helper kFake{
    [](const liborvaniot_os_unicast_row& row) -> uint32_t {
        ++host->creates;
        if (host->create_error != 0) return host->create_error;
        if (host->find(row) != host->rows.end()) return ERROR_OBJECT_ALREADY_EXISTS;
        host->rows.push_back(row);
        return 0;
    },
    [](liborvaniot_os_unicast_row* row) -> uint32_t {
        const auto found = host->find(*row);
        if (found == host->rows.end()) return ERROR_NOT_FOUND;
        *row = *found;
        return 0;
    },
    [](const liborvaniot_os_unicast_row& row) -> uint32_t {
        const auto found = host->find(row);
        if (found == host->rows.end()) return ERROR_NOT_FOUND;
        found->valid_lifetime_s = row.valid_lifetime_s;
        return 0;
    },
    [](const liborvaniot_os_unicast_row& row) -> uint32_t {
        const auto found = host->find(row);
        if (found == host->rows.end()) return ERROR_NOT_FOUND;
        host->rows.erase(found);
        return 0;
    },
    [](std::vector<liborvaniot_os_unicast_row>* rows) -> uint32_t {
        *rows = host->rows;
        return 0;
    },
    [](const liborvaniot_os_route_row& row) -> uint32_t {
        if (host->find_route(row) != host->routes.end()) return ERROR_OBJECT_ALREADY_EXISTS;
        host->routes.push_back(row);
        return 0;
    },
    [](const liborvaniot_os_route_row& row) -> uint32_t {
        const auto found = host->find_route(row);
        if (found == host->routes.end()) return ERROR_NOT_FOUND;
        found->valid_lifetime_s = row.valid_lifetime_s;
        return 0;
    },
    [](const liborvaniot_os_route_row& row) -> uint32_t {
        const auto found = host->find_route(row);
        if (found == host->routes.end()) return ERROR_NOT_FOUND;
        host->routes.erase(found);
        return 0;
    },
    [](uint32_t address, bool* answered) -> uint32_t {
        host->resolved.push_back(address);
        host->routes_when_resolving.push_back(host->routes.size());
        *answered = std::find(host->answering.begin(), host->answering.end(), address) != host->answering.end();
        return 0;
    },
    [](uint32_t destination, uint32_t* if_index, uint32_t* next_hop) -> uint32_t {
        // Host routes first, then the networks of the addresses, then the default route.
        for (const auto& route : host->routes) {
            if (route.prefix_len == 32 && route.destination == destination) {
                *if_index = route.if_index;
                *next_hop = 0;
                return 0;
            }
        }
        for (const auto& row : host->rows) {
            const uint32_t mask = htonl(0xFFFFFFFFu << (32 - row.prefix_len));
            if (row.prefix_len < 32 && (row.address & mask) == (destination & mask)) {
                *if_index = row.if_index;
                *next_hop = 0;
                return 0;
            }
        }
        if (host->gateway == 0) return ERROR_NETWORK_UNREACHABLE;
        *if_index = 7;
        *next_hop = host->gateway;
        return 0;
    },
};

bool fake_host::has_route(uint32_t if_index, const char* destination, uint8_t prefix_len) {
    liborvaniot_os_route_row row;
    row.if_index = if_index;
    row.destination = address_of(destination);
    row.prefix_len = prefix_len;
    return find_route(row) != routes.end();
}

class Win32LinkLocal : public testing::Test {
  protected:
    void SetUp() override {
        host = &fake;
        liborvaniot_os_ip_helper_use(&kFake);
    }
    void TearDown() override {
        liborvaniot_os_ip_helper_use(nullptr);
        host = nullptr;
    }
    fake_host fake;
};

TEST_F(Win32LinkLocal, AddsWithTheShortLifetimeRenewsAndDeletes) {
    liborvaniot_os_net_owned_address owned;
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.20"), kOurs, ":ov", 5, &owned), 0);
    ASSERT_EQ(fake.rows.size(), 1u);
    EXPECT_EQ(fake.rows[0].if_index, 7u);
    EXPECT_EQ(fake.rows[0].prefix_len, kOurs);
    EXPECT_EQ(fake.rows[0].valid_lifetime_s, 5u);
    EXPECT_EQ(owned.if_index, 7u);
    EXPECT_NE(owned.claim, LIBORVANIOT_OS_INVALID_SOCKET);

    fake.rows[0].valid_lifetime_s = 1;  // time passes
    EXPECT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), 0);
    EXPECT_EQ(fake.rows[0].valid_lifetime_s, 5u);

    EXPECT_EQ(liborvaniot_os_net_addr_delete(&owned), 0);
    EXPECT_TRUE(fake.rows.empty());
    EXPECT_EQ(owned.claim, LIBORVANIOT_OS_INVALID_SOCKET);
}

TEST_F(Win32LinkLocal, RenewNeverBringsBackAnAddressThatWentAway) {
    liborvaniot_os_net_owned_address owned;
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.21"), kOurs, ":ov", 5, &owned), 0);
    fake.rows.clear();  // expired, or removed by hand
    EXPECT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), EADDRNOTAVAIL);
    EXPECT_TRUE(fake.rows.empty());
    liborvaniot_os_net_addr_delete(&owned);
}

TEST_F(Win32LinkLocal, AnAddressClaimedByALiveRunIsNeitherAddedAgainNorTakenForALeftover) {
    liborvaniot_os_net_owned_address owned;
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.22"), kOurs, ":ov", 5, &owned), 0);
    liborvaniot_os_net_owned_address second;
    EXPECT_EQ(liborvaniot_os_net_addr_add(8, address_of("169.254.10.22"), kOurs, ":ov", 5, &second), EADDRINUSE);
    EXPECT_EQ(fake.creates, 1);
    EXPECT_EQ(second.if_index, 0u);
    EXPECT_EQ(liborvaniot_os_net_addr_delete_orphaned(":ov"), 0);
    EXPECT_EQ(fake.rows.size(), 1u);
    liborvaniot_os_net_addr_delete(&owned);
}

TEST_F(Win32LinkLocal, ARefusedAddLeavesNothingClaimed) {
    fake.create_error = ERROR_ACCESS_DENIED;
    liborvaniot_os_net_owned_address owned;
    EXPECT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.23"), kOurs, ":ov", 5, &owned), EPERM);
    EXPECT_EQ(owned.if_index, 0u);
    fake.create_error = 0;
    EXPECT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.23"), kOurs, ":ov", 5, &owned), 0);
    liborvaniot_os_net_addr_delete(&owned);
}

TEST_F(Win32LinkLocal, LeftoversAreShortLivedManualLinkLocalAddressesNobodyClaims) {
    const struct {
        const char* what;
        const char* address;
        uint8_t prefix_len;
        bool manual;
        uint32_t lifetime_s;
        bool deleted;
    } rows[] = {
        {"a killed run's address", "169.254.30.1", kOurs, true, 4, true},
        {"a link-local address from the system", "169.254.30.2", kOurs, false, 4, false},
        {"a link-local address set by hand for good", "169.254.30.3", kOurs, true, LIBORVANIOT_OS_INFINITE_LIFETIME, false},
        {"a long-lived link-local address", "169.254.30.4", kOurs, true, 3600, false},
        {"another program's link-local address of a minute", "169.254.30.5", kOurs, true, 60, false},
        {"another program's short-lived address of the whole network", "169.254.30.6", 16, true, 4, false},
        {"a short-lived address of ours outside link-local (reaching a device)", "10.88.0.9", kOurs, true, 4, false},
    };
    for (const auto& row : rows)
        fake.rows.push_back({3, address_of(row.address), row.prefix_len, row.lifetime_s, row.manual});
    EXPECT_EQ(liborvaniot_os_net_addr_delete_orphaned(":ov"), 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const bool present = fake.find({3, address_of(row.address), row.prefix_len, 0, false}) != fake.rows.end();
        EXPECT_EQ(present, !row.deleted);
    }
}

TEST_F(Win32LinkLocal, RenewalGivesUpAnAddressDetectionDidNotLetUs) {
    const struct {
        const char* what;
        liborvaniot_os_dad_state state;
        int32_t renewed;
    } rows[] = {
        {"usable", liborvaniot_os_dad_state::preferred, 0},
        {"still under detection", liborvaniot_os_dad_state::tentative, 0},
        {"another host holds it", liborvaniot_os_dad_state::duplicate, EADDRNOTAVAIL},
        {"given up by the system", liborvaniot_os_dad_state::deprecated, EADDRNOTAVAIL},
        {"in no valid state", liborvaniot_os_dad_state::invalid, EADDRNOTAVAIL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        liborvaniot_os_net_owned_address owned;
        ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.26"), kOurs, ":ov", 5, &owned), 0);
        fake.rows[0].dad_state = row.state;
        fake.rows[0].valid_lifetime_s = 1;
        EXPECT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), row.renewed);
        EXPECT_EQ(fake.rows[0].valid_lifetime_s, row.renewed == 0 ? 5u : 1u);
        liborvaniot_os_net_addr_delete(&owned);
    }
}

TEST_F(Win32LinkLocal, TheNetworkIsRoutedThroughTheHostAddressRenewedWithItAndRemovedWithIt) {
    liborvaniot_os_net_owned_address owned;
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.30"), kOurs, ":ov", 5, &owned), 0);
    ASSERT_EQ(liborvaniot_os_net_addr_add_route(&owned, address_of("169.254.0.0"), 16), 0);
    ASSERT_TRUE(fake.has_route(7, "169.254.0.0", 16));
    EXPECT_EQ(fake.routes[0].valid_lifetime_s, 5u) << "a killed run's route goes with its address";

    fake.routes[0].valid_lifetime_s = 1;
    ASSERT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), 0);
    EXPECT_EQ(fake.routes[0].valid_lifetime_s, 5u);
    fake.routes.clear();  // removed by someone
    ASSERT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), 0);
    EXPECT_TRUE(fake.has_route(7, "169.254.0.0", 16)) << "made again while the address lives";

    EXPECT_EQ(liborvaniot_os_net_addr_delete(&owned), 0);
    EXPECT_TRUE(fake.rows.empty());
    EXPECT_TRUE(fake.routes.empty());
}

TEST_F(Win32LinkLocal, ARouteThatWasThereAlreadyIsUsedButNeverTouched) {
    liborvaniot_os_route_row theirs;
    theirs.if_index = 7;
    theirs.destination = address_of("169.254.0.0");
    theirs.prefix_len = 16;
    theirs.valid_lifetime_s = LIBORVANIOT_OS_INFINITE_LIFETIME;
    fake.routes.push_back(theirs);
    liborvaniot_os_net_owned_address owned;
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.31"), kOurs, ":ov", 5, &owned), 0);
    EXPECT_EQ(liborvaniot_os_net_addr_add_route(&owned, address_of("169.254.0.0"), 16), 0);
    ASSERT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), 0);
    ASSERT_EQ(fake.routes.size(), 1u);
    EXPECT_EQ(fake.routes[0].valid_lifetime_s, LIBORVANIOT_OS_INFINITE_LIFETIME);
    liborvaniot_os_net_addr_delete(&owned);
    EXPECT_EQ(fake.routes.size(), 1u);
}

TEST_F(Win32LinkLocal, AnAddressForAnotherSubnetIsFoundAdoptedWhenNobodyClaimsItAndRoutesDevicesWithItsLife) {
    fake.rows.push_back({7, address_of("192.168.1.77"), kOurs, 4, true});        // a killed run's
    fake.rows.push_back({7, address_of("192.168.1.5"), 24, LIBORVANIOT_OS_INFINITE_LIFETIME, false});
    const uint32_t network = address_of("192.168.1.0");
    const uint32_t netmask = address_of("255.255.255.0");
    uint32_t found = 0;
    ASSERT_EQ(liborvaniot_os_net_addr_find_ours(7, network, netmask, ":or", &found), 1);
    EXPECT_EQ(found, address_of("192.168.1.77"));
    EXPECT_EQ(liborvaniot_os_net_addr_find_ours(8, network, netmask, ":or", &found), 0) << "another interface";
    liborvaniot_os_net_owned_address owned;
    EXPECT_EQ(liborvaniot_os_net_addr_adopt(7, address_of("192.168.1.5"), ":or", &owned), EADDRNOTAVAIL)
        << "the system's own address is never taken over";
    ASSERT_EQ(liborvaniot_os_net_addr_adopt(7, address_of("192.168.1.77"), ":or", &owned), 0);
    liborvaniot_os_net_owned_address second;
    EXPECT_EQ(liborvaniot_os_net_addr_adopt(7, address_of("192.168.1.77"), ":or", &second), EADDRINUSE);

    ASSERT_EQ(liborvaniot_os_net_own_route_add(7, owned.address, address_of("192.168.1.10"), 32), 0);
    EXPECT_EQ(liborvaniot_os_net_own_route_add(7, owned.address, address_of("192.168.1.10"), 32), EEXIST);
    ASSERT_TRUE(fake.has_route(7, "192.168.1.10", 32));
    ASSERT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), 0);
    EXPECT_EQ(fake.routes[0].valid_lifetime_s, 5u);
    EXPECT_EQ(liborvaniot_os_net_own_route_delete(7, owned.address, address_of("192.168.1.10"), 32), 0);
    EXPECT_TRUE(fake.routes.empty());

    ASSERT_EQ(liborvaniot_os_net_own_route_add(7, owned.address, address_of("192.168.1.11"), 32), 0);
    EXPECT_EQ(liborvaniot_os_net_addr_delete(&owned), 0);
    EXPECT_TRUE(fake.routes.empty()) << "the device routes go with the address they were made for";
}

TEST_F(Win32LinkLocal, TheProbeAsksTheLinkThroughARouteOfItsOwnThatItRemoves) {
    fake.answering.push_back(address_of("192.168.1.20"));
    const struct {
        const char* what;
        const char* candidate;
        int32_t in_use;
    } rows[] = {
        {"a host holds it", "192.168.1.20", 1},
        {"nobody answers", "192.168.1.21", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        int32_t in_use = -1;
        ASSERT_EQ(liborvaniot_os_net_arp_probe(7, address_of(row.candidate), 300, &in_use), 0);
        EXPECT_EQ(in_use, row.in_use);
        ASSERT_FALSE(fake.resolved.empty());
        EXPECT_EQ(fake.resolved.back(), address_of(row.candidate));
        EXPECT_EQ(fake.routes_when_resolving.back(), 1u) << "the candidate was routed onto the link";
        EXPECT_TRUE(fake.routes.empty()) << "and the route removed after";
    }
}

TEST_F(Win32LinkLocal, TheRouteLookupTellsTheLinkFromAGatewayAndFromNoRouteAtAll) {
    fake.rows.push_back({7, address_of("10.66.0.5"), 16, LIBORVANIOT_OS_INFINITE_LIFETIME, false});
    fake.routes.push_back({7, address_of("192.168.1.10"), 32, 5});
    const struct {
        const char* what;
        const char* gateway;
        const char* destination;
        int32_t error;
        uint32_t next_hop;
    } rows[] = {
        {"on the host's network", "10.66.0.1", "10.66.3.4", 0, 0},
        {"through a host route of ours", "10.66.0.1", "192.168.1.10", 0, 0},
        {"only through the gateway", "10.66.0.1", "192.168.1.64", 0, address_of("10.66.0.1")},
        {"no route at all", "0.0.0.0", "192.168.1.64", ENETUNREACH, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fake.gateway = address_of(row.gateway);
        liborvaniot_os_net_route route;
        EXPECT_EQ(liborvaniot_os_net_route_lookup(address_of(row.destination), &route), row.error);
        EXPECT_EQ(route.gateway, row.next_hop);
        EXPECT_EQ(route.if_index, row.error == 0 ? 7u : 0u);
    }
}

// Creating with the origins left "unchanged" made our addresses read back as the system's own, so
// that a killed run's address was never cleaned up.
TEST(Win32UnicastEntry, AnAddressWeCreateReadsBackAsOursAndAsksToBeUsableAtOnce) {
    liborvaniot_os_unicast_row row;
    row.if_index = 7;
    row.address = address_of("169.254.10.27");
    row.prefix_len = 16;
    row.valid_lifetime_s = 5;
    MIB_UNICASTIPADDRESS_ROW entry{};
    entry.PrefixOrigin = IpPrefixOriginUnchanged;
    entry.SuffixOrigin = IpSuffixOriginUnchanged;
    entry.DadState = IpDadStateTentative;
    liborvaniot_os_unicast_entry_for_create(row, &entry);
    EXPECT_EQ(entry.PrefixOrigin, IpPrefixOriginManual);
    EXPECT_EQ(entry.SuffixOrigin, IpSuffixOriginManual);
    EXPECT_EQ(entry.DadState, IpDadStatePreferred);
    EXPECT_EQ(entry.PreferredLifetime, 5u);

    const liborvaniot_os_unicast_row back = liborvaniot_os_unicast_row_of(entry);
    EXPECT_EQ(back.if_index, 7u);
    EXPECT_EQ(back.address, row.address);
    EXPECT_EQ(back.prefix_len, 16);
    EXPECT_EQ(back.valid_lifetime_s, 5u);
    EXPECT_TRUE(back.manual);
    EXPECT_EQ(back.dad_state, liborvaniot_os_dad_state::preferred);

    const struct {
        const char* what;
        NL_PREFIX_ORIGIN prefix;
        NL_SUFFIX_ORIGIN suffix;
        bool manual;
    } origins[] = {
        {"both manual", IpPrefixOriginManual, IpSuffixOriginManual, true},
        {"a DHCP address", IpPrefixOriginDhcp, IpSuffixOriginDhcp, false},
        {"the system's own link-local address", IpPrefixOriginWellKnown, IpSuffixOriginLinkLayerAddress, false},
        {"a manual prefix with a random host part", IpPrefixOriginManual, IpSuffixOriginRandom, false},
    };
    for (const auto& origin : origins) {
        SCOPED_TRACE(origin.what);
        entry.PrefixOrigin = origin.prefix;
        entry.SuffixOrigin = origin.suffix;
        EXPECT_EQ(liborvaniot_os_unicast_row_of(entry).manual, origin.manual);
    }
    entry.DadState = IpDadStateDuplicate;
    EXPECT_EQ(liborvaniot_os_unicast_row_of(entry).dad_state, liborvaniot_os_dad_state::duplicate);
}

// A user can make the global claim name unusable (create it with an access list that denies
// everyone). Falling back to a per-session name would let a finder in another session take a live
// finder's address for a leftover; the claim is refused instead and nothing is added.
TEST_F(Win32LinkLocal, AClaimNameSomeoneMadeUnusableIsRefusedNotReplaced) {
    PSECURITY_DESCRIPTOR deny_all = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:", SDDL_REVISION_1, &deny_all, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, deny_all, FALSE};
    const HANDLE blocker = CreateMutexA(&attributes, FALSE, "Global\\orvan-link-local-169.254.10.28");
    LocalFree(deny_all);
    ASSERT_NE(blocker, nullptr);
    liborvaniot_os_net_owned_address owned;
    EXPECT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.28"), kOurs, ":ov", 5, &owned), EADDRINUSE);
    EXPECT_EQ(fake.creates, 0);
    EXPECT_EQ(owned.if_index, 0u);
    CloseHandle(blocker);
}

// The C runtime's rand() state is per thread and unseeded on a new one: every finder drew the same
// candidates. The system's source gives each thread, and each run, bytes of its own.
TEST(Win32RandomSource, ThreadsDrawDifferentBytes) {
    uint8_t first[16] = {};
    uint8_t second[16] = {};
    int32_t first_error = -1;
    int32_t second_error = -1;
    std::thread([&] { first_error = liborvaniot_os_random_bytes(first, sizeof first); }).join();
    std::thread([&] { second_error = liborvaniot_os_random_bytes(second, sizeof second); }).join();
    ASSERT_EQ(first_error, 0);
    ASSERT_EQ(second_error, 0);
    EXPECT_NE(std::memcmp(first, second, sizeof first), 0);
}

TEST(Win32LinkLocalUnderWine, TakesTheFailurePathWithoutCallingTheMissingFunctions) {
    if (!liborvaniot_os_running_under_wine()) GTEST_SKIP() << "not running under Wine";
    EXPECT_EQ(liborvaniot_os_ip_helper_calls(), nullptr);
    liborvaniot_os_net_owned_address owned;
    EXPECT_EQ(liborvaniot_os_net_addr_add(1, address_of("169.254.10.24"), kOurs, ":ov", 5, &owned), ENOTSUP);
    EXPECT_EQ(owned.if_index, 0u);
    EXPECT_EQ(owned.claim, LIBORVANIOT_OS_INVALID_SOCKET);
    EXPECT_EQ(liborvaniot_os_net_addr_delete_orphaned(":ov"), -1);
    int32_t in_use = -1;
    EXPECT_EQ(liborvaniot_os_net_arp_probe(1, address_of("192.168.1.20"), 300, &in_use), ENOTSUP);
    EXPECT_EQ(liborvaniot_os_net_own_route_add(1, address_of("192.168.1.77"), address_of("192.168.1.10"), 32), ENOTSUP);
}

}  // namespace
