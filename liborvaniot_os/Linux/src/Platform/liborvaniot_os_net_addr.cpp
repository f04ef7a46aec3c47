// Link-local set-up on Linux: the administrator check (CAP_NET_ADMIN), binding to an interface, and
// adding, renewing and deleting the address this process owns through rtnetlink.
#include "liborvaniot_os/liborvaniot_os_net_addr.h"

#include <linux/capability.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "liborvaniot_os/liborvaniot_os_net.h"

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

// The claim on an address is a local socket bound to a name made from it. Names of that kind belong
// to the network namespace, as the address does, and vanish when the last process holding the
// socket ends, however it ends. 0 when *claim holds it; EADDRINUSE while a live process holds it.
int32_t take_claim(uint32_t address, liborvaniot_os_socket* claim) {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    sockaddr_un name{};
    name.sun_family = AF_UNIX;
    char text[16];
    liborvaniot_os_net_format_address(address, text);
    // A leading NUL puts the name outside the file system.
    const int length = std::snprintf(name.sun_path + 1, sizeof name.sun_path - 1, "orvan-link-local/%s", text);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&name), size) != 0) {
        const int32_t error = errno;
        ::close(fd);
        return error;
    }
    *claim = fd;
    return 0;
}

void release_claim(liborvaniot_os_socket* claim) {
    if (*claim == LIBORVANIOT_OS_INVALID_SOCKET) return;
    ::close(*claim);
    *claim = LIBORVANIOT_OS_INVALID_SOCKET;
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

bool has_suffix(const char* label, const char* suffix) {
    const size_t label_length = std::strlen(label);
    const size_t suffix_length = std::strlen(suffix);
    return suffix_length != 0 && label_length > suffix_length &&
           std::strcmp(label + label_length - suffix_length, suffix) == 0;
}

bool marked_as_ours(const liborvaniot_os_netlink_address& row, const char* label_suffix) {
    return row.protocol == LIBORVANIOT_OS_NET_OWN_ADDRESS_PROTOCOL || has_suffix(row.label, label_suffix);
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
        release_claim(&candidate.claim);
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
            s->found = row.if_index == s->owned->if_index && row.local == s->owned->address &&
                       row.prefix_len == s->owned->prefix_len;
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
    const int32_t error = liborvaniot_os_netlink_change_address(RTM_DELADDR, 0, as_row(*owned), 0, false);
    // Deleted or not, this process no longer renews it.
    release_claim(&owned->claim);
    return error;
}

int32_t liborvaniot_os_net_addr_delete_orphaned(const char* label_suffix) {
    constexpr int32_t kMaxLeftovers = 32;
    struct collection {
        const char* suffix;
        liborvaniot_os_netlink_address rows[kMaxLeftovers];
        int32_t count;
    } found{label_suffix, {}, 0};
    const int32_t error = liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            auto* c = static_cast<collection*>(context);
            if (marked_as_ours(row, c->suffix)) c->rows[c->count++] = row;
            return c->count < kMaxLeftovers;
        },
        &found);
    if (error != 0) return -1;
    int32_t deleted = 0;
    for (int32_t i = 0; i < found.count; ++i) {
        // Held through the delete, so that no new run can claim and add it meanwhile.
        liborvaniot_os_socket claim = LIBORVANIOT_OS_INVALID_SOCKET;
        if (take_claim(found.rows[i].local, &claim) != 0) continue;  // a live run renews it
        if (liborvaniot_os_netlink_change_address(RTM_DELADDR, 0, found.rows[i], 0, false) == 0) ++deleted;
        release_claim(&claim);
    }
    return deleted;
}
