// Adding, renewing and deleting the address the program owns, on veth pairs that stay inside the
// finder namespace.
#include <gtest/gtest.h>
#include <grp.h>
#include <net/if.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "host_addresses.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os_net_claim.h"
#include "netns_env.h"
#include "reporting_child.h"

namespace {

using os_net_test::FindAddress;
using os_net_test::Ip;
using os_net_test::RoutesWith;
using os_net_test::ToAddress;
using namespace std::chrono_literals;

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

// Runs body in a child process that reports its one-byte verdict, then holds what it took until
// killed; 0 when nothing came.
using Child = os_net_test::ReportingChild<char>;

bool BecomeNobody() {
    return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
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

TEST_F(OwnedAddressTest, AUserWithoutRightsCanNeitherBlockNorTakeTheClaimOnAnAddress) {
    const uint32_t index = AddLink(topology_.id + "u", topology_.id + "U");
    ASSERT_NE(index, 0u);
    const std::string address = "169.254.70.1";
    // Everything such a user could try: the socket name older runs claimed with, and the claim file.
    Child squatter([&] {
        if (!BecomeNobody()) return 'u';
        const int sock = socket(AF_UNIX, SOCK_DGRAM, 0);
        sockaddr_un name{};
        name.sun_family = AF_UNIX;
        const int length =
            std::snprintf(name.sun_path + 1, sizeof name.sun_path - 1, "orvan-link-local/%s", address.c_str());
        bind(sock, reinterpret_cast<const sockaddr*>(&name),
             static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length));
        char claim_name[64];
        int claim = -1;
        if (!liborvaniot_os_net_claim_name(ToAddress(address), claim_name, sizeof claim_name)) return 'n';
        return liborvaniot_os_net_claim_take(LIBORVANIOT_OS_NET_CLAIM_DIRECTORY, claim_name, &claim) == 0 ? 't'
                                                                                                          : 'r';
    });
    ASSERT_EQ(squatter.value(), 'r') << "the user without rights could not take the claim";

    liborvaniot_os_net_owned_address owned;
    EXPECT_EQ(liborvaniot_os_net_addr_add(index, ToAddress(address), 32, ":ov", 30, &owned), 0)
        << "a squatted name blocks nothing";
    liborvaniot_os_net_addr_delete(&owned);
}

TEST_F(OwnedAddressTest, ClaimsAreRefusedInADirectoryOthersCouldTamperWith) {
    char scratch_template[] = "/tmp/orvan-claim-test-XXXXXX";
    ASSERT_NE(mkdtemp(scratch_template), nullptr);
    const std::string scratch = scratch_template;
    const std::string safe = scratch + "/safe";
    ASSERT_EQ(mkdir(safe.c_str(), 0700), 0);
    const struct {
        const char* what;
        std::function<bool(const std::string&)> make;
    } unsafe[] = {
        {"a symbolic link to a safe directory", [&](const std::string& path) { return symlink(safe.c_str(), path.c_str()) == 0; }},
        {"open to others", [](const std::string& path) { return mkdir(path.c_str(), 0700) == 0 && chmod(path.c_str(), 0755) == 0; }},
        {"owned by another user", [](const std::string& path) { return mkdir(path.c_str(), 0700) == 0 && chown(path.c_str(), 65534, 65534) == 0; }},
        {"a file, not a directory", [](const std::string& path) {
             FILE* file = std::fopen(path.c_str(), "w");
             return file != nullptr && std::fclose(file) == 0;
         }},
    };
    int n = 0;
    for (const auto& row : unsafe) {
        SCOPED_TRACE(row.what);
        const std::string path = scratch + "/unsafe" + std::to_string(n++);
        ASSERT_TRUE(row.make(path));
        int claim = -1;
        EXPECT_NE(liborvaniot_os_net_claim_take(path.c_str(), "a", &claim), 0);
        EXPECT_EQ(claim, -1);
    }

    int first = -1;
    ASSERT_EQ(liborvaniot_os_net_claim_take(safe.c_str(), "a", &first), 0);
    Child other([&] {
        int claim = -1;
        return liborvaniot_os_net_claim_take(safe.c_str(), "a", &claim) == EADDRINUSE ? 'b' : 't';
    });
    EXPECT_EQ(other.value(), 'b') << "held by a live process";
    liborvaniot_os_net_claim_release(safe.c_str(), "a", &first);
    EXPECT_EQ(first, -1);
    int again = -1;
    EXPECT_EQ(liborvaniot_os_net_claim_take(safe.c_str(), "a", &again), 0) << "given up";
    liborvaniot_os_net_claim_release(safe.c_str(), "a", &again);
    std::system(("rm -rf " + scratch).c_str());
}

TEST_F(OwnedAddressTest, CleanUpAndRenewalLeaveEveryAddressThatIsNotProvablyOurs) {
    const std::string link = topology_.id + "c";
    const uint32_t index = AddLink(link, topology_.id + "C");
    ASSERT_NE(index, 0u);
    const std::vector<std::string> lifetime = {"valid_lft", "60", "preferred_lft", "60"};
    const struct {
        const char* what;
        const char* cidr;
        std::string label;
        bool finite;
    } others[] = {
        {"not link-local", "10.66.1.1/32", link + ":ov", true},
        {"not our prefix length", "169.254.64.1/24", link + ":ov", true},
        {"never expires", "169.254.64.2/32", link + ":ov", false},
        {"a label that only ends like ours", "169.254.64.3/32", link + "x:ov", true},
    };
    for (const auto& row : others) {
        std::vector<std::string> args = {"addr", "add", row.cidr, "dev", link, "label", row.label};
        if (row.finite) args.insert(args.end(), lifetime.begin(), lifetime.end());
        ASSERT_TRUE(Ip(topology_.finder, args)) << row.what;
    }
    ASSERT_TRUE(LeaveBehind(index, "169.254.64.9"));

    EXPECT_EQ(liborvaniot_os_net_addr_delete_orphaned(":ov"), 1);
    EXPECT_FALSE(FindAddress(topology_.finder, "169.254.64.9").has_value()) << "left by a killed run";
    for (const auto& row : others) {
        SCOPED_TRACE(row.what);
        const std::string cidr = row.cidr;
        EXPECT_TRUE(FindAddress(topology_.finder, cidr.substr(0, cidr.find('/'))).has_value());
    }

    // An address of ours that someone replaced with one of their own, same address and prefix.
    liborvaniot_os_net_owned_address owned;
    ASSERT_EQ(liborvaniot_os_net_addr_add(index, ToAddress("169.254.64.10"), 32, ":ov", 30, &owned), 0);
    ASSERT_TRUE(Ip(topology_.finder, {"addr", "del", "169.254.64.10/32", "dev", link}));
    ASSERT_TRUE(Ip(topology_.finder, {"addr", "add", "169.254.64.10/32", "dev", link}));
    EXPECT_EQ(liborvaniot_os_net_addr_renew(&owned, 30), EADDRNOTAVAIL);
    const auto theirs = FindAddress(topology_.finder, "169.254.64.10");
    ASSERT_TRUE(theirs.has_value());
    EXPECT_EQ(theirs->valid_lft, "forever") << "renewal touched an address that is not ours";
    EXPECT_NE(liborvaniot_os_net_addr_delete(&owned), 0);
    EXPECT_TRUE(FindAddress(topology_.finder, "169.254.64.10").has_value()) << "deleted with our label only";
}

TEST_F(OwnedAddressTest, TheRouteOfAnAddressGoesWithItAndLeavesOtherHoldersOfTheNetwork) {
    const std::string link = topology_.id + "r";
    const uint32_t index = AddLink(link, topology_.id + "R");
    ASSERT_NE(index, 0u);
    const uint32_t network = ToAddress("169.254.0.0");
    liborvaniot_os_net_owned_address first;
    liborvaniot_os_net_owned_address second;
    ASSERT_EQ(liborvaniot_os_net_addr_add(index, ToAddress("169.254.65.1"), 32, ":ov", 30, &first), 0);
    ASSERT_EQ(liborvaniot_os_net_addr_add_route(&first, network, 16), 0);
    ASSERT_EQ(liborvaniot_os_net_addr_add(index, ToAddress("169.254.65.2"), 32, ":ov", 30, &second), 0);
    ASSERT_EQ(liborvaniot_os_net_addr_add_route(&second, network, 16), 0) << "a second holder of the network";
    EXPECT_EQ(RoutesWith(topology_.finder, {"169.254.0.0/16", "dev", link, "src", "169.254.65.1"}).size(), 1u);

    EXPECT_EQ(liborvaniot_os_net_addr_delete(&first), 0);
    EXPECT_TRUE(RoutesWith(topology_.finder, {"169.254.0.0/16", "src", "169.254.65.1"}).empty());
    EXPECT_TRUE(FindAddress(topology_.finder, "169.254.65.2").has_value()) << "not taken down with ours";
    EXPECT_EQ(RoutesWith(topology_.finder, {"169.254.0.0/16", "dev", link, "src", "169.254.65.2"}).size(), 1u);
    liborvaniot_os_net_addr_delete(&second);

    // A killed run: the address expires, and the kernel must take its route with it.
    Child killed([&] {
        liborvaniot_os_net_owned_address owned;
        if (liborvaniot_os_net_addr_add(index, ToAddress("169.254.65.3"), 32, ":ov", 2, &owned) != 0) return 'a';
        return liborvaniot_os_net_addr_add_route(&owned, network, 16) == 0 ? 'y' : 'r';
    });
    ASSERT_EQ(killed.value(), 'y');
    killed.Kill();
    EXPECT_EQ(RoutesWith(topology_.finder, {"169.254.0.0/16", "src", "169.254.65.3"}).size(), 1u);
    EXPECT_TRUE(WaitUntil([&] { return !FindAddress(topology_.finder, "169.254.65.3").has_value(); }, 10s));
    EXPECT_TRUE(RoutesWith(topology_.finder, {"169.254.0.0/16", "src", "169.254.65.3"}).empty())
        << "the route outlived its expired address";
}

}  // namespace
