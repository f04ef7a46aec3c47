// The address watch inside the finder namespace: notices of every size are seen, and renewals that
// only restart an address's lifetime wake nobody.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "host_addresses.h"
#include "liborvaniot_os/liborvaniot_os_net_watch.h"
#include "netns_env.h"

namespace {

using os_net_test::Ip;

class AddressWatchTest : public testing::Test {
  protected:
    void SetUp() override {
        link_ = topology_.id + "w";
        ASSERT_TRUE(Ip(topology_.finder, {"link", "add", link_, "type", "veth", "peer", "name", topology_.id + "W"}));
        ASSERT_EQ(liborvaniot_os_net_address_watch_open(&watch_), 0);
    }
    void TearDown() override {
        liborvaniot_os_net_descriptor_close(&watch_);
        Ip(topology_.finder, {"link", "del", link_});
    }
    // What the watch says once the notices of a change had time to arrive.
    int32_t DrainAfterChange() {
        pollfd ready{watch_, POLLIN, 0};
        poll(&ready, 1, 1000);
        return liborvaniot_os_net_address_watch_drain(watch_);
    }

    orvan::netns::Topology topology_ = orvan::netns::Topology::FromEnvironment();
    std::string link_;
    liborvaniot_os_socket watch_ = LIBORVANIOT_OS_INVALID_SOCKET;
};

TEST_F(AddressWatchTest, ALinkChangeIsSeenWhateverTheSizeOfItsNotice) {
    // Alternative names make the link's notice larger than any fixed page-sized buffer.
    for (int i = 0; i < 100; ++i) {
        const std::string name = link_ + "-" + std::to_string(i) + std::string(100, 'n');
        ASSERT_TRUE(Ip(topology_.finder, {"link", "property", "add", "dev", link_, "altname", name}));
    }
    liborvaniot_os_net_address_watch_drain(watch_);
    ASSERT_TRUE(Ip(topology_.finder, {"link", "set", link_, "up"}));
    EXPECT_EQ(DrainAfterChange(), 1) << "link up went unnoticed";
    EXPECT_EQ(liborvaniot_os_net_address_watch_drain(watch_), 0) << "every notice was read";
}

TEST_F(AddressWatchTest, ARenewalThatOnlyRestartsTheLifetimeIsNoChange) {
    ASSERT_TRUE(Ip(topology_.finder, {"link", "set", link_, "up"}));
    const std::string dev = link_;
    const struct {
        const char* what;
        std::vector<std::string> args;
        int32_t changed;
    } steps[] = {
        {"an address comes", {"addr", "add", "169.254.80.1/32", "dev", dev, "valid_lft", "30", "preferred_lft", "30"}, 1},
        {"its lifetime restarts", {"addr", "change", "169.254.80.1/32", "dev", dev, "valid_lft", "40", "preferred_lft", "40"}, 0},
        {"and again", {"addr", "replace", "169.254.80.1/32", "dev", dev, "valid_lft", "50", "preferred_lft", "50"}, 0},
        {"another address comes", {"addr", "add", "169.254.80.2/32", "dev", dev}, 1},
        {"an address goes", {"addr", "del", "169.254.80.1/32", "dev", dev}, 1},
        {"it comes back", {"addr", "add", "169.254.80.1/32", "dev", dev, "valid_lft", "30", "preferred_lft", "30"}, 1},
        {"it loses its preferred lifetime", {"addr", "change", "169.254.80.1/32", "dev", dev, "valid_lft", "30", "preferred_lft", "0"}, 1},
    };
    liborvaniot_os_net_address_watch_drain(watch_);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(Ip(topology_.finder, step.args));
        EXPECT_EQ(DrainAfterChange(), step.changed);
    }
}

}  // namespace
