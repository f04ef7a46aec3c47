// rtnetlink access to the host's IPv4 addresses and our own routes: one change request with the
// kernel's answer, and a walk over every address.
#pragma once

#include <linux/netlink.h>

#include <cstdint>

// The valid lifetime of an address that never expires.
inline constexpr uint32_t LIBORVANIOT_OS_NETLINK_FOREVER = 0xFFFFFFFFu;

struct liborvaniot_os_netlink_address {
    uint32_t if_index = 0;
    uint8_t prefix_len = 0;
    uint32_t local = 0;  // network byte order
    char label[16] = {};
    uint8_t protocol = 0;  // who added it; 0 when the kernel does not say
    uint32_t valid_s = LIBORVANIOT_OS_NETLINK_FOREVER;  // seconds the address has left
    uint32_t flags = 0;  // IFA_F_ flags
};

// RTM_NEWADDR or RTM_DELADDR for the address, with the given NLM_F_ creation flags. A non-zero
// lifetime_s sets the valid and preferred lifetimes; with_label sends the row's label, a non-zero
// row protocol its protocol number. 0 or the kernel's error number.
int32_t liborvaniot_os_netlink_change_address(uint16_t type, uint16_t flags,
                                              const liborvaniot_os_netlink_address& row, uint32_t lifetime_s,
                                              bool with_label);

// Calls visit for every IPv4 address until it returns false: 0, or the error number when the walk
// could not be completed.
int32_t liborvaniot_os_netlink_walk_addresses(bool (*visit)(const liborvaniot_os_netlink_address& row,
                                                            void* context),
                                              void* context);

// RTM_NEWROUTE or RTM_DELROUTE in the main table for destination/destination_len, directly on the
// interface (link scope) with prefsrc as the source, marked with protocol. 0 or the kernel's error.
int32_t liborvaniot_os_netlink_change_route(uint16_t type, uint16_t flags, uint32_t destination,
                                            uint8_t destination_len, uint32_t if_index, uint32_t prefsrc,
                                            uint8_t protocol);

// The kernel's route to destination, as RTM_GETROUTE answers it: the interface it leaves by, the
// gateway (0: straight onto that interface's link) and the route type (RTN_*). 0 or the kernel's
// error number (ENETUNREACH when nothing leads there).
struct liborvaniot_os_netlink_route {
    uint32_t if_index = 0;
    uint32_t gateway = 0;  // network byte order
    uint8_t type = 0;
};
int32_t liborvaniot_os_netlink_get_route(uint32_t destination, liborvaniot_os_netlink_route* route);

// Reads one address notice or dump answer into *row: false when it is not an IPv4 address.
bool liborvaniot_os_netlink_parse_address(const nlmsghdr& message, liborvaniot_os_netlink_address* row);
