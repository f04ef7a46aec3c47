// The discovery group's receiver, run inside the private test network on both platforms: it hears
// the datagrams sent to the group (our own probes among them, as multicast loops back) and nothing
// else that reaches its port, whatever address the platform let it bind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_group.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace {

constexpr uint16_t kGroupPort = 13702;
constexpr size_t kCapacity = 2048;
constexpr int32_t kWaitMs = 3000;

// The finder's address and its subnet's broadcast address, from the test network's environment.
uint32_t FinderAddress() {
    const char* text = std::getenv("ORVAN_NETNS_FINDER_ADDR");
    return text != nullptr ? ::inet_addr(text) : 0;
}

uint32_t BroadcastAddress() {
    const char* prefix_text = std::getenv("ORVAN_NETNS_PREFIX");
    const int prefix = prefix_text != nullptr ? std::atoi(prefix_text) : 32;
    const uint32_t host_bits = prefix >= 32 ? 0 : (0xFFFFFFFFu >> prefix);
    return htonl(ntohl(FinderAddress()) | host_bits);
}

bool AllowBroadcast(liborvaniot_os_socket sock) {
    const int on = 1;
#ifdef _WIN32
    const auto handle = static_cast<SOCKET>(static_cast<intptr_t>(sock));
    return ::setsockopt(handle, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) == 0;
#else
    return ::setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
#endif
}

class GroupReceiverTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(liborvaniot_os_initialize(), 0);
        finder_ = FinderAddress();
        ASSERT_NE(finder_, 0u) << "ORVAN_NETNS_FINDER_ADDR";
        ASSERT_EQ(liborvaniot_os_net_group_receiver_open(kGroupPort, &finder_, 1, &receiver_), 0);
        // A probe channel, as the probe client sends from.
        ASSERT_EQ(liborvaniot_os_net_multicast_client_init(finder_, &sender_), 0);
        ASSERT_TRUE(AllowBroadcast(sender_));
    }
    void TearDown() override {
        liborvaniot_os_socket_debug_close(&receiver_);
        liborvaniot_os_socket_debug_close(&sender_);
        liborvaniot_os_finalize();
    }

    void Send(uint32_t to, const std::string& text) {
        ASSERT_EQ(liborvaniot_os_net_send_to(sender_, text.data(), text.size(), to, kGroupPort),
                  static_cast<int32_t>(text.size()))
            << text;
    }

    // What the receiver hands on until the datagram "last" (or nothing more comes): the text of
    // each datagram that fit, "too long" for each that did not.
    std::vector<std::string> ReceiveUntilLast() {
        std::vector<std::string> heard;
        char buffer[kCapacity];
        while (heard.empty() || heard.back() != "last") {
            uint8_t ready = 0;
            if (liborvaniot_os_net_wait(&receiver_, 1, liborvaniot_os_net_wait_for::readable, kWaitMs,
                                        &ready) <= 0)
                break;
            sockaddr_in from{};
            const int32_t n = liborvaniot_os_net_recv_datagram(receiver_, buffer, sizeof buffer, &from);
            if (n == LIBORVANIOT_OS_NET_WOULD_BLOCK) continue;
            if (n == LIBORVANIOT_OS_NET_TOO_LONG) {
                heard.push_back("too long");
            } else if (n >= 0) {
                EXPECT_EQ(from.sin_addr.s_addr, finder_) << "the sender is our own channel";
                heard.emplace_back(buffer, static_cast<size_t>(n));
            } else {
                ADD_FAILURE() << "receive failed";
                break;
            }
        }
        return heard;
    }

    uint32_t finder_ = 0;
    liborvaniot_os_socket receiver_ = LIBORVANIOT_OS_INVALID_SOCKET;
    liborvaniot_os_socket sender_ = LIBORVANIOT_OS_INVALID_SOCKET;
};

TEST_F(GroupReceiverTest, HearsOnlyWhatWasSentToTheGroup) {
    const uint32_t group = ::inet_addr(LIBORVANIOT_OS_NET_MULTICAST_GROUP);
    const std::string oversize(kCapacity + 100, 'x');
    const struct {
        const char* what;
        uint32_t to;
        std::string text;
    } sent[] = {
        {"our own probe to the group", group, "probe"},
        {"straight to this host", FinderAddress(), "unicast"},
        {"to loopback", htonl(INADDR_LOOPBACK), "loopback"},
        {"to the subnet's broadcast address", BroadcastAddress(), "broadcast"},
        {"an over-long datagram to this host", FinderAddress(), oversize},
        {"an over-long datagram to the group", group, oversize},
        {"the end marker to the group", group, "last"},
    };
    for (const auto& s : sent) {
        SCOPED_TRACE(s.what);
        Send(s.to, s.text);
    }
    EXPECT_EQ(ReceiveUntilLast(), (std::vector<std::string>{"probe", "too long", "last"}));
}

}  // namespace
