// Address and link change notices from rtnetlink's multicast groups, and an eventfd as the
// listener's wake-up.
#include "liborvaniot_os/liborvaniot_os_net_watch.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "liborvaniot_os_net_netlink.h"

namespace {

// What an address notice says apart from its lifetime: a notice that repeats it only restarts the
// lifetime (every running finder renews its address about once a second) and changes nothing.
struct address_key {
    uint32_t if_index;
    uint32_t local;
    uint8_t prefix_len;
    uint32_t flags;
    std::string label;
    auto operator<=>(const address_key&) const = default;
};

address_key key_of(const liborvaniot_os_netlink_address& row) {
    return {row.if_index, row.local, row.prefix_len, row.flags, row.label};
}

// The addresses each open watch has seen, by descriptor.
std::mutex known_mutex;
std::map<int, std::set<address_key>> known_by_watch;

std::set<address_key> current_addresses() {
    std::set<address_key> known;
    liborvaniot_os_netlink_walk_addresses(
        [](const liborvaniot_os_netlink_address& row, void* context) {
            static_cast<std::set<address_key>*>(context)->insert(key_of(row));
            return true;
        },
        &known);
    return known;
}

// 1 when the notices in the datagram change anything the watch has seen, updating what it has seen.
int32_t apply_notices(const char* buffer, size_t size, std::set<address_key>& known) {
    int32_t changed = 0;
    int remaining = static_cast<int>(size);
    for (auto* header = reinterpret_cast<const nlmsghdr*>(buffer); NLMSG_OK(header, remaining);
         header = NLMSG_NEXT(header, remaining)) {
        liborvaniot_os_netlink_address row;
        const bool address = (header->nlmsg_type == RTM_NEWADDR || header->nlmsg_type == RTM_DELADDR) &&
                             liborvaniot_os_netlink_parse_address(*header, &row);
        if (!address) {
            changed = 1;  // links, and anything we cannot read, count as changes
        } else if (header->nlmsg_type == RTM_NEWADDR) {
            if (known.insert(key_of(row)).second) changed = 1;
        } else {
            known.erase(key_of(row));
            changed = 1;
        }
    }
    // A datagram holding no whole message was still a notice of something.
    if (remaining != 0 || size == 0) changed = 1;
    return changed;
}

}  // namespace

int32_t liborvaniot_os_net_address_watch_open(liborvaniot_os_socket* watch) {
    *watch = LIBORVANIOT_OS_INVALID_SOCKET;
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0) return errno;
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_IPV4_IFADDR | RTMGRP_LINK;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int32_t error = errno;
        ::close(fd);
        return error;
    }
    // Read after joining the groups, so that no change falls between the dump and the notices.
    std::set<address_key> known = current_addresses();
    {
        std::lock_guard<std::mutex> held(known_mutex);
        known_by_watch[fd] = std::move(known);
    }
    *watch = fd;
    return 0;
}

int32_t liborvaniot_os_net_address_watch_drain(liborvaniot_os_socket watch) {
    if (watch == LIBORVANIOT_OS_INVALID_SOCKET) return 0;
    std::vector<char> buffer(8192);
    int32_t changed = 0;
    bool resync = false;
    std::lock_guard<std::mutex> held(known_mutex);
    std::set<address_key>& known = known_by_watch[watch];
    for (;;) {
        // Sized by the waiting datagram: a link with many names gives notices far beyond a page.
        const ssize_t waiting = ::recv(watch, nullptr, 0, MSG_PEEK | MSG_TRUNC);
        if (waiting < 0) {
            if (errno == EINTR) continue;
            // The kernel drops notices when the socket is full; what they said is then unknown.
            if (errno == ENOBUFS) changed = 1, resync = true;
            break;
        }
        if (static_cast<size_t>(waiting) > buffer.size()) buffer.resize(static_cast<size_t>(waiting));
        const ssize_t received = ::recv(watch, buffer.data(), buffer.size(), MSG_TRUNC);
        if (received < 0) {
            if (errno == EINTR) continue;
            changed = 1;
            break;
        }
        if (static_cast<size_t>(received) > buffer.size()) {
            changed = 1, resync = true;  // cut short after all: whatever it said is a change
            continue;
        }
        if (apply_notices(buffer.data(), static_cast<size_t>(received), known) != 0) changed = 1;
    }
    if (resync) known = current_addresses();
    return changed;
}

int32_t liborvaniot_os_net_wakeup_open(liborvaniot_os_socket* wakeup) {
    const int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    *wakeup = fd < 0 ? LIBORVANIOT_OS_INVALID_SOCKET : fd;
    return fd < 0 ? errno : 0;
}

void liborvaniot_os_net_wakeup_signal(liborvaniot_os_socket wakeup) {
    if (wakeup == LIBORVANIOT_OS_INVALID_SOCKET) return;
    const uint64_t one = 1;
    // A full counter already wakes the waiter; nothing else can go wrong with a valid eventfd.
    [[maybe_unused]] const ssize_t written = ::write(wakeup, &one, sizeof one);
}

void liborvaniot_os_net_wakeup_drain(liborvaniot_os_socket wakeup) {
    if (wakeup == LIBORVANIOT_OS_INVALID_SOCKET) return;
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(wakeup, &count, sizeof count);
}

void liborvaniot_os_net_descriptor_close(liborvaniot_os_socket* descriptor) {
    if (*descriptor == LIBORVANIOT_OS_INVALID_SOCKET) return;
    {
        std::lock_guard<std::mutex> held(known_mutex);
        known_by_watch.erase(*descriptor);
    }
    ::close(*descriptor);
    *descriptor = LIBORVANIOT_OS_INVALID_SOCKET;
}
