// Discovery channels and datagram I/O, run inside the private test network (finder namespace).
#include <algorithm>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "host_addresses.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_select.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "netns_env.h"

namespace {

using namespace std::chrono_literals;
using os_net_test::ToAddress;
using os_net_test::ToText;

constexpr uint16_t kProbePort = 13702;

class ChannelTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(liborvaniot_os_initialize(), 0); }
    void TearDown() override {
        CloseChannels();
        for (const std::string& address : added_) RemoveAddress(address);
        liborvaniot_os_finalize();
    }

    void AddAddress(const std::string& address) {
        ASSERT_TRUE(
            os_net_test::Ip(topology_.finder, {"addr", "add", address + "/32", "dev", topology_.finder_link}))
            << address;
        added_.push_back(address);
    }
    void RemoveAddress(const std::string& address) {
        os_net_test::Ip(topology_.finder, {"addr", "del", address + "/32", "dev", topology_.finder_link});
        std::erase(added_, address);
    }
    void AddSpareAddresses(int count) {
        for (int k = 1; k <= count; ++k) AddAddress("198.18.200." + std::to_string(k));
    }
    void RemoveAllAdded() {
        while (!added_.empty()) RemoveAddress(added_.back());
    }

    void CloseChannels() {
        for (auto& channel : table_.channels) liborvaniot_os_socket_debug_close(&channel.sock);
        table_.count = 0;
    }

    // What the channels should be: the first eight addresses of the table that are not loopback.
    std::vector<std::string> ExpectedFromTable() const {
        std::vector<std::string> expected;
        const auto rows = os_net_test::ListAddresses(topology_.finder);
        if (rows.size() > static_cast<size_t>(LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS)) return expected;
        for (const auto& row : rows) {
            if (row.address != "127.0.0.1" && expected.size() < 8) expected.push_back(row.address);
        }
        return expected;
    }

    std::vector<std::string> ChannelAddresses() const {
        std::vector<std::string> addresses;
        for (int32_t i = 0; i < table_.count; ++i) addresses.push_back(ToText(table_.channels[i].if_addr));
        return addresses;
    }

    // Every channel is a bound socket that sends its multicast through its own interface.
    void ExpectChannelsReady() const {
        for (int32_t i = 0; i < table_.count; ++i) {
            const liborvaniot_os_net_channel& channel = table_.channels[i];
            SCOPED_TRACE(ToText(channel.if_addr));
            ASSERT_NE(channel.sock, LIBORVANIOT_OS_INVALID_SOCKET);
            EXPECT_EQ(channel.probe_port, kProbePort);
            sockaddr_in bound{};
            socklen_t size = sizeof bound;
            ASSERT_EQ(getsockname(channel.sock, reinterpret_cast<sockaddr*>(&bound), &size), 0);
            EXPECT_EQ(bound.sin_addr.s_addr, channel.if_addr);
            in_addr outgoing{};
            size = sizeof outgoing;
            ASSERT_EQ(getsockopt(channel.sock, IPPROTO_IP, IP_MULTICAST_IF, &outgoing, &size), 0);
            EXPECT_EQ(outgoing.s_addr, channel.if_addr);
        }
        for (int32_t i = table_.count; i < LIBORVANIOT_OS_NET_MAX_CHANNELS; ++i) {
            EXPECT_EQ(table_.channels[i].sock, LIBORVANIOT_OS_INVALID_SOCKET);
        }
    }

    orvan::netns::Topology topology_ = orvan::netns::Topology::FromEnvironment();
    liborvaniot_os_net_channel_table table_;
    std::vector<std::string> added_;
};

