// Reaching a device on another subnet of the same link on Windows: the host's networks come from
// the adapter list, address probes and routes of our own go through the IP Helper (never under
// Wine, which lacks the calls: there they fail with ENOTSUP and change nothing).
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os/liborvaniot_os_net_reach.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cerrno>
#include <memory>

#include "liborvaniot_os_adapters.h"
#include "liborvaniot_os_ip_helper.h"
#include "liborvaniot_os_own_routes.h"
#include "liborvaniot_os_winsock.h"

namespace {

// A probe's route outlives the probe only when the process dies in between, and then not for long.
constexpr uint32_t kProbeRouteLifetimeS = 10;

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

int32_t liborvaniot_os_net_route_lookup(uint32_t destination, liborvaniot_os_net_route* route) {
    *route = {};
    if (const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls(); calls != nullptr) {
        uint32_t if_index = 0;
        uint32_t next_hop = 0;
        const uint32_t error = calls->best_route(destination, &if_index, &next_hop);
        if (error == ERROR_NETWORK_UNREACHABLE || error == ERROR_NOT_FOUND) return ENETUNREACH;
        if (error != NO_ERROR) return liborvaniot_os_posix_error(static_cast<int>(error));
        *route = {if_index, next_hop};
        return 0;
    }
    // Without the system's lookup (Wine), what the host reaches directly is what its networks hold.
    bool found = false;
    walk_networks([&](const liborvaniot_os_net_network& network) {
        const uint32_t mask = netmask_of(network.prefix_len);
        found = (network.address & mask) == (destination & mask);
        if (found) route->if_index = network.if_index;
        return !found;
    });
    return found ? 0 : ENETUNREACH;
}

uint32_t liborvaniot_os_net_interface_of(uint32_t address) {
    uint32_t if_index = 0;
    walk_networks([&](const liborvaniot_os_net_network& network) {
        if (network.address == address) if_index = network.if_index;
        return if_index == 0;
    });
    return if_index;
}

int32_t liborvaniot_os_net_arp_probe(uint32_t if_index, uint32_t candidate, uint32_t wait_ms, int32_t* in_use) {
    (void)wait_ms;  // the system's request waits for its answer itself
    *in_use = 0;
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return ENOTSUP;
    // Windows asks the link only for addresses its routes put there, and has no raw link socket to
    // send a probe from 0.0.0.0: a short-lived host route to the candidate puts it on this link for
    // the one request, sent from the interface's own address.
    const liborvaniot_os_route_row route{
        .if_index = if_index, .destination = candidate, .prefix_len = 32, .valid_lifetime_s = kProbeRouteLifetimeS};
    const uint32_t made = calls->create_route(route);
    if (made != NO_ERROR && made != ERROR_OBJECT_ALREADY_EXISTS) return liborvaniot_os_posix_error(static_cast<int>(made));
    bool answered = false;
    const uint32_t error = calls->resolve(candidate, &answered);
    if (made == NO_ERROR) calls->remove_route(route);
    if (error != NO_ERROR) return liborvaniot_os_posix_error(static_cast<int>(error));
    *in_use = answered ? 1 : 0;
    return 0;
}

int32_t liborvaniot_os_net_own_route_add(uint32_t if_index, uint32_t source, uint32_t destination,
                                         uint8_t destination_len) {
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return ENOTSUP;
    const liborvaniot_os_route_row route{.if_index = if_index, .destination = destination, .prefix_len = destination_len};
    // Windows picks the source itself: on this interface, the address that shares the longest
    // prefix with the device's, which is ours in its subnet.
    const uint32_t error = liborvaniot_os_own_route_make(*calls, source, route);
    if (error == ERROR_OBJECT_ALREADY_EXISTS) return EEXIST;
    return error == NO_ERROR ? 0 : liborvaniot_os_posix_error(static_cast<int>(error));
}

int32_t liborvaniot_os_net_own_route_delete(uint32_t if_index, uint32_t source, uint32_t destination,
                                            uint8_t destination_len) {
    const liborvaniot_os_ip_helper* calls = liborvaniot_os_ip_helper_calls();
    if (calls == nullptr) return ENOTSUP;
    const liborvaniot_os_route_row route{.if_index = if_index, .destination = destination, .prefix_len = destination_len};
    const uint32_t error = liborvaniot_os_own_route_remove(*calls, source, route);
    return error == NO_ERROR ? 0 : liborvaniot_os_posix_error(static_cast<int>(error));
}
