// Adding, renewing and deleting the address the program owns, on veth pairs that stay inside the
// finder namespace.
#include <gtest/gtest.h>
#include <net/if.h>

#include <string>

#include "host_addresses.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "netns_env.h"

namespace {

using os_net_test::FindAddress;
using os_net_test::Ip;
using os_net_test::ToAddress;

// Seconds left of a finite lifetime as ip shows it ("29sec"), -1 for "forever" or when absent.
int SecondsLeft(const std::string& valid_lft) {
    if (valid_lft.size() < 4 || valid_lft.substr(valid_lft.size() - 3) != "sec") return -1;
    return std::stoi(valid_lft);
}

class OwnedAddressTest : public testing::Test {
  protected:
    void TearDown() override {
        for (const std::string& link : links_) Ip(topology_.finder, {"link", "del", link});
    }
    // Both ends stay in this namespace; deleting the named end removes the pair.
    uint32_t AddLink(const std::string& name, const std::string& peer) {
        EXPECT_TRUE(Ip(topology_.finder, {"link", "add", name, "type", "veth", "peer", "name", peer}));
        links_.push_back(name);
        EXPECT_TRUE(Ip(topology_.finder, {"link", "set", name, "up"}));
        return if_nametoindex(name.c_str());
    }

    orvan::netns::Topology topology_ = orvan::netns::Topology::FromEnvironment();
    std::vector<std::string> links_;
};

TEST_F(OwnedAddressTest, AddedAddressIsLabelledRenewedAndDeletedWithoutComingBack) {
    const std::string short_name = topology_.id + "d";
    const std::string long_name = (topology_.id + "dlongname").substr(0, 15);
    const std::string short_peer = topology_.id + "D";
    const std::string long_peer = (topology_.id + "Dlongname").substr(0, 15);
    const struct {
        const char* what;
        std::string link;
        std::string peer;
        const char* address;
        std::string label;
    } cases[] = {
        {"room for our label", short_name, short_peer, "169.254.50.1", short_name + ":ov"},
        {"name too long for our label", long_name, long_peer, "169.254.50.2", long_name},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const uint32_t index = AddLink(row.link, row.peer);
        ASSERT_NE(index, 0u);
        liborvaniot_os_net_owned_address owned;
        ASSERT_EQ(liborvaniot_os_net_addr_add(index, ToAddress(row.address), 16, ":ov", 30, &owned), 0);
        EXPECT_EQ(owned.if_index, index);
        EXPECT_STREQ(owned.label, row.label.c_str());
        auto shown = FindAddress(topology_.finder, row.address);
        ASSERT_TRUE(shown.has_value());
        EXPECT_EQ(shown->link, row.link);
        EXPECT_EQ(shown->prefix, 16);
        EXPECT_EQ(shown->label, row.label);
        EXPECT_GT(SecondsLeft(shown->valid_lft), 0);
        EXPECT_LE(SecondsLeft(shown->valid_lft), 30);

        liborvaniot_os_net_owned_address again;
        EXPECT_NE(liborvaniot_os_net_addr_add(index, ToAddress(row.address), 16, ":ov", 30, &again), 0)
            << "an address already there is not taken over";

        EXPECT_EQ(liborvaniot_os_net_addr_renew(&owned, 600), 0);
        shown = FindAddress(topology_.finder, row.address);
        ASSERT_TRUE(shown.has_value());
        EXPECT_GT(SecondsLeft(shown->valid_lft), 30);

        EXPECT_EQ(liborvaniot_os_net_addr_delete(&owned), 0);
        EXPECT_FALSE(FindAddress(topology_.finder, row.address).has_value());
        EXPECT_NE(liborvaniot_os_net_addr_renew(&owned, 30), 0);
        EXPECT_FALSE(FindAddress(topology_.finder, row.address).has_value()) << "renewal brought it back";
    }
}

}  // namespace
