// The link-local address on Windows: added with a short lifetime, renewed only while it is there,
// deleted at the end, claimed against other runs, and what killed runs left behind removed. The IP
// Helper calls are a fake here (Wine lacks them); the claims are the real named mutexes.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os_ip_helper.h"

namespace {

uint32_t address_of(const char* text) {
    unsigned char bytes[4];
    EXPECT_EQ(liborvaniot_os_net_inet_pton4(text, bytes), 0);
    uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

// The host's address table as the fake IP Helper keeps it.
struct fake_host {
    std::vector<liborvaniot_os_unicast_row> rows;
    uint32_t create_error = 0;
    int creates = 0;

    auto find(const liborvaniot_os_unicast_row& row) {
        return std::find_if(rows.begin(), rows.end(), [&](const auto& r) {
            return r.if_index == row.if_index && r.address == row.address;
        });
    }
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
};

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
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.20"), 16, ":ov", 5, &owned), 0);
    ASSERT_EQ(fake.rows.size(), 1u);
    EXPECT_EQ(fake.rows[0].if_index, 7u);
    EXPECT_EQ(fake.rows[0].prefix_len, 16);
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
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.21"), 16, ":ov", 5, &owned), 0);
    fake.rows.clear();  // expired, or removed by hand
    EXPECT_EQ(liborvaniot_os_net_addr_renew(&owned, 5), EADDRNOTAVAIL);
    EXPECT_TRUE(fake.rows.empty());
    liborvaniot_os_net_addr_delete(&owned);
}

TEST_F(Win32LinkLocal, AnAddressClaimedByALiveRunIsNeitherAddedAgainNorTakenForALeftover) {
    liborvaniot_os_net_owned_address owned;
    ASSERT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.22"), 16, ":ov", 5, &owned), 0);
    liborvaniot_os_net_owned_address second;
    EXPECT_EQ(liborvaniot_os_net_addr_add(8, address_of("169.254.10.22"), 16, ":ov", 5, &second), EADDRINUSE);
    EXPECT_EQ(fake.creates, 1);
    EXPECT_EQ(second.if_index, 0u);
    EXPECT_EQ(liborvaniot_os_net_addr_delete_orphaned(":ov"), 0);
    EXPECT_EQ(fake.rows.size(), 1u);
    liborvaniot_os_net_addr_delete(&owned);
}

TEST_F(Win32LinkLocal, ARefusedAddLeavesNothingClaimed) {
    fake.create_error = ERROR_ACCESS_DENIED;
    liborvaniot_os_net_owned_address owned;
    EXPECT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.23"), 16, ":ov", 5, &owned), EPERM);
    EXPECT_EQ(owned.if_index, 0u);
    fake.create_error = 0;
    EXPECT_EQ(liborvaniot_os_net_addr_add(7, address_of("169.254.10.23"), 16, ":ov", 5, &owned), 0);
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
        {"a killed run's address", "169.254.30.1", 16, true, 4, true},
        {"a link-local address from the system", "169.254.30.2", 16, false, 4, false},
        {"a link-local address set by hand for good", "169.254.30.3", 16, true, LIBORVANIOT_OS_INFINITE_LIFETIME, false},
        {"a long-lived link-local address", "169.254.30.4", 16, true, 3600, false},
        {"another program's link-local address of a minute", "169.254.30.5", 16, true, 60, false},
        {"another program's short-lived host address", "169.254.30.6", 32, true, 4, false},
        {"a short-lived address outside link-local", "10.88.0.9", 16, true, 4, false},
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

TEST(Win32LinkLocalUnderWine, TakesTheFailurePathWithoutCallingTheMissingFunctions) {
    if (!liborvaniot_os_running_under_wine()) GTEST_SKIP() << "not running under Wine";
    EXPECT_EQ(liborvaniot_os_ip_helper_calls(), nullptr);
    liborvaniot_os_net_owned_address owned;
    EXPECT_EQ(liborvaniot_os_net_addr_add(1, address_of("169.254.10.24"), 16, ":ov", 5, &owned), ENOTSUP);
    EXPECT_EQ(owned.if_index, 0u);
    EXPECT_EQ(owned.claim, LIBORVANIOT_OS_INVALID_SOCKET);
    EXPECT_EQ(liborvaniot_os_net_addr_delete_orphaned(":ov"), -1);
}

}  // namespace
