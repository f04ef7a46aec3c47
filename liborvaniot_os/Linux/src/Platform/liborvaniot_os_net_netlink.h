// rtnetlink access to the host's IPv4 addresses: one change request with the kernel's answer, and a
// walk over every address.
#pragma once

#include <cstdint>

struct liborvaniot_os_netlink_address {
    uint32_t if_index = 0;
    uint8_t prefix_len = 0;
    uint32_t local = 0;  // network byte order
    char label[16] = {};
    uint8_t protocol = 0;  // who added it; 0 when the kernel does not say
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
