// The discovery group's own port: a receiver for the announcements devices send to the group, a
// receive that tells an over-long datagram from a fitting one, and the receive buffer size enforced.
#pragma once

#include <cstddef>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

// The datagram did not fit the buffer and has been discarded.
inline constexpr int32_t LIBORVANIOT_OS_NET_TOO_LONG = -3;

// Opens a non-blocking UDP socket bound to the discovery group at port (address reuse, so other
// listeners of the group on this host keep working) and joins the group on every interface address
// of if_addrs (an interface named twice is joined once). It hears only datagrams sent to the group
// on those interfaces. 0 when *sock holds the ready socket; 1 on failure or when no interface could
// be joined (*sock then holds the invalid handle, and errno tells why: the socket, the port or the
// group membership was refused). A *sock that already holds a socket is closed and
// the call fails, as with the channel sockets.
int32_t liborvaniot_os_net_group_receiver_open(uint16_t port, const uint32_t* if_addrs, int32_t count,
                                               liborvaniot_os_socket* sock);

// Joins the group on further interface addresses of an open receiver (addresses already joined are
// accepted again): 0 when every address is a member now, 1 otherwise.
int32_t liborvaniot_os_net_group_receiver_join(liborvaniot_os_socket sock, uint16_t port,
                                               const uint32_t* if_addrs, int32_t count);

// Receives one datagram and its sender: its length when it fit into capacity bytes,
// LIBORVANIOT_OS_NET_TOO_LONG when it was longer (it is consumed, nothing usable is left in buffer),
// LIBORVANIOT_OS_NET_WOULD_BLOCK when none is waiting, -1 on any other error. A zero-length datagram
// gives 0.
int32_t liborvaniot_os_net_recv_datagram(liborvaniot_os_socket sock, void* buffer, size_t capacity,
                                         sockaddr_in* from);

// Asks for a receive buffer of bytes even above the system's ordinary limit, which only a process
// allowed to administer the network may do: 0 when granted, else the error number (the buffer then
// keeps the size it had).
int32_t liborvaniot_os_net_force_receive_buffer(liborvaniot_os_socket sock, int32_t bytes);
