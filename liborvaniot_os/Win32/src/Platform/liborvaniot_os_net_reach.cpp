// Reaching a device on another subnet of the same link on Windows: the host's networks come from
// the adapter list; address probes and routes of our own are not built here yet, and those calls
// say so without changing anything.
#include "liborvaniot_os/liborvaniot_os_net_reach.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cerrno>
#include <memory>

#include "liborvaniot_os_adapters.h"

namespace {

uint32_t netmask_of(uint8_t prefix_len) {
    return prefix_len == 0 ? 0 : htonl(0xFFFFFFFFu << (32 - prefix_len));
}

// Calls visit(network) for each IPv4 address with its network until it returns false: 0, or
// ENOENT when the adapter list cannot be read.
template <typename Visit>
int32_t walk_networks(Visit visit) {
    std::unique_ptr<unsigned char[]> storage;
    const IP_ADAPTER_ADDRESSES* first = liborvaniot_os_read_adapters(&storage);
    if (first == nullptr) return ENOENT;
    for (const IP_ADAPTER_ADDRESSES* adapter = first; adapter != nullptr; adapter = adapter->Next) {
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET || unicast->OnLinkPrefixLength > 32) continue;
            const liborvaniot_os_net_network network{adapter->IfIndex,
                                                     reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr,
                                                     unicast->OnLinkPrefixLength};
            if (!visit(network)) return 0;
        }
    }
    return 0;
}

}  // namespace

int32_t liborvaniot_os_net_on_link(uint32_t if_index, uint32_t address) {
    bool found = false;
    walk_networks([&](const liborvaniot_os_net_network& network) {
        const uint32_t mask = netmask_of(network.prefix_len);
        found = network.if_index == if_index && network.prefix_len < 32 &&
                (network.address & mask) == (address & mask);
        return !found;
    });
    return found ? 1 : 0;
}

int32_t liborvaniot_os_net_read_networks(liborvaniot_os_net_network* rows, int32_t capacity, int32_t* count) {
    int32_t n = 0;
    const int32_t error = walk_networks([&](const liborvaniot_os_net_network& network) {
        const bool loopback = (ntohl(network.address) >> 24) == 127;
        if (network.prefix_len < 32 && !loopback && n < capacity) rows[n++] = network;
        return true;
    });
    *count = n;
    return error;
}

int32_t liborvaniot_os_net_arp_probe(uint32_t if_index, uint32_t candidate, uint32_t wait_ms, int32_t* in_use) {
    (void)if_index;
    (void)candidate;
    (void)wait_ms;
    *in_use = 0;
    return ENOTSUP;
}

int32_t liborvaniot_os_net_own_route_add(uint32_t if_index, uint32_t source, uint32_t destination,
                                         uint8_t destination_len) {
    (void)if_index;
    (void)source;
    (void)destination;
    (void)destination_len;
    return ENOTSUP;
}

int32_t liborvaniot_os_net_own_route_delete(uint32_t if_index, uint32_t source, uint32_t destination,
                                            uint8_t destination_len) {
    (void)if_index;
    (void)source;
    (void)destination;
    (void)destination_len;
    return ENOTSUP;
}
