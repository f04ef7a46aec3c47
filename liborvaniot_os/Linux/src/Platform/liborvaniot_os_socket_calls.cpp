// BSD sockets behind the runtime's socket calls: no library to start, O_NONBLOCK, close-on-exec,
// MSG_TRUNC to recognise an over-long datagram, poll for readiness.
#include "liborvaniot_os_socket_calls.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace liborvaniot_os_socket_calls {

namespace {

constexpr int32_t kMaxWaitSockets = 64;

bool make_non_blocking(liborvaniot_os_socket sock) {
    const int flags = ::fcntl(sock, F_GETFL, 0);
    return flags >= 0 && ::fcntl(sock, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

int32_t library_start() {
    return 0;
}

void library_stop() {}

liborvaniot_os_socket open(int type, int protocol) {
    // Close-on-exec keeps runtime sockets out of programs the application starts (the browser).
    const liborvaniot_os_socket sock = ::socket(AF_INET, type | SOCK_CLOEXEC, protocol);
    if (sock < 0) return LIBORVANIOT_OS_INVALID_SOCKET;
    if (!make_non_blocking(sock)) {
        const int error = errno;
        ::close(sock);
        errno = error;
        return LIBORVANIOT_OS_INVALID_SOCKET;
    }
    return sock;
}

void close(liborvaniot_os_socket sock) {
    ::close(sock);
}

bool set_option(liborvaniot_os_socket sock, int level, int name, const void* value, size_t size) {
    return ::setsockopt(sock, level, name, value, static_cast<socklen_t>(size)) == 0;
}

bool bind(liborvaniot_os_socket sock, uint32_t address, uint16_t port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = address;
    return ::bind(sock, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

bool bind_group(liborvaniot_os_socket sock, uint32_t group, uint16_t port) {
    // Only the memberships made on this socket count; otherwise any group joined by any socket of
    // the host on any interface would be delivered too.
    const int only_own_memberships = 0;
    set_option(sock, IPPROTO_IP, IP_MULTICAST_ALL, &only_own_memberships, sizeof only_own_memberships);
    // Bound to the group rather than to every address: datagrams sent straight to this host's port
    // are not announcements and stay out.
    return bind(sock, group, port);
}

int32_t force_receive_buffer(liborvaniot_os_socket sock, int32_t bytes) {
    const int size = bytes;
    return set_option(sock, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) ? 0 : errno;
}

int32_t ignore_port_unreachable(liborvaniot_os_socket) {
    // An unconnected socket never hears of such errors here (no IP_RECVERR).
    return 0;
}

int64_t receive(liborvaniot_os_socket sock, void* buffer, size_t capacity, sockaddr_in* from, bool* too_long) {
    socklen_t from_size = sizeof *from;
    // With MSG_TRUNC the result is the datagram's real length, so a longer one is recognised instead
    // of being handed on cut short.
    const ssize_t n =
        ::recvfrom(sock, buffer, capacity, MSG_TRUNC, reinterpret_cast<sockaddr*>(from), &from_size);
    if (n < 0) return -1;
    *too_long = static_cast<size_t>(n) > capacity;
    return *too_long ? static_cast<int64_t>(capacity) : n;
}

int64_t send(liborvaniot_os_socket sock, const void* data, size_t length, const sockaddr_in& to) {
    return ::sendto(sock, data, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

int32_t wait(const liborvaniot_os_socket* socks, int32_t count, bool readable, int32_t timeout_ms,
             uint8_t* ready) {
    if (count < 0 || count > kMaxWaitSockets) return -1;
    pollfd fds[kMaxWaitSockets];
    const short events = readable ? POLLIN : POLLOUT;
    for (int32_t i = 0; i < count; ++i) {
        // poll skips negative descriptors, which is exactly what an empty channel should be.
        fds[i] = pollfd{socks[i], events, 0};
        ready[i] = 0;
    }
    const int result = ::poll(fds, static_cast<nfds_t>(count), timeout_ms < 0 ? -1 : timeout_ms);
    if (result < 0) return errno == EINTR ? 0 : -1;
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i) {
        // Errors and hang-ups count as ready: the next receive or send reports them.
        if (fds[i].fd >= 0 && (fds[i].revents & (events | POLLERR | POLLHUP)) != 0) {
            ready[i] = 1;
            ++n;
        }
    }
    return n;
}

}  // namespace liborvaniot_os_socket_calls
