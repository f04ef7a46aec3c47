// Link-local addressing through the core, inside the private test network: the finder namespace
// holds lo and one link to the test segment; peer 1 sits on the same segment.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core_test_support.h"
#include "host_addresses.h"
#include "liborvaniot_core_cms/liborvaniot_core_cms.h"
#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "reporting_child.h"

namespace {

using namespace std::chrono_literals;
using core_test::DropNetAdmin;
using core_test::WaitUntil;
using os_net_test::FindAddress;
using os_net_test::Ip;
using os_net_test::LinkLocalAddresses;
using os_net_test::RoutesWith;
using os_net_test::ToAddress;
using os_net_test::ToText;

constexpr auto kLifetime = std::chrono::seconds(MISC_COMMON_LINK_LOCAL_LIFETIME_S);

class LinkLocalTest : public core_test::CoreTest {
  protected:
    void TearDown() override {
        core_test::CoreTest::TearDown();
        for (const auto& row : LinkLocalAddresses(topology_.finder)) {
            Ip(topology_.finder,
               {"addr", "del", row.address + "/" + std::to_string(row.prefix), "dev", row.link});
        }
    }
    bool AddToFinder(const std::string& cidr, const std::vector<std::string>& options = {}) {
        std::vector<std::string> args = {"addr", "add", cidr, "dev", topology_.finder_link};
        args.insert(args.end(), options.begin(), options.end());
        return Ip(topology_.finder, args);
    }
    std::string OurLabel() const { return topology_.finder_link + MISC_COMMON_LINK_LOCAL_LABEL_SUFFIX; }
};

int SecondsLeft(const std::string& valid_lft) {
    if (valid_lft.size() < 4 || valid_lft.substr(valid_lft.size() - 3) != "sec") return -1;
    return std::stoi(valid_lft);
}

// The address the running core adds (its loop searches for one from its first turn), 0 when none
// came within 20 seconds.
uint32_t WaitForAddedAddress() {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (misc_common_link_local_added_address() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    return misc_common_link_local_added_address();
}

// Candidates the test chooses, handed to the core in order, so that it knows which one is tried.
class ScriptedCandidates {
  public:
    explicit ScriptedCandidates(std::vector<std::pair<uint8_t, uint8_t>> bytes) : bytes_(std::move(bytes)) {
        misc_common_set_link_local_candidate_source(
            [](uint8_t out[2], void* data) {
                auto* self = static_cast<ScriptedCandidates*>(data);
                if (self->next_ >= self->bytes_.size()) return false;
                out[0] = self->bytes_[self->next_].first;
                out[1] = self->bytes_[self->next_++].second;
                return true;
            },
            this);
    }
    ~ScriptedCandidates() { misc_common_set_link_local_candidate_source(nullptr, nullptr); }
    ScriptedCandidates(const ScriptedCandidates&) = delete;
    ScriptedCandidates& operator=(const ScriptedCandidates&) = delete;

  private:
    std::vector<std::pair<uint8_t, uint8_t>> bytes_;
    size_t next_ = 0;
};

// The route that serves 169.254.0.0/16 through the address.
std::vector<std::string> RoutesThrough(const std::string& ns, const std::string& address) {
    return os_net_test::RoutesWith(ns, {"169.254.0.0/16", "src", address});
}

TEST_F(LinkLocalTest, ExistingAddressIsPublishedAndLeftInPlace) {
    ASSERT_TRUE(AddToFinder("169.254.7.9/16"));
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    EXPECT_STREQ(misc_common_link_local_text(), "169.254.7.9");
    EXPECT_EQ(misc_common_link_local_present(), 1);
    EXPECT_EQ(misc_common_link_local_added_address(), 0u);
    EXPECT_EQ(LinkLocalAddresses(topology_.finder).size(), 1u) << "nothing added";
    liborvaniot_core_cms_finalize();
    EXPECT_TRUE(FindAddress(topology_.finder, "169.254.7.9").has_value()) << "not ours to remove";
}

// In a child process, which gives up the capability for good.
TEST_F(LinkLocalTest, WithoutNetAdminNothingIsAdded) {
    EXPECT_EXIT(
        {
            if (!DropNetAdmin()) _exit(2);
            liborvaniot_core_cms_initialize();
            // Long enough for the core loop's first turns, where an add would happen.
            std::this_thread::sleep_for(1500ms);
            const bool quiet = misc_common_link_local_present() == 0 &&
                               misc_common_link_local_added_address() == 0 &&
                               LinkLocalAddresses(topology_.finder).empty();
            liborvaniot_core_cms_finalize();
            _exit(quiet ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_TRUE(LinkLocalAddresses(topology_.finder).empty());
}

TEST_F(LinkLocalTest, FreeCandidateIsAddedToTheLinkKeptAliveAndRemovedAtStop) {
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    const uint32_t added = WaitForAddedAddress();
    ASSERT_NE(added, 0u);
    const std::string address = ToText(added);
    EXPECT_STREQ(misc_common_link_local_text(), address.c_str());
    EXPECT_EQ(misc_common_link_local_present(), 1);

    auto shown = FindAddress(topology_.finder, address);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->link, topology_.finder_link) << "not on loopback";
    EXPECT_EQ(shown->prefix, 32) << "a host address of its own, the network through its route";
    EXPECT_EQ(shown->label, OurLabel());
    EXPECT_EQ(RoutesWith(topology_.finder, {"169.254.0.0/16", "dev", topology_.finder_link, "src", address}).size(), 1u);
    EXPECT_GT(SecondsLeft(shown->valid_lft), 0) << shown->valid_lft;
    EXPECT_LE(SecondsLeft(shown->valid_lft), static_cast<int>(kLifetime.count()));

    std::this_thread::sleep_for(kLifetime + 2s);
    EXPECT_TRUE(FindAddress(topology_.finder, address).has_value()) << "the running core renews it";

    liborvaniot_core_cms_finalize();
    EXPECT_FALSE(FindAddress(topology_.finder, address).has_value());
    EXPECT_TRUE(RoutesThrough(topology_.finder, address).empty());
    EXPECT_EQ(misc_common_link_local_added_address(), 0u);
}

TEST_F(LinkLocalTest, RemovingOurAddressLeavesTheOtherLinkLocalAddressesOfTheLink) {
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    const uint32_t added = WaitForAddedAddress();
    ASSERT_NE(added, 0u);
    // Added after ours, as another tool (or another finder) would add one.
    ASSERT_TRUE(AddToFinder("169.254.33.33/16"));
    liborvaniot_core_cms_finalize();
    EXPECT_FALSE(FindAddress(topology_.finder, ToText(added)).has_value());
    EXPECT_TRUE(FindAddress(topology_.finder, "169.254.33.33").has_value()) << "taken down with ours";
}

TEST_F(LinkLocalTest, CandidatesComeFromTheSystemsRandomSourceNotTheLibraryGenerator) {
    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    std::vector<std::string> added;
    for (int run = 0; run < 2; ++run) {
        // Two hosts started in the same second once seeded the same generator the same way.
        std::srand(12345);
        ASSERT_EQ(misc_common_link_local_address_add(), 0);
        added.push_back(ToText(misc_common_link_local_added_address()));
        misc_common_link_local_address_remove();
    }
    EXPECT_NE(added[0], added[1]);
    liborvaniot_os_finalize();
}

// Echo requests to a peer, about one a millisecond, so that the finder's ICMP socket sees a steady
// stream of answers from an address other than the candidate's.
class EchoNoise {
  public:
    explicit EchoNoise(const std::string& target) : sock_(socket(AF_INET, SOCK_RAW, IPPROTO_ICMP)) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = ToAddress(target);
        thread_ = std::thread([this, to] {
            uint8_t request[8] = {8, 0, 0xF7, 0xFF, 0, 0, 0, 0};  // echo request, checksum precomputed
            while (!stop_) {
                sendto(sock_, request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
                std::this_thread::sleep_for(1ms);
            }
        });
    }
    ~EchoNoise() {
        stop_ = true;
        thread_.join();
        close(sock_);
    }

  private:
    int sock_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(LinkLocalTest, CandidateThatAnswersEchoFromItsOwnAddressIsSkipped) {
    const orvan::netns::Peer& peer = topology_.peers.at(0);
    const struct {
        const char* what;
        std::pair<uint8_t, uint8_t> taken_bytes;
        std::pair<uint8_t, uint8_t> free_bytes;
        bool other_icmp_traffic;
        std::chrono::milliseconds taken_after;  // when the peer takes the first candidate
    } cases[] = {
        {"quiet link, address in use from the start", {12, 34}, {56, 78}, false, 0ms},
        // The first echo request goes unanswered; by the later ones hundreds of other answers wait
        // in the socket ahead of the candidate's.
        {"busy link, address taken during the first probe", {90, 12}, {34, 56}, true, 200ms},
    };
    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const auto text = [](std::pair<uint8_t, uint8_t> bytes) {
            return "169.254." + std::to_string(bytes.first) + "." + std::to_string(bytes.second);
        };
        const std::string taken = text(row.taken_bytes);
        const std::string free = text(row.free_bytes);
        ScriptedCandidates candidates({row.taken_bytes, row.free_bytes});
        std::optional<EchoNoise> noise;
        if (row.other_icmp_traffic) noise.emplace(peer.address);
        std::thread taker([&] {
            std::this_thread::sleep_for(row.taken_after);
            EXPECT_TRUE(orvan::netns::AddAddress(peer.name, peer.link, taken + "/16"));
        });
        if (row.taken_after == 0ms) taker.join();

        EXPECT_EQ(misc_common_link_local_address_add(), 0);
        if (taker.joinable()) taker.join();
        noise.reset();
        EXPECT_EQ(ToText(misc_common_link_local_added_address()), free);
        EXPECT_TRUE(FindAddress(topology_.finder, free).has_value());
        EXPECT_FALSE(FindAddress(topology_.finder, taken).has_value());
        misc_common_link_local_address_remove();
        orvan::netns::DeleteAddress(peer.name, peer.link, taken + "/16");
    }
    liborvaniot_os_finalize();
}

TEST_F(LinkLocalTest, StartRemovesOnlyAddressesThatCarryOurLabel) {
    ASSERT_TRUE(
        AddToFinder("169.254.9.9/32", {"label", OurLabel(), "valid_lft", "60", "preferred_lft", "60"}));
    // A /24 of its own: as a secondary of the /16 leftover the kernel would drop it with the leftover.
    ASSERT_TRUE(AddToFinder("169.254.7.7/24", {"label", topology_.finder_link + ":k"}));
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    EXPECT_FALSE(FindAddress(topology_.finder, "169.254.9.9").has_value()) << "left behind by a killed run";
    EXPECT_TRUE(FindAddress(topology_.finder, "169.254.7.7").has_value());
    EXPECT_STREQ(misc_common_link_local_text(), "169.254.7.7");
    EXPECT_EQ(misc_common_link_local_added_address(), 0u);
}

// Another finder: a child process that starts the core, reports the address it added (0 for none)
// and runs until it is killed.
class OtherRun : public os_net_test::ReportingChild<uint32_t> {
  public:
    OtherRun()
        : ReportingChild(
              [] {
                  liborvaniot_core_cms_initialize();
                  return WaitForAddedAddress();
              },
              30000) {}
    uint32_t added() const { return value(); }
};

TEST_F(LinkLocalTest, ASecondRunUsesTheAddressTheFirstRenewsAndTakesOverWhenItGoes) {
    OtherRun first;
    ASSERT_TRUE(first.reported());
    ASSERT_NE(first.added(), 0u);
    const std::string address = ToText(first.added());

    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    EXPECT_TRUE(FindAddress(topology_.finder, address).has_value()) << "the first run's address stays";
    EXPECT_EQ(misc_common_link_local_text_copy(), address);
    EXPECT_EQ(misc_common_link_local_present(), 1);
    EXPECT_EQ(misc_common_link_local_added_address(), 0u) << "used as an existing address";
    std::this_thread::sleep_for(kLifetime + 2s);
    EXPECT_TRUE(FindAddress(topology_.finder, address).has_value()) << "the first run still renews it";

    const uint32_t generation = misc_common_link_local_generation();
    first.Kill();
    EXPECT_TRUE(WaitUntil([] { return misc_common_link_local_added_address() != 0; }, 30s))
        << "once the first run's address expires, this run adds one of its own";
    EXPECT_GT(misc_common_link_local_generation(), generation);
    const std::string own = ToText(misc_common_link_local_added_address());
    EXPECT_EQ(misc_common_link_local_text_copy(), own);
    EXPECT_TRUE(FindAddress(topology_.finder, own).has_value());
}

TEST_F(LinkLocalTest, AnAddressRemovedUnderARunningCoreIsWithdrawnAndReplaced) {
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    const uint32_t first = WaitForAddedAddress();
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(Ip(topology_.finder, {"addr", "del", ToText(first) + "/32", "dev", topology_.finder_link}));
    EXPECT_TRUE(WaitUntil(
        [first] {
            const uint32_t now = misc_common_link_local_added_address();
            return now != 0 && now != first;
        },
        30s));
    const std::string replacement = ToText(misc_common_link_local_added_address());
    EXPECT_EQ(misc_common_link_local_text_copy(), replacement);
    EXPECT_TRUE(FindAddress(topology_.finder, replacement).has_value());
    EXPECT_FALSE(FindAddress(topology_.finder, ToText(first)).has_value()) << "not brought back";
}

TEST_F(LinkLocalTest, AStopDuringTheSearchOrAnAddThatFailsPublishesNothing) {
    const struct {
        const char* what;
        bool real_link;  // otherwise an interface index that does not exist: every add fails
        std::chrono::milliseconds stop_after;
    } cases[] = {
        {"stop while probing a free candidate", true, 100ms},
        {"every add refused until the stop", false, 3s},
    };
    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    const uint32_t link = if_nametoindex(topology_.finder_link.c_str());
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        std::thread stopper([&] {
            std::this_thread::sleep_for(row.stop_after);
            liborvaniot_os_stop_flag = 1;
        });
        const int32_t result = misc_common_link_local_address_pick(row.real_link ? link : 999999);
        stopper.join();
        liborvaniot_os_stop_flag = 0;
        EXPECT_NE(result, 0);
        EXPECT_EQ(misc_common_link_local_present(), 0);
        EXPECT_EQ(misc_common_link_local_added_address(), 0u);
        EXPECT_TRUE(LinkLocalAddresses(topology_.finder).empty()) << "nothing added";
    }
    liborvaniot_os_finalize();
}

// The child adds an address and is killed before it can remove it; the kernel ends the address.
TEST_F(LinkLocalTest, KilledRunLeavesNoAddressBeyondItsLifetime) {
    OtherRun run;
    const uint32_t added = run.added();
    run.Kill();
    ASSERT_TRUE(run.reported());
    ASSERT_NE(added, 0u);
    const std::string address = ToText(added);
    ASSERT_TRUE(FindAddress(topology_.finder, address).has_value()) << "still there right after the kill";
    EXPECT_EQ(RoutesThrough(topology_.finder, address).size(), 1u);

    const auto killed = std::chrono::steady_clock::now();
    while (FindAddress(topology_.finder, address).has_value() &&
           std::chrono::steady_clock::now() - killed < 30s) {
        std::this_thread::sleep_for(100ms);
    }
    const auto gone_after =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - killed);
    EXPECT_FALSE(FindAddress(topology_.finder, address).has_value());
    EXPECT_TRUE(RoutesThrough(topology_.finder, address).empty()) << "the route outlived its address";
    RecordProperty("address_gone_after_ms", static_cast<int>(gone_after.count()));
    std::printf("address of the killed run gone %lld ms after SIGKILL (lifetime %lld s)\n",
                static_cast<long long>(gone_after.count()), static_cast<long long>(kLifetime.count()));
}

}  // namespace
