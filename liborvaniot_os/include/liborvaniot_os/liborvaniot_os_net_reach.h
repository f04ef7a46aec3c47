// What reaching a device on another subnet of the same link needs from the system: whether the host
// already sits on the device's network on an interface, an ARP probe that tells whether an address
// is free, and host routes of our own through an address we added.
#pragma once

#include <cstdint>

// 1 when an address of the interface has a network (prefix shorter than 32) that holds the address
// (both in network byte order), else 0.
int32_t liborvaniot_os_net_on_link(uint32_t if_index, uint32_t address);

// An IPv4 network the host sits on: its address there and the prefix length.
struct liborvaniot_os_net_network {
    uint32_t if_index = 0;
    uint32_t address = 0;  // network byte order
    uint8_t prefix_len = 0;
};
// The host's networks (addresses with a prefix shorter than 32, loopback left out), for telling the
// user where this computer is: 0 with *count set, or the error number. Rows beyond capacity are
// left out.
int32_t liborvaniot_os_net_read_networks(liborvaniot_os_net_network* rows, int32_t capacity, int32_t* count);

// The host's route to an address: the interface it leaves by and the gateway it passes (0: none,
// the address is reached straight on that interface's link). Fills *route and gives 0, or the
// error number (ENETUNREACH when no route leads there).
struct liborvaniot_os_net_route {
    uint32_t if_index = 0;
    uint32_t gateway = 0;  // network byte order
};
int32_t liborvaniot_os_net_route_lookup(uint32_t destination, liborvaniot_os_net_route* route);

// The index of the interface that holds the address (network byte order), 0 when none does.
uint32_t liborvaniot_os_net_interface_of(uint32_t address);

// Asks the link, as an address probe does (sender address 0.0.0.0, so that no host's cache learns
// anything), whether some host holds the candidate: a few requests, then wait_ms of listening.
// *in_use is 1 when a host answered for it or probed for it too. 0, or the error number (EPERM
// without the rights for a raw link socket, ENOTSUP where the platform has no such probe).
int32_t liborvaniot_os_net_arp_probe(uint32_t if_index, uint32_t candidate, uint32_t wait_ms, int32_t* in_use);

// Adds or deletes the route to destination/destination_len directly on the interface with source
// as its source address, marked as ours. The system drops it when the source address goes. 0 or
// the error number (EEXIST when the same route is there already).
int32_t liborvaniot_os_net_own_route_add(uint32_t if_index, uint32_t source, uint32_t destination,
                                         uint8_t destination_len);
int32_t liborvaniot_os_net_own_route_delete(uint32_t if_index, uint32_t source, uint32_t destination,
                                            uint8_t destination_len);
