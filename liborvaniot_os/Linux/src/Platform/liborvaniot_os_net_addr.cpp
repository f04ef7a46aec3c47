// Link-local set-up on Linux: the administrator check (CAP_NET_ADMIN), binding to an interface, and
// adding, renewing and deleting the address this process owns through rtnetlink.
#include "liborvaniot_os/liborvaniot_os_net_addr.h"

#include <linux/capability.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/random.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "liborvaniot_os/liborvaniot_os_net.h"

#include "liborvaniot_os_net_claim.h"
#include "liborvaniot_os_net_netlink.h"

namespace {

liborvaniot_os_netlink_address as_row(const liborvaniot_os_net_owned_address& owned) {
    liborvaniot_os_netlink_address row;
    row.if_index = owned.if_index;
    row.prefix_len = owned.prefix_len;
    row.local = owned.address;
    std::memcpy(row.label, owned.label, sizeof row.label);
    row.protocol = LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL;
    return row;
}

// The claim on an address: 0 when *claim holds it; EADDRINUSE while a live process holds it.
int32_t take_claim(uint32_t address, liborvaniot_os_socket* claim) {
    char name[64];
    if (!liborvaniot_os_net_claim_name(address, name, sizeof name)) return ENOENT;
    return liborvaniot_os_net_claim_take(LIBORVANIOT_OS_NET_CLAIM_DIRECTORY, name, claim);
}

void release_claim(uint32_t address, liborvaniot_os_socket* claim) {
    if (*claim == LIBORVANIOT_OS_INVALID_SOCKET) return;
    char name[64];
    if (!liborvaniot_os_net_claim_name(address, name, sizeof name)) name[0] = '\0';
    liborvaniot_os_net_claim_release(LIBORVANIOT_OS_NET_CLAIM_DIRECTORY, name, claim);
}

// The label the kernel accepts for an address of ours: "<ifname><suffix>" within 15 characters.
bool own_label(const char* if_name, const char* suffix, char* out) {
    const size_t name_length = std::strlen(if_name);
    const size_t suffix_length = std::strlen(suffix);
    if (suffix_length == 0 ||
        name_length + suffix_length >= sizeof(liborvaniot_os_net_owned_address::label)) {
        return false;
    }
    std::memcpy(out, if_name, name_length);
    std::memcpy(out + name_length, suffix, suffix_length + 1);
    return true;
}

constexpr uint32_t kLinkLocalNetwork = 0xA9FE0000u;  // 169.254.0.0/16, host byte order
constexpr uint32_t kLinkLocalMask = 0xFFFF0000u;

// Only what we add can be proved ours: a /32 in the expected range with a finite lifetime and our
// exact label ("<ifname><suffix>"; where the name leaves no room, the interface's own name and our
// protocol number). Anything else may be another program's or the administrator's.
bool provably_ours(const liborvaniot_os_netlink_address& row, uint32_t network, uint32_t netmask,
                   const char* label_suffix) {
    if ((ntohl(row.local) & netmask) != network || row.prefix_len != LIBORVANIOT_OS_NET_OWN_PREFIX_LENGTH ||
        row.valid_s == LIBORVANIOT_OS_NETLINK_FOREVER) {
        return false;
    }
    char if_name[IF_NAMESIZE] = {};
    if (::if_indextoname(row.if_index, if_name) == nullptr) return false;
    char expected[sizeof(liborvaniot_os_net_owned_address::label)] = {};
    if (own_label(if_name, label_suffix, expected)) return std::strcmp(row.label, expected) == 0;
    return row.protocol == LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL && std::strcmp(row.label, if_name) == 0;
}

}  // namespace

int32_t liborvaniot_os_net_has_admin_rights() {
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) return 0;
    return (data[CAP_TO_INDEX(CAP_NET_ADMIN)].effective & CAP_TO_MASK(CAP_NET_ADMIN)) != 0 ? 1 : 0;
}

