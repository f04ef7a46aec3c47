// The socket calls whose form differs between the platforms' socket libraries, so that the socket
// table, the channels and the group receiver are written once. Every failure leaves its reason in
// errno with its POSIX number on both platforms.
#pragma once

#include <cstddef>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace liborvaniot_os_socket_calls {

// Starts and stops the socket library where there is one to start (Winsock 2.2): 0 or the error.
int32_t library_start();
void library_stop();

// An IPv4 socket, non-blocking and not inherited by programs this process starts, or the invalid
// handle.
liborvaniot_os_socket open(int type, int protocol);
void close(liborvaniot_os_socket sock);

bool set_option(liborvaniot_os_socket sock, int level, int name, const void* value, size_t size);
bool bind(liborvaniot_os_socket sock, uint32_t address, uint16_t port);

// Binds a receiver of the discovery group at port so that it hears the group's datagrams and as
// little else as the platform allows.
bool bind_group(liborvaniot_os_socket sock, uint32_t group, uint16_t port);

// A receive buffer of bytes even above the system's ordinary limit: 0, or the error number.
int32_t force_receive_buffer(liborvaniot_os_socket sock, int32_t bytes);

// Keeps an unconnected socket's receiving going when a host answers one of its datagrams with
// "port unreachable": Windows otherwise fails the next receive with that error. 0, or the error.
int32_t ignore_port_unreachable(liborvaniot_os_socket sock);

// Takes one datagram: its length, or -1 (errno). *too_long tells that it did not fit into capacity
// bytes: then it has been consumed and the buffer holds no usable part of it.
int64_t receive(liborvaniot_os_socket sock, void* buffer, size_t capacity, sockaddr_in* from, bool* too_long);
// Sends one datagram: the bytes sent, or -1 (errno). Never raises a signal.
int64_t send(liborvaniot_os_socket sock, const void* data, size_t length, const sockaddr_in& to);

// Waits up to timeout_ms (negative: no limit) for the sockets (invalid handles ignored) to become
// readable or writable; errors count as ready. The number ready (ready[i] set to 1 for each), 0 on
// time-out or interruption, -1 on error.
int32_t wait(const liborvaniot_os_socket* socks, int32_t count, bool readable, int32_t timeout_ms,
             uint8_t* ready);

}  // namespace liborvaniot_os_socket_calls
