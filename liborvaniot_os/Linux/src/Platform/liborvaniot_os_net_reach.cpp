// Reaching a device on another subnet of the same link on Linux: the host's networks through
// rtnetlink, RFC 5227 address probes on a packet socket, and routes marked with our protocol number.
#include "liborvaniot_os/liborvaniot_os_net_reach.h"

#include <linux/if_packet.h>
#include <linux/rtnetlink.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/if_ether.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "liborvaniot_os/liborvaniot_os_net_addr.h"

#include "liborvaniot_os_net_netlink.h"

namespace {

constexpr int kProbes = 3;
constexpr int kProbeSpacingMs = 100;

uint32_t netmask_of(uint8_t prefix_len) {
    return prefix_len == 0 ? 0 : htonl(0xFFFFFFFFu << (32 - prefix_len));
}

int64_t now_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

class packet_socket {
  public:
    packet_socket() : fd_(::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_ARP))) {}
    ~packet_socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    packet_socket(const packet_socket&) = delete;
    packet_socket& operator=(const packet_socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

// True when the datagram shows another host holding or claiming the candidate: an answer or a
// request from it, or another host's probe for it.
bool shows_holder(const ether_arp& packet, uint32_t candidate, const uint8_t* own_mac) {
    if (ntohs(packet.arp_pro) != ETH_P_IP || packet.arp_pln != 4 || packet.arp_hln != ETH_ALEN) return false;
    uint32_t sender = 0;
    uint32_t target = 0;
    std::memcpy(&sender, packet.arp_spa, sizeof sender);
    std::memcpy(&target, packet.arp_tpa, sizeof target);
    if (sender == candidate) return true;
    return sender == 0 && target == candidate && std::memcmp(packet.arp_sha, own_mac, ETH_ALEN) != 0;
}

}  // namespace

int32_t liborvaniot_os_net_on_link(uint32_t if_index, uint32_t address) {
    struct search {
        uint32_t if_index;
        uint32_t address;
        bool found;
    } wanted{if_index, address, false};
    liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            auto* s = static_cast<search*>(context);
            const uint32_t mask = netmask_of(row.prefix_len);
            s->found = row.if_index == s->if_index && row.prefix_len < 32 &&
                       (row.local & mask) == (s->address & mask);
            return !s->found;
        },
        &wanted);
    return wanted.found ? 1 : 0;
}

int32_t liborvaniot_os_net_read_networks(liborvaniot_os_net_network* rows, int32_t capacity, int32_t* count) {
    struct collection {
        liborvaniot_os_net_network* rows;
        int32_t capacity;
        int32_t count;
    } found{rows, capacity, 0};
    const int32_t error = liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            auto* c = static_cast<collection*>(context);
            const bool loopback = (ntohl(row.local) >> 24) == 127;
            if (row.prefix_len < 32 && !loopback && c->count < c->capacity) {
                c->rows[c->count++] = {row.if_index, row.local, row.prefix_len};
            }
            return true;
        },
        &found);
    *count = found.count;
    return error;
}

int32_t liborvaniot_os_net_route_lookup(uint32_t destination, liborvaniot_os_net_route* route) {
    *route = {};
    liborvaniot_os_netlink_route found;
    if (const int32_t error = liborvaniot_os_netlink_get_route(destination, &found); error != 0) return error;
    // Blackhole, prohibit and the like answer the lookup but carry nothing.
    if (found.type != RTN_UNICAST && found.type != RTN_LOCAL) return ENETUNREACH;
    *route = {found.if_index, found.gateway};
    return 0;
}

uint32_t liborvaniot_os_net_interface_of(uint32_t address) {
    struct search {
        uint32_t address;
        uint32_t if_index;
    } wanted{address, 0};
    liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            auto* s = static_cast<search*>(context);
            if (row.local == s->address) s->if_index = row.if_index;
            return s->if_index == 0;
        },
        &wanted);
    return wanted.if_index;
}

int32_t liborvaniot_os_net_arp_probe(uint32_t if_index, uint32_t candidate, uint32_t wait_ms, int32_t* in_use) {
    *in_use = 0;
    packet_socket socket;
    if (socket.fd() < 0) return errno;
    ifreq request{};
    if (::if_indextoname(if_index, request.ifr_name) == nullptr) return errno;
    if (::ioctl(socket.fd(), SIOCGIFHWADDR, &request) != 0) return errno;
    if (request.ifr_hwaddr.sa_family != ARPHRD_ETHER) return ENOTSUP;
    uint8_t own_mac[ETH_ALEN];
    std::memcpy(own_mac, request.ifr_hwaddr.sa_data, ETH_ALEN);

    sockaddr_ll link{};
    link.sll_family = AF_PACKET;
    link.sll_protocol = htons(ETH_P_ARP);
    link.sll_ifindex = static_cast<int>(if_index);
    if (::bind(socket.fd(), reinterpret_cast<const sockaddr*>(&link), sizeof link) != 0) return errno;

    ether_arp probe{};
    probe.arp_hrd = htons(ARPHRD_ETHER);
    probe.arp_pro = htons(ETH_P_IP);
    probe.arp_hln = ETH_ALEN;
    probe.arp_pln = 4;
    probe.arp_op = htons(ARPOP_REQUEST);
    std::memcpy(probe.arp_sha, own_mac, ETH_ALEN);
    std::memcpy(probe.arp_tpa, &candidate, sizeof candidate);  // sender address and target MAC stay 0
    sockaddr_ll broadcast = link;
    broadcast.sll_halen = ETH_ALEN;
    std::memset(broadcast.sll_addr, 0xFF, ETH_ALEN);

    const int64_t end = now_ms() + kProbes * kProbeSpacingMs + wait_ms;
    int64_t next_probe = now_ms();
    int sent = 0;
    for (;;) {
        const int64_t now = now_ms();
        if (sent < kProbes && now >= next_probe) {
            if (::sendto(socket.fd(), &probe, sizeof probe, 0, reinterpret_cast<const sockaddr*>(&broadcast),
                         sizeof broadcast) < 0) {
                return errno;
            }
            ++sent;
            next_probe = now + kProbeSpacingMs;
        }
        if (now >= end) return 0;
        const int64_t until = sent < kProbes ? next_probe : end;
        pollfd ready{socket.fd(), POLLIN, 0};
        const int waited = ::poll(&ready, 1, static_cast<int>(until > now ? until - now : 0));
        if (waited < 0 && errno != EINTR) return errno;
        if (waited <= 0) continue;
        // Everything waiting is read, so that other hosts' traffic cannot hide the holder's answer.
        for (;;) {
            ether_arp answer{};
            const ssize_t got = ::recv(socket.fd(), &answer, sizeof answer, MSG_DONTWAIT);
            if (got < 0) break;
            if (static_cast<size_t>(got) >= sizeof answer && shows_holder(answer, candidate, own_mac)) {
                *in_use = 1;
                return 0;
            }
        }
    }
}

int32_t liborvaniot_os_net_own_route_add(uint32_t if_index, uint32_t source, uint32_t destination,
                                         uint8_t destination_len) {
    return liborvaniot_os_netlink_change_route(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_EXCL, destination,
                                               destination_len, if_index, source,
                                               LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL);
}

int32_t liborvaniot_os_net_own_route_delete(uint32_t if_index, uint32_t source, uint32_t destination,
                                            uint8_t destination_len) {
    return liborvaniot_os_netlink_change_route(RTM_DELROUTE, 0, destination, destination_len, if_index, source,
                                               LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL);
}