int32_t liborvaniot_os_net_bind_to_interface(liborvaniot_os_socket sock, uint32_t if_index) {
    const int index = static_cast<int>(if_index);
    return ::setsockopt(sock, SOL_SOCKET, SO_BINDTOIFINDEX, &index, sizeof index) == 0 ? 0 : errno;
}

int32_t liborvaniot_os_net_addr_add(uint32_t if_index, uint32_t address, uint8_t prefix_len,
                                    const char* label_suffix, uint32_t lifetime_s,
                                    liborvaniot_os_net_owned_address* owned) {
    char if_name[IF_NAMESIZE] = {};
    if (::if_indextoname(if_index, if_name) == nullptr) return errno;
    liborvaniot_os_net_owned_address candidate;
    candidate.if_index = if_index;
    candidate.address = address;
    candidate.prefix_len = prefix_len;
    // A name too long for our label keeps the kernel's default label; the lifetime still ends it.
    const bool labelled = own_label(if_name, label_suffix, candidate.label);
    if (!labelled) std::memcpy(candidate.label, if_name, sizeof candidate.label);
    // Claimed before it exists, so that no other run ever sees it unclaimed and takes it for a
    // leftover.
    if (const int32_t error = take_claim(address, &candidate.claim); error != 0) return error;
    const int32_t error = liborvaniot_os_netlink_change_address(RTM_NEWADDR, NLM_F_CREATE | NLM_F_EXCL,
                                                                as_row(candidate), lifetime_s, labelled);
    if (error != 0) {
        release_claim(address, &candidate.claim);
        return error;
    }
    *owned = candidate;
    return 0;
}

int32_t liborvaniot_os_net_addr_renew(const liborvaniot_os_net_owned_address* owned, uint32_t lifetime_s) {
    if (owned->if_index == 0) return EINVAL;
    // The kernel would create a missing address on a replace request; an address that someone
    // removed, or that expired, must stay gone.
    struct search {
        const liborvaniot_os_net_owned_address* owned;
        bool found;
    } wanted{owned, false};
    const int32_t error = liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            auto* s = static_cast<search*>(context);
            // The same checks as the clean-up's: an address someone else put in its place is theirs.
            s->found = row.if_index == s->owned->if_index && row.local == s->owned->address &&
                       row.prefix_len == s->owned->prefix_len &&
                       std::strcmp(row.label, s->owned->label) == 0 &&
                       row.valid_s != LIBORVANIOT_OS_NETLINK_FOREVER;
            return !s->found;
        },
        &wanted);
    if (error != 0) return error;
    if (!wanted.found) return EADDRNOTAVAIL;
    return liborvaniot_os_netlink_change_address(RTM_NEWADDR, NLM_F_REPLACE, as_row(*owned), lifetime_s,
                                                 true);
}

int32_t liborvaniot_os_net_addr_delete(liborvaniot_os_net_owned_address* owned) {
    if (owned->if_index == 0) return EINVAL;
    if (owned->route_if_index != 0) {
        // The kernel drops routes whose source address goes; removed first all the same, so that
        // nothing depends on that.
        liborvaniot_os_netlink_change_route(RTM_DELROUTE, 0, owned->route_destination, owned->route_prefix_len,
                                            owned->route_if_index, owned->address,
                                            LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL);
        owned->route_if_index = 0;
    }
    const int32_t error = liborvaniot_os_netlink_change_address(RTM_DELADDR, 0, as_row(*owned), 0, true);
    // Deleted or not, this process no longer renews it.
    release_claim(owned->address, &owned->claim);
    return error;
}

