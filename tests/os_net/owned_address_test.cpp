// Adding, renewing and deleting the address the program owns, on veth pairs that stay inside the
// finder namespace.
#include <gtest/gtest.h>
#include <net/if.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Adds the address in a child process that is then killed, as a crashed run would leave it. The
// addresses here are /32 so that none is another's secondary, which the kernel would delete with it.
bool LeaveBehind(uint32_t index, const std::string& address) {
    int report[2];
    if (pipe(report) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        liborvaniot_os_net_owned_address owned;
        const char added = liborvaniot_os_net_addr_add(index, ToAddress(address), 32, ":ov", 60, &owned) == 0;
        if (write(report[1], &added, 1) != 1) _exit(1);
        for (;;) pause();
    }
    close(report[1]);
    char added = 0;
    pollfd ready{report[0], POLLIN, 0};
    const bool reported = child > 0 && poll(&ready, 1, 10000) == 1 && read(report[0], &added, 1) == 1;
    close(report[0]);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return reported && added == 1;
}

TEST_F(OwnedAddressTest, OnlyLeftoversOfEndedRunsAreDeletedWhateverTheInterfaceName) {
    const struct {
        const char* what;
        std::string link;
        std::string peer;
    } cases[] = {
        {"room for our label", topology_.id + "e", topology_.id + "E"},
        {"name too long for our label", (topology_.id + "elongname").substr(0, 15),
         (topology_.id + "Elongname").substr(0, 15)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const uint32_t index = AddLink(row.link, row.peer);
        ASSERT_NE(index, 0u);
        ASSERT_TRUE(LeaveBehind(index, "169.254.60.1"));
        liborvaniot_os_net_owned_address live;
        ASSERT_EQ(liborvaniot_os_net_addr_add(index, ToAddress("169.254.60.2"), 32, ":ov", 60, &live), 0);
        ASSERT_TRUE(Ip(topology_.finder, {"addr", "add", "169.254.60.3/32", "dev", row.link}));

        EXPECT_EQ(liborvaniot_os_net_addr_delete_orphaned(":ov"), 1);
        EXPECT_FALSE(FindAddress(topology_.finder, "169.254.60.1").has_value()) << "left by a killed run";
        EXPECT_TRUE(FindAddress(topology_.finder, "169.254.60.2").has_value()) << "renewed by a live run";
        EXPECT_TRUE(FindAddress(topology_.finder, "169.254.60.3").has_value()) << "not ours";

        liborvaniot_os_net_owned_address taken;
        EXPECT_EQ(liborvaniot_os_net_addr_add(index, ToAddress("169.254.60.1"), 32, ":ov", 60, &taken), 0)
            << "the claim of the killed run has gone with it";
        liborvaniot_os_net_addr_delete(&taken);
        liborvaniot_os_net_addr_delete(&live);
        Ip(topology_.finder, {"addr", "del", "169.254.60.3/32", "dev", row.link});
    }
}

}  // namespace
