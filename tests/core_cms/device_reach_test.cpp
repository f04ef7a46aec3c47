// Reaching a device that answered from another subnet of the same link, inside the private test
// network: peer 1 plays a camera still on its factory address (192.168.1.64/24) beside the
// finder's 198.18.0.1/16, with nothing routing between the two networks.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "core_test_support.h"
#include "host_addresses.h"
#include "liborvaniot_core_cms/device_reach.h"
#include "liborvaniot_core_cms/liborvaniot_core_cms.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "reporting_child.h"

namespace {

using namespace std::chrono_literals;
using core_test::DropNetAdmin;
using core_test::WaitUntil;
using os_net_test::FindAddress;
using os_net_test::ListAddresses;
using os_net_test::RoutesWith;
using os_net_test::ToAddress;
using os_net_test::ToText;

constexpr char kDevice[] = "192.168.1.64";
constexpr char kSecondDevice[] = "192.168.1.66";
constexpr char kTakenByPeer[] = "192.168.1.65";  // answers ARP: never chosen

// Candidates the test chooses, in order, so that it knows which one is tried.
class ScriptedHosts {
  public:
    explicit ScriptedHosts(std::vector<uint8_t> hosts) : hosts_(std::move(hosts)) {
        device_reach_set_candidate_source(
            [](uint8_t* out, void* data) {
                auto* self = static_cast<ScriptedHosts*>(data);
                if (self->next_ >= self->hosts_.size()) return false;
                *out = self->hosts_[self->next_++];
                return true;
            },
            this);
    }
    ~ScriptedHosts() { device_reach_set_candidate_source(nullptr, nullptr); }
    ScriptedHosts(const ScriptedHosts&) = delete;
    ScriptedHosts& operator=(const ScriptedHosts&) = delete;