int32_t liborvaniot_os_net_addr_delete_orphaned(const char* label_suffix) {
    constexpr int32_t kMaxLeftovers = 32;
    struct collection {
        uint32_t network;
        uint32_t netmask;
        const char* suffix;
        liborvaniot_os_netlink_address rows[kMaxLeftovers];
        int32_t count;
    } found{kLinkLocalNetwork, kLinkLocalMask, label_suffix, {}, 0};
    const int32_t error = liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            auto* c = static_cast<collection*>(context);
            if (provably_ours(row, c->network, c->netmask, c->suffix)) c->rows[c->count++] = row;
            return c->count < kMaxLeftovers;
        },
        &found);
    if (error != 0) return -1;
    int32_t deleted = 0;
    for (int32_t i = 0; i < found.count; ++i) {
        // Held through the delete, so that no new run can claim and add it meanwhile.
        liborvaniot_os_socket claim = LIBORVANIOT_OS_INVALID_SOCKET;
        if (take_claim(found.rows[i].local, &claim) != 0) continue;  // a live run renews it
        // The label goes with the request, so that the kernel deletes only an address that carries it.
        if (liborvaniot_os_netlink_change_address(RTM_DELADDR, 0, found.rows[i], 0, true) == 0) ++deleted;
        release_claim(found.rows[i].local, &claim);
    }
    return deleted;
}

int32_t liborvaniot_os_net_addr_find_ours(uint32_t if_index, uint32_t network, uint32_t netmask,
                                          const char* label_suffix, uint32_t* address) {
    struct search {
        uint32_t if_index;
        uint32_t network;
        uint32_t netmask;
        const char* suffix;
        uint32_t found;
    } wanted{if_index, ntohl(network), ntohl(netmask), label_suffix, 0};
    liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            auto* s = static_cast<search*>(context);
            if (row.if_index == s->if_index && provably_ours(row, s->network, s->netmask, s->suffix)) s->found = row.local;
            return s->found == 0;
        },
        &wanted);
    *address = wanted.found;
    return wanted.found != 0 ? 1 : 0;
}

int32_t liborvaniot_os_net_addr_adopt(uint32_t if_index, uint32_t address, const char* label_suffix,
                                      liborvaniot_os_net_owned_address* owned) {
    char if_name[IF_NAMESIZE] = {};
    if (::if_indextoname(if_index, if_name) == nullptr) return errno;
    liborvaniot_os_net_owned_address candidate;
    candidate.if_index = if_index;
    candidate.address = address;
    candidate.prefix_len = LIBORVANIOT_OS_NET_OWN_PREFIX_LENGTH;
    if (!own_label(if_name, label_suffix, candidate.label)) std::memcpy(candidate.label, if_name, sizeof candidate.label);
    if (const int32_t error = take_claim(address, &candidate.claim); error != 0) return error;
    // Checked again under the claim: the holder may have deleted it just before letting go.
    uint32_t still = 0;
    const uint32_t host = htonl(0xFFFFFFFFu);
    if (liborvaniot_os_net_addr_find_ours(if_index, address, host, label_suffix, &still) != 1) {
        release_claim(address, &candidate.claim);
        return EADDRNOTAVAIL;
    }
    *owned = candidate;
    return 0;
}

int32_t liborvaniot_os_net_addr_add_route(liborvaniot_os_net_owned_address* owned, uint32_t destination,
                                          uint8_t destination_len) {
    if (owned->if_index == 0 || owned->route_if_index != 0) return EINVAL;
    // Appended, not exclusive: another holder's route to the same network (another finder's, the
    // kernel's for an address of the administrator's) stays first, ours takes over when it goes.
    const int32_t error = liborvaniot_os_netlink_change_route(
        RTM_NEWROUTE, NLM_F_CREATE | NLM_F_APPEND, destination, destination_len, owned->if_index, owned->address,
        LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL);
    if (error != 0) return error;
    owned->route_if_index = owned->if_index;
    owned->route_destination = destination;
    owned->route_prefix_len = destination_len;
    return 0;
}

int32_t liborvaniot_os_random_bytes(void* out, size_t size) {
    auto* bytes = static_cast<unsigned char*>(out);
    while (size > 0) {
        const ssize_t got = ::getrandom(bytes, size, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return 0;
}
