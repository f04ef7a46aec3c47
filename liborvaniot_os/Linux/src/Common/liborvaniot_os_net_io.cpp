// Datagram I/O on runtime sockets: waiting for readiness, receiving with the sender, sending.
#include <cerrno>

#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os_socket_calls.h"

namespace {

bool would_block(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

int32_t liborvaniot_os_net_wait(const liborvaniot_os_socket* socks, int32_t count,
                                liborvaniot_os_net_wait_for what, int32_t timeout_ms, uint8_t* ready) {
    return liborvaniot_os_socket_calls::wait(socks, count, what == liborvaniot_os_net_wait_for::readable,
                                             timeout_ms, ready);
}

int32_t liborvaniot_os_net_recv_from(liborvaniot_os_socket sock, void* buffer, size_t capacity,
                                     uint32_t* from_addr, uint16_t* from_port) {
    sockaddr_in from{};
    bool too_long = false;
    // A longer datagram is handed on cut to capacity: the callers (echo answers) read only its start.
    const int64_t n = liborvaniot_os_socket_calls::receive(sock, buffer, capacity, &from, &too_long);
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
    const int64_t n = liborvaniot_os_socket_calls::send(sock, data, length, to);
    if (n < 0) return would_block(errno) ? LIBORVANIOT_OS_NET_WOULD_BLOCK : -1;
    return static_cast<int32_t>(n);
}
