// The host's own IPv4 addresses for link-local set-up and for reaching devices: the interface to use,
// an existing 169.254/16 address, and an address added for the run with our label, a short lifetime
// its owner renews and a route of its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mem.h"

struct liborvaniot_os_net_interface {
    uint32_t index = 0;
    char name[16] = {};
    bool up = false;
    bool running = false;
    bool loopback = false;
    bool multicast = false;
    // IPv4 runs on it: Windows lets an adapter go without; on Linux every interface has it.
    bool ipv4 = true;
    // Of a kind an added address goes to first when several qualify (Windows: Ethernet and Wi-Fi
    // before virtual and tunnel adapters); Linux ranks none first.
    bool preferred_kind = false;
};

inline constexpr int32_t LIBORVANIOT_OS_NET_MAX_INTERFACES = 64;

// The host's interfaces (with or without IPv4 addresses) in index order: 0 with *count set, 1 when
// they cannot be read. Interfaces beyond capacity are left out.
int32_t liborvaniot_os_net_read_interfaces(liborvaniot_os_net_interface* rows, int32_t capacity,
                                           int32_t* count);

// Position of the first row that can reach a link-local network (up, running, multicast, IPv4 and
// not loopback), the first of a preferred kind among them if any, -1 when there is none.
int32_t liborvaniot_os_net_pick_link_interface(const liborvaniot_os_net_interface* rows, int32_t count);

// The first 169.254.0.0/16 address held by any interface, 0 when there is none.
uint32_t liborvaniot_os_net_find_link_local();

// 1 when the process may change the host's addresses (effective CAP_NET_ADMIN), else 0.
int32_t liborvaniot_os_net_has_admin_rights();

// Makes the socket send and receive through the given interface only: 0 or the error number.
int32_t liborvaniot_os_net_bind_to_interface(liborvaniot_os_socket sock, uint32_t if_index);

// Marks our addresses in the host's table whatever the interface's name: the address protocol
// number the kernel keeps with each address (the label only fits beside short names).
inline constexpr uint8_t LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL = 0x6F;
// The prefix length of the addresses we add: a host address, so that removing ours never takes
// another address of the same network with it (the kernel deletes the secondaries of a primary);
// the network is reached through a route of its own (liborvaniot_os_net_addr_add_route).
inline constexpr uint8_t LIBORVANIOT_OS_NET_OWN_PREFIX_LENGTH = 32;

// An address added by this process, enough to renew and delete it. While it exists, the process
// also holds a claim on it that the system releases when the process ends, however it ends: so a
// later run can tell an address a live process still renews from one a killed run left behind. The
// claim is one only an administrator can hold: a user without rights can neither block nor fake it.
struct liborvaniot_os_net_owned_address {
    uint32_t if_index = 0;  // 0: nothing added
    uint32_t address = 0;
    uint8_t prefix_len = 0;
    char label[16] = {};
    liborvaniot_os_socket claim = LIBORVANIOT_OS_INVALID_SOCKET;
    // The route added with it (liborvaniot_os_net_addr_add_route); route_if_index 0: none.
    uint32_t route_if_index = 0;
    uint32_t route_destination = 0;
    uint8_t route_prefix_len = 0;
};

// Adds address/prefix_len to the interface, marked as ours (protocol number, and the label
// "<ifname><label_suffix>" when that fits in 15 characters; the interface name otherwise), valid
// and preferred for lifetime_s seconds, so that it vanishes by itself if its owner dies without
// removing it. Fails when the address is already there or another live process claims it.
// 0 and *owned filled (the claim taken), or the error number.
int32_t liborvaniot_os_net_addr_add(uint32_t if_index, uint32_t address, uint8_t prefix_len,
                                    const char* label_suffix, uint32_t lifetime_s,
                                    liborvaniot_os_net_owned_address* owned);

// Routes destination/destination_len (network byte order) directly on the address's interface with
// the address as source, after any route to it that is already there. The route is removed with the
// address, and the system drops it when the address expires. 0 or the error number.
int32_t liborvaniot_os_net_addr_add_route(liborvaniot_os_net_owned_address* owned, uint32_t destination,
                                          uint8_t destination_len);

// Restarts the address's lifetime: 0, or the error number. An address that has gone meanwhile (expired,
// removed by someone else), or that is no longer provably ours (label, prefix, finite lifetime), is not
// touched: EADDRNOTAVAIL.
int32_t liborvaniot_os_net_addr_renew(const liborvaniot_os_net_owned_address* owned, uint32_t lifetime_s);

// Deletes the address (with its label, so that only ours goes) and its route, and gives up the claim
// on it: 0 or the error number of the delete.
int32_t liborvaniot_os_net_addr_delete(liborvaniot_os_net_owned_address* owned);

// Deletes every 169.254.0.0/16 address that is provably ours - prefix length 32, a finite lifetime
// and the exact label "<ifname><label_suffix>" (where the name leaves no room for it: the interface's
// name and our protocol number) - and that no live process claims: what killed runs left behind.
// Anything else stays (another program's, the administrator's, one another running process renews).
// The number deleted, -1 when the addresses cannot be read.
int32_t liborvaniot_os_net_addr_delete_orphaned(const char* label_suffix);

// An address within network/netmask (network byte order) on the interface that is provably ours as
// above for label_suffix: 1 with *address set, 0 when there is none.
int32_t liborvaniot_os_net_addr_find_ours(uint32_t if_index, uint32_t network, uint32_t netmask,
                                          const char* label_suffix, uint32_t* address);
// Takes over such an address: 0 with *owned filled when no live process claimed it (this one now
// renews and deletes it), EADDRINUSE while another live process does, or another error number.
int32_t liborvaniot_os_net_addr_adopt(uint32_t if_index, uint32_t address, const char* label_suffix,
                                      liborvaniot_os_net_owned_address* owned);

// Fills out with bytes from the system's random source: 0 or the error number.
int32_t liborvaniot_os_random_bytes(void* out, size_t size);

// 1 when an interface of the host holds the IPv4 address (network byte order), else 0.
int32_t liborvaniot_os_net_address_present(uint32_t address);
