// The discovery group's own port (announcements), receiving with over-length detection, and the
// receive buffer size enforced beyond the ordinary limit.
#include "liborvaniot_os/liborvaniot_os_net_group.h"

#include <cerrno>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os_socket_calls.h"

namespace {

constexpr char kOpenCaller[] = "liborvaniot_os_net_group_receiver_open";

bool set_option(liborvaniot_os_socket sock, int level, int name, const void* value, size_t size) {
    return liborvaniot_os_socket_calls::set_option(sock, level, name, value, size);
}

// Joins the group on each distinct interface address; counts the memberships that hold. When none
// holds, errno tells why the last membership was refused.
int32_t join_interfaces(liborvaniot_os_socket sock, uint32_t group, const uint32_t* if_addrs, int32_t count,
                        const char* group_text, int port) {
    int32_t joined = 0;
    int refusal = EINVAL;
    for (int32_t i = 0; i < count; ++i) {
        bool seen = false;
        for (int32_t j = 0; j < i && !seen; ++j) seen = if_addrs[j] == if_addrs[i];
        if (seen || if_addrs[i] == 0) continue;
        ip_mreq membership{};
        membership.imr_multiaddr.s_addr = group;
        membership.imr_interface.s_addr = if_addrs[i];
        if (set_option(sock, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership)) {
            ++joined;
        } else if (errno == EADDRINUSE) {
            // Two addresses of one interface: the first one's membership already covers it.
            ++joined;
        } else {
            refusal = errno;
            char interface_text[16];
            liborvaniot_os_net_format_address(if_addrs[i], interface_text);
            liborvaniot_os_debug_printf(kOpenCaller, __LINE__,
                                        "(%s:%d) probe group receiver IP_ADD_MEMBERSHIP on %s, error !!\n",
                                        group_text, port, interface_text);
        }
    }
    if (joined == 0) errno = refusal;
    return joined;
}

// The failure result, with errno restored after the logging and closing that followed the cause.
int32_t fail_with(int error) {
    errno = error;
    return 1;
}

}  // namespace

int32_t liborvaniot_os_net_group_receiver_open(uint16_t port, const uint32_t* if_addrs, int32_t count,
                                               liborvaniot_os_socket* sock) {
    if (*sock != LIBORVANIOT_OS_INVALID_SOCKET) {
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    const uint32_t group = ::inet_addr(LIBORVANIOT_OS_NET_MULTICAST_GROUP);
    const char* group_text = LIBORVANIOT_OS_NET_MULTICAST_GROUP;
    const int port_number = port;
    if (if_addrs == nullptr || count <= 0) return fail_with(EINVAL);

    *sock = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, kOpenCaller, __LINE__);
    if (*sock == LIBORVANIOT_OS_INVALID_SOCKET) {
        const int error = errno;
        liborvaniot_os_debug_printf(kOpenCaller, __LINE__,
                                    "(%s:%d) probe group receiver socket open, error !!\n", group_text,
                                    port_number);
        return fail_with(error);
    }
    const int reuse = 1;
    if (!set_option(*sock, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse)) {
        liborvaniot_os_debug_printf(kOpenCaller, __LINE__,
                                    "(%s:%d) probe group receiver setsockopt SO_REUSEADDR, error !!\n",
                                    group_text, port_number);
    }
    const int receive_buffer = LIBORVANIOT_OS_NET_RECEIVE_BUFFER;
    if (!set_option(*sock, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer)) {
        liborvaniot_os_debug_printf(kOpenCaller, __LINE__,
                                    "(%s:%d) probe group receiver setsockopt SO_RCVBUF, error !!\n",
                                    group_text, port_number);
    }
    liborvaniot_os_net_force_receive_buffer(*sock, LIBORVANIOT_OS_NET_RECEIVE_BUFFER);
    if (!liborvaniot_os_socket_calls::bind_group(*sock, group, port)) {
        const int error = errno;
        liborvaniot_os_debug_printf(kOpenCaller, __LINE__, "(%s:%d) probe group receiver bind, error !!\n",
                                    group_text, port_number);
        liborvaniot_os_socket_debug_close(sock);
        return fail_with(error);
    }
    if (join_interfaces(*sock, group, if_addrs, count, group_text, port_number) == 0) {
        const int error = errno;
        liborvaniot_os_socket_debug_close(sock);
        return fail_with(error);
    }
    return 0;
}

int32_t liborvaniot_os_net_group_receiver_join(liborvaniot_os_socket sock, uint16_t port,
                                               const uint32_t* if_addrs, int32_t count) {
    if (sock == LIBORVANIOT_OS_INVALID_SOCKET || if_addrs == nullptr || count <= 0) return 1;
    int32_t distinct = 0;
    for (int32_t i = 0; i < count; ++i) {
        bool seen = if_addrs[i] == 0;
        for (int32_t j = 0; j < i && !seen; ++j) seen = if_addrs[j] == if_addrs[i];
        if (!seen) ++distinct;
    }
    const int32_t joined = join_interfaces(sock, ::inet_addr(LIBORVANIOT_OS_NET_MULTICAST_GROUP), if_addrs,
                                           count, LIBORVANIOT_OS_NET_MULTICAST_GROUP, port);
    return joined == distinct ? 0 : 1;
}

int32_t liborvaniot_os_net_recv_datagram(liborvaniot_os_socket sock, void* buffer, size_t capacity,
                                         sockaddr_in* from) {
    sockaddr_in sender{};
    bool too_long = false;
    const int64_t n = liborvaniot_os_socket_calls::receive(sock, buffer, capacity, &sender, &too_long);
    if (n < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK ? LIBORVANIOT_OS_NET_WOULD_BLOCK : -1;
    }
    // Never handed on cut short: a truncated answer could still parse, with its fields cut off.
    if (too_long) return LIBORVANIOT_OS_NET_TOO_LONG;
    if (from != nullptr) *from = sender;
    return static_cast<int32_t>(n);
}

int32_t liborvaniot_os_net_force_receive_buffer(liborvaniot_os_socket sock, int32_t bytes) {
    return liborvaniot_os_socket_calls::force_receive_buffer(sock, bytes);
}
