// Address and link change notices from rtnetlink's multicast groups, and an eventfd as the
// listener's wake-up.
#include "liborvaniot_os/liborvaniot_os_net_watch.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

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
    *watch = fd;
    return 0;
}

int32_t liborvaniot_os_net_address_watch_drain(liborvaniot_os_socket watch) {
    if (watch == LIBORVANIOT_OS_INVALID_SOCKET) return 0;
    alignas(nlmsghdr) char buffer[8192];
    int32_t changed = 0;
    for (;;) {
        const ssize_t received = ::recv(watch, buffer, sizeof buffer, 0);
        if (received < 0) {
            if (errno == EINTR) continue;
            // The kernel drops notices when the socket is full; what they said is then unknown.
            if (errno == ENOBUFS) changed = 1;
            return changed;
        }
        int remaining = static_cast<int>(received);
        for (auto* header = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(header, remaining);
             header = NLMSG_NEXT(header, remaining)) {
            switch (header->nlmsg_type) {
                case RTM_NEWADDR:
                case RTM_DELADDR:
                case RTM_NEWLINK:
                case RTM_DELLINK:
                    changed = 1;
                    break;
                default:
                    break;
            }
        }
    }
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
    ::close(*descriptor);
    *descriptor = LIBORVANIOT_OS_INVALID_SOCKET;
}
