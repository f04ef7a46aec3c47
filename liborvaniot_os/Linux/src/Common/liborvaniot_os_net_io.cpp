// Datagram I/O on runtime sockets: waiting for readiness, receiving with the sender, sending.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "liborvaniot_os/liborvaniot_os_net.h"

namespace {

constexpr int32_t kMaxWaitSockets = 64;

bool would_block(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

int32_t liborvaniot_os_net_wait(const liborvaniot_os_socket* socks, int32_t count,
                                liborvaniot_os_net_wait_for what, int32_t timeout_ms, uint8_t* ready) {
    if (count < 0 || count > kMaxWaitSockets) return -1;
    pollfd fds[kMaxWaitSockets];
    const short events = what == liborvaniot_os_net_wait_for::readable ? POLLIN : POLLOUT;
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

int32_t liborvaniot_os_net_recv_from(liborvaniot_os_socket sock, void* buffer, size_t capacity,
                                     uint32_t* from_addr, uint16_t* from_port) {
    sockaddr_in from{};
    socklen_t from_size = sizeof from;
    const ssize_t n = ::recvfrom(sock, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (n < 0) return would_block(errno) ? LIBORVANIOT_OS_NET_WOULD_BLOCK : -1;
    if (from_addr != nullptr) *from_addr = from.sin_addr.s_addr;
    if (from_port != nullptr) *from_port = ntohs(from.sin_port);
    return static_cast<int32_t>(n);
}

int32_t liborvaniot_os_net_send_to(liborvaniot_os_socket sock, const void* data, size_t length,
                                   uint32_t to_addr, uint16_t to_port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(to_port);
    to.sin_addr.s_addr = to_addr;
    const ssize_t n =
        ::sendto(sock, data, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (n < 0) return would_block(errno) ? LIBORVANIOT_OS_NET_WOULD_BLOCK : -1;
    return static_cast<int32_t>(n);
}
