// Reaching a device on another subnet of the same link is not built on Windows yet: every call
// says so, and nothing is changed.
#include "liborvaniot_os/liborvaniot_os_net_reach.h"

#include <cerrno>

int32_t liborvaniot_os_net_on_link(uint32_t if_index, uint32_t address) {
    (void)if_index;
    (void)address;
    return 0;
}

int32_t liborvaniot_os_net_read_networks(liborvaniot_os_net_network* rows, int32_t capacity, int32_t* count) {
    (void)rows;
    (void)capacity;
    *count = 0;
    return ENOTSUP;
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
