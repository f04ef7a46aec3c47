// Link-local look-ups that need no operating-system call of their own: the interface to put an
// address on, and whether the host already holds a 169.254.0.0/16 address (or a given one).
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

#include "liborvaniot_os_host_addresses.h"

namespace {

constexpr uint32_t kLinkLocalNet = 0xA9FE0000u;  // 169.254.0.0/16, host byte order
constexpr uint32_t kLinkLocalMask = 0xFFFF0000u;

bool is_link_local(uint32_t address) {
    return (ntohl(address) & kLinkLocalMask) == kLinkLocalNet;
}

}  // namespace

int32_t liborvaniot_os_net_pick_link_interface(const liborvaniot_os_net_interface* rows, int32_t count) {
    int32_t first_usable = -1;
    for (int32_t i = 0; i < count; ++i) {
        const auto& row = rows[i];
        if (!row.up || !row.running || !row.multicast || row.loopback || !row.ipv4) continue;
        if (row.preferred_kind) return i;
        if (first_usable < 0) first_usable = i;
    }
    return first_usable;
}

uint32_t liborvaniot_os_net_find_link_local() {
    std::vector<liborvaniot_os_host_address> addresses;
    if (!liborvaniot_os_read_host_addresses(&addresses)) return 0;
    for (const auto& row : addresses) {
        if (is_link_local(row.address)) return row.address;
    }
    return 0;
}

int32_t liborvaniot_os_net_address_present(uint32_t address) {
    std::vector<liborvaniot_os_host_address> addresses;
    if (!liborvaniot_os_read_host_addresses(&addresses)) return 0;
    for (const auto& row : addresses) {
        if (row.address == address) return 1;
    }
    return 0;
}