TEST_F(ChannelTest, ChannelsOpenOnEveryAddressButLoopbackAtMostEight) {
    const struct {
        const char* what;
        int spare_addresses;          // added to the finder's link besides its own address
        const char* extra_interface;  // nullptr: none
        int expected_count;
    } cases[] = {
        {"the finder's own address only", 0, nullptr, 1},
        {"ten usable addresses", 9, nullptr, 8},
        {"exactly as many addresses as the table holds", 19, nullptr, 8},
        {"one address more than the table holds", 20, nullptr, 0},
        {"too many addresses, with an extra interface", 20, "198.18.200.5", 1},
        {"extra interface that the table already opened", 0, "198.18.0.1", 1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        AddSpareAddresses(row.spare_addresses);
        std::vector<std::string> expected = ExpectedFromTable();
        std::atomic<uint32_t> extra{row.extra_interface != nullptr ? ToAddress(row.extra_interface) : 0};
        if (row.extra_interface != nullptr &&
            std::find(expected.begin(), expected.end(), row.extra_interface) == expected.end()) {
            expected.push_back(row.extra_interface);
        }

        liborvaniot_os_net_multicast_client_open_all(&table_, kProbePort, &extra);

        EXPECT_EQ(table_.count, row.expected_count);
        EXPECT_EQ(ChannelAddresses(), expected);
        ExpectChannelsReady();
        CloseChannels();
        RemoveAllAdded();
    }
}

TEST_F(ChannelTest, ExtraInterfaceIsRetriedUntilItsAddressCanBeUsed) {
    const struct {
        const char* what;
        const char* present_before;  // added before the call, so also opened from the table
        const char* initial;         // extra interface address at the call
        const char* later;           // what becomes usable about a second later
        bool later_is_new_value;     // the extra interface address is changed to it, else it is added
        std::vector<std::string> expected;
    } cases[] = {
        {"address added to the host while waiting",
         nullptr,
         "198.18.77.1",
         "198.18.77.1",
         false,
         {"198.18.0.1", "198.18.77.1"}},
        {"extra interface changed while waiting",
         "198.18.77.2",
         "198.18.77.3",
         "198.18.77.2",
         true,
         {"198.18.0.1", "198.18.77.2"}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        if (row.present_before != nullptr) AddAddress(row.present_before);
        std::atomic<uint32_t> extra{ToAddress(row.initial)};
        std::thread later([&] {
            std::this_thread::sleep_for(1200ms);
            if (row.later_is_new_value) {
                extra = ToAddress(row.later);
            } else {
                AddAddress(row.later);
            }
        });
        liborvaniot_os_net_multicast_client_open_all(&table_, kProbePort, &extra);
        later.join();

        EXPECT_EQ(ChannelAddresses(), row.expected);
        ExpectChannelsReady();
        CloseChannels();
        RemoveAllAdded();
    }
}

TEST_F(ChannelTest, SyncKeepsTheChannelsThatStayAndFollowsAddressesThatComeAndGo) {
    ASSERT_EQ(liborvaniot_os_net_multicast_client_sync(&table_, kProbePort, 0), 0);
    ASSERT_EQ(ChannelAddresses(), std::vector<std::string>{"198.18.0.1"});
    const liborvaniot_os_socket first = table_.channels[0].sock;

    AddAddress("198.18.200.1");
    EXPECT_EQ(liborvaniot_os_net_multicast_client_sync(&table_, kProbePort, 0), 0);
    EXPECT_EQ(ChannelAddresses(), (std::vector<std::string>{"198.18.0.1", "198.18.200.1"}));
    EXPECT_EQ(table_.channels[0].sock, first) << "a channel that stays keeps its socket";
    ExpectChannelsReady();

    RemoveAddress("198.18.200.1");
    liborvaniot_os_socket_debug_close(&table_.channels[0].sock);  // as after a failed send
    EXPECT_EQ(liborvaniot_os_net_multicast_client_sync(&table_, kProbePort, 0), 0);
    EXPECT_EQ(ChannelAddresses(), std::vector<std::string>{"198.18.0.1"}) << "closed one reopened, gone one gone";
    ExpectChannelsReady();

    EXPECT_EQ(liborvaniot_os_net_multicast_client_sync(&table_, kProbePort, ToAddress("198.18.66.1")), 1)
        << "an extra address no interface holds cannot be opened";
    EXPECT_EQ(ChannelAddresses(), std::vector<std::string>{"198.18.0.1"});
}

// Twenty attempts with their pauses take about ten seconds; a raised stop flag must not wait for them.
TEST_F(ChannelTest, RaisedStopFlagEndsTheExtraInterfaceAttemptsAtOnce) {
    const struct {
        const char* what;
        const char* extra_interface;
        std::chrono::milliseconds raise_after;  // 0: raised before the call
    } cases[] = {
        // An address no interface holds: every attempt fails, so only the flag can end them early.
        {"raised before the call, unusable address", "198.18.66.1", 0ms},
        {"raised between attempts, unusable address", "198.18.66.1", 700ms},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        std::atomic<uint32_t> extra{ToAddress(row.extra_interface)};
        if (row.raise_after == 0ms) liborvaniot_os_stop_flag = 1;
        std::thread stopper([&] {
            if (row.raise_after == 0ms) return;
            std::this_thread::sleep_for(row.raise_after);
            liborvaniot_os_stop_flag = 1;
        });
        const auto started = std::chrono::steady_clock::now();
        liborvaniot_os_net_multicast_client_open_all(&table_, kProbePort, &extra);
        const auto elapsed = std::chrono::steady_clock::now() - started;
        stopper.join();
        liborvaniot_os_stop_flag = 0;

        EXPECT_EQ(ChannelAddresses(), std::vector<std::string>{"198.18.0.1"}) << "table channel only";
        EXPECT_LT(elapsed, 3s) << "the attempts went on after the stop flag was raised";
        CloseChannels();
    }
}

TEST_F(ChannelTest, OnlyTheSelectedInterfacesGetChannels) {
    AddAddress("198.18.200.1");
    // An address with a label is listed under "<link>:<suffix>" and still belongs to the link.
    ASSERT_TRUE(os_net_test::Ip(topology_.finder, {"addr", "add", "198.18.200.2/32", "dev", topology_.finder_link,
                                                  "label", topology_.finder_link + ":ov"}));
    const std::string link = topology_.finder_link;
    const struct {
        const char* what;
        std::vector<const char*> names;
        std::vector<const char*> addresses;
        const char* extra_interface;  // nullptr: none
        std::vector<std::string> expected;
    } cases[] = {
        {"nothing selected: every address", {}, {}, nullptr, {"198.18.0.1", "198.18.200.1", "198.18.200.2"}},
        {"one address", {}, {"198.18.200.1"}, nullptr, {"198.18.200.1"}},
        {"a link by name, labelled address included", {link.c_str()}, {}, nullptr,
         {"198.18.0.1", "198.18.200.1", "198.18.200.2"}},
        {"loopback by name leaves no channel", {"lo"}, {}, nullptr, {}},
        {"an extra interface outside the selection is not tried", {}, {"198.18.0.1"}, "198.18.200.1",
         {"198.18.0.1"}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        std::vector<uint32_t> addresses;
        for (const char* text : row.addresses) addresses.push_back(ToAddress(text));
        liborvaniot_os_net_channel_select(row.names.data(), static_cast<int32_t>(row.names.size()), addresses.data(),
                                          static_cast<int32_t>(addresses.size()));
        std::atomic<uint32_t> extra{row.extra_interface != nullptr ? ToAddress(row.extra_interface) : 0};
        const auto start = std::chrono::steady_clock::now();
        liborvaniot_os_net_multicast_client_open_all(&table_, kProbePort, &extra);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "a left-out interface was retried";
        std::vector<std::string> opened = ChannelAddresses();
        std::sort(opened.begin(), opened.end());
        EXPECT_EQ(opened, row.expected);
        CloseChannels();
    }
    liborvaniot_os_net_channel_select(nullptr, 0, nullptr, 0);
    os_net_test::Ip(topology_.finder, {"addr", "del", "198.18.200.2/32", "dev", topology_.finder_link});
}

TEST_F(ChannelTest, InterfacesAreFoundByNameAndAddress) {
    uint32_t rows[8];
    int32_t count = -1;
    ASSERT_EQ(liborvaniot_os_net_interface_addresses(topology_.finder_link.c_str(), rows, 8, &count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(ToText(rows[0]), "198.18.0.1");
    EXPECT_EQ(liborvaniot_os_net_interface_addresses("orvt-no-such-link", rows, 8, &count), 1);
    EXPECT_EQ(liborvaniot_os_net_is_local_address(ToAddress("198.18.0.1")), 1);
    EXPECT_EQ(liborvaniot_os_net_is_local_address(ToAddress("198.18.1.1")), 0) << "a peer's address";
}

TEST_F(ChannelTest, ClientSocketIsRefusedForABusyVariableOrAForeignAddress) {
    liborvaniot_os_socket busy = LIBORVANIOT_OS_INVALID_SOCKET;
    ASSERT_EQ(liborvaniot_os_net_multicast_client_init(ToAddress("198.18.0.1"), &busy), 0);
    ASSERT_NE(busy, LIBORVANIOT_OS_INVALID_SOCKET);
    EXPECT_EQ(liborvaniot_os_net_multicast_client_init(ToAddress("198.18.0.1"), &busy), 1);
    EXPECT_EQ(busy, LIBORVANIOT_OS_INVALID_SOCKET) << "the socket it held is closed";

    liborvaniot_os_socket foreign = LIBORVANIOT_OS_INVALID_SOCKET;
    EXPECT_EQ(liborvaniot_os_net_multicast_client_init(ToAddress("203.0.113.5"), &foreign), 1);
    EXPECT_EQ(foreign, LIBORVANIOT_OS_INVALID_SOCKET);
}

TEST_F(ChannelTest, DatagramsTravelBetweenChannelsWithTheirSender) {
    const uint32_t finder = ToAddress("198.18.0.1");
    liborvaniot_os_socket a = LIBORVANIOT_OS_INVALID_SOCKET;
    liborvaniot_os_socket b = LIBORVANIOT_OS_INVALID_SOCKET;
    ASSERT_EQ(liborvaniot_os_net_multicast_client_init(finder, &a), 0);
    ASSERT_EQ(liborvaniot_os_net_multicast_client_init(finder, &b), 0);
    auto port_of = [](liborvaniot_os_socket sock) {
        sockaddr_in bound{};
        socklen_t size = sizeof bound;
        getsockname(sock, reinterpret_cast<sockaddr*>(&bound), &size);
        return ntohs(bound.sin_port);
    };
    const liborvaniot_os_socket watched[] = {a, LIBORVANIOT_OS_INVALID_SOCKET, b};
    uint8_t ready[3] = {9, 9, 9};
    char buffer[64];
    uint32_t from = 0;
    uint16_t from_port = 0;

    EXPECT_EQ(liborvaniot_os_net_wait(watched, 3, liborvaniot_os_net_wait_for::readable, 0, ready), 0);
    EXPECT_EQ(liborvaniot_os_net_recv_from(b, buffer, sizeof buffer, &from, &from_port),
              LIBORVANIOT_OS_NET_WOULD_BLOCK);
    EXPECT_EQ(liborvaniot_os_net_wait(&a, 1, liborvaniot_os_net_wait_for::writable, 1000, ready), 1);
    EXPECT_EQ(ready[0], 1);

    ASSERT_EQ(liborvaniot_os_net_send_to(a, "probe", 5, finder, port_of(b)), 5);
    ASSERT_EQ(liborvaniot_os_net_wait(watched, 3, liborvaniot_os_net_wait_for::readable, 5000, ready), 1);
    EXPECT_EQ(ready[0], 0);
    EXPECT_EQ(ready[1], 0);
    EXPECT_EQ(ready[2], 1);
    ASSERT_EQ(liborvaniot_os_net_recv_from(b, buffer, sizeof buffer, &from, &from_port), 5);
    EXPECT_EQ(std::string(buffer, 5), "probe");
    EXPECT_EQ(from, finder);
    EXPECT_EQ(from_port, port_of(a));

    liborvaniot_os_socket_debug_close(&a);
    liborvaniot_os_socket_debug_close(&b);
}

}  // namespace