  private:
    std::vector<uint8_t> hosts_;
    size_t next_ = 0;
};

// True when a TCP connection attempt gets an answer (accepted or refused) from the address.
bool Answers(const std::string& address) {
    const int sock = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr.s_addr = ToAddress(address);
    int error = connect(sock, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 ? 0 : errno;
    if (error == EINPROGRESS) {
        pollfd ready{sock, POLLOUT, 0};
        if (poll(&ready, 1, 2000) == 1) {
            socklen_t size = sizeof error;
            getsockopt(sock, SOL_SOCKET, SO_ERROR, &error, &size);
        } else {
            error = ETIMEDOUT;
        }
    }
    close(sock);
    return error == 0 || error == ECONNREFUSED;
}

// Our addresses for reaching devices, as the ip tool shows them.
std::vector<os_net_test::HostAddress> ReachAddresses(const std::string& ns) {
    std::vector<os_net_test::HostAddress> ours;
    for (const auto& row : ListAddresses(ns)) {
        if (row.label.size() > 3 && row.label.substr(row.label.size() - 3) == DEVICE_REACH_LABEL_SUFFIX) {
            ours.push_back(row);
        }
    }
    return ours;
}

class DeviceReachTest : public core_test::CoreWithLinkLocalAddress {
  protected:
    void SetUp() override {
        CoreWithLinkLocalAddress::SetUp();
        for (const char* address : {kDevice, kSecondDevice, kTakenByPeer}) {
            ASSERT_TRUE(orvan::netns::AddAddress(peer().name, peer().link, std::string(address) + "/24"));
        }
        link_ = if_nametoindex(topology_.finder_link.c_str());
        ASSERT_NE(link_, 0u);
    }
    void TearDown() override {
        device_reach_remove_all();
        CoreWithLinkLocalAddress::TearDown();
        // Secondaries first: they would go with the first address of the /24.
        for (const char* address : {kTakenByPeer, kSecondDevice, kDevice}) {
            orvan::netns::DeleteAddress(peer().name, peer().link, std::string(address) + "/24");
        }
    }
    const orvan::netns::Peer& peer() const { return topology_.peers.at(0); }
    bool NothingLeft() const {
        return ReachAddresses(topology_.finder).empty() &&
               RoutesWith(topology_.finder, {"proto", "111"}).empty();
    }

    uint32_t link_ = 0;
};

TEST_F(DeviceReachTest, ADeviceOnAnotherSubnetIsReachedThroughOneFreeAddressKeptAliveAndRemovedAtStop) {
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    ASSERT_FALSE(Answers(kDevice)) << "nothing routes there yet";
    EXPECT_FALSE(device_reach_is_direct(ToAddress(kDevice), link_));
    EXPECT_TRUE(device_reach_is_direct(ToAddress(peer().address), link_)) << "on the finder's own network";
    EXPECT_TRUE(device_reach_is_direct(ToAddress(peer().address), 0)) << "arrival interface unknown";
    EXPECT_FALSE(device_reach_is_direct(ToAddress(peer().address), if_nametoindex("lo")))
        << "reached directly, but not on the link the answer came in on";
    // The device's own address and one the peer holds are skipped; 23 is free.
    ScriptedHosts hosts({64, 65, 23});
    const device_reach_result reached = device_reach_make(ToAddress(kDevice), link_);
    ASSERT_EQ(reached.outcome, device_reach_outcome::made_reachable) << device_reach_describe(reached);
    EXPECT_EQ(ToText(reached.address_used), "192.168.1.23");
    EXPECT_TRUE(Answers(kDevice));
    EXPECT_TRUE(device_reach_is_direct(ToAddress(kDevice), link_)) << "through the host route";
    const auto shown = FindAddress(topology_.finder, "192.168.1.23");
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->prefix, 32);
    EXPECT_EQ(shown->label, topology_.finder_link + DEVICE_REACH_LABEL_SUFFIX);
    EXPECT_EQ(RoutesWith(topology_.finder, {kDevice, "src", "192.168.1.23"}).size(), 1u);
    EXPECT_FALSE(Answers(kSecondDevice)) << "only the device asked for is routed";

    // The window's way: a request, answered through the listener.
    std::atomic<int> outcome{-1};
    std::atomic<uint32_t> used{0};
    struct report {
        std::atomic<int>* outcome;
        std::atomic<uint32_t>* used;
    } into{&outcome, &used};
    device_reach_set_listener(
        [](const device_reach_result& result, void* data) {
            auto* r = static_cast<report*>(data);
            r->used->store(result.address_used);
            r->outcome->store(static_cast<int>(result.outcome));
        },
        &into);
    device_reach_request(ToAddress(kSecondDevice), link_);
    ASSERT_TRUE(WaitUntil([&] { return outcome.load() != -1; }, 20s));
    device_reach_set_listener(nullptr, nullptr);
    EXPECT_EQ(outcome.load(), static_cast<int>(device_reach_outcome::made_reachable));
    EXPECT_EQ(used.load(), reached.address_used) << "one address per subnet, not per device";
    EXPECT_TRUE(Answers(kSecondDevice));
    EXPECT_EQ(ReachAddresses(topology_.finder).size(), 1u);

    EXPECT_EQ(device_reach_make(ToAddress(kDevice), link_).outcome, device_reach_outcome::already_reachable);
    EXPECT_EQ(device_reach_make(ToAddress(peer().address), link_).outcome, device_reach_outcome::already_reachable)
        << "a device on the finder's own network";

    std::this_thread::sleep_for(std::chrono::seconds(DEVICE_REACH_LIFETIME_S) + 2s);
    EXPECT_TRUE(Answers(kDevice)) << "the running core renews the address";

    liborvaniot_core_cms_finalize();
    EXPECT_TRUE(NothingLeft());
    EXPECT_FALSE(Answers(kDevice));
}

// Another finder: a child process that reaches the device, reports the address it used and runs
// until it is killed.
class OtherFinder : public os_net_test::ReportingChild<uint32_t> {
  public:
    explicit OtherFinder(uint32_t link)
        : ReportingChild(
              [link] {
                  liborvaniot_core_cms_initialize();
                  return device_reach_make(ToAddress(kDevice), link).address_used;
              },
              30000) {}
    uint32_t used() const { return value(); }
};

TEST_F(DeviceReachTest, ASecondFinderUsesTheFirstsAddressAndAKilledFinderLeavesNothingBeyondTheLifetime) {
    OtherFinder first(link_);
    ASSERT_NE(first.used(), 0u);
    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    const device_reach_result reached = device_reach_make(ToAddress(kDevice), link_);
    EXPECT_EQ(reached.outcome, device_reach_outcome::made_reachable) << device_reach_describe(reached);
    EXPECT_EQ(reached.address_used, first.used());
    EXPECT_EQ(ReachAddresses(topology_.finder).size(), 1u);
    EXPECT_TRUE(Answers(kDevice));

    first.Kill();
    EXPECT_TRUE(WaitUntil([&] { return NothingLeft(); }, std::chrono::seconds(DEVICE_REACH_LIFETIME_S) + 5s))
        << "the address expires and its routes go with it";
    device_reach_refresh();
    liborvaniot_os_finalize();
}

TEST_F(DeviceReachTest, WithoutAdministratorRightsTheOutcomeSaysSoAndNothingChanges) {
    EXPECT_EXIT(
        {
            if (!DropNetAdmin()) _exit(2);
            const device_reach_result result = device_reach_make(ToAddress(kDevice), link_);
            _exit(result.outcome == device_reach_outcome::no_rights ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_TRUE(NothingLeft());
}

}  // namespace
