// Discovery channels (one multicast UDP socket per usable local IPv4 address) and the datagram I/O
// the probe client runs on them. Addresses are in network byte order, ports in host byte order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mem.h"

inline constexpr int32_t LIBORVANIOT_OS_NET_MAX_CHANNELS = 8;
// Rows the local address table can hold; a host with more IPv4 addresses gets no channel from it.
inline constexpr int32_t LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS = 21;
inline constexpr char LIBORVANIOT_OS_NET_MULTICAST_GROUP[] = "239.255.255.250";
inline constexpr int32_t LIBORVANIOT_OS_NET_RECEIVE_BUFFER = 655350;
// Attempts and pause for the extra interface, whose address may have been added moments ago.
inline constexpr int32_t LIBORVANIOT_OS_NET_EXTRA_ATTEMPTS = 20;
inline constexpr uint32_t LIBORVANIOT_OS_NET_EXTRA_PAUSE_MS = 500;

struct liborvaniot_os_net_channel {
    liborvaniot_os_socket sock = LIBORVANIOT_OS_INVALID_SOCKET;  // invalid: empty channel
    uint32_t if_addr = 0;
    uint16_t probe_port = 0;
};

// Owned by the probe client, which closes the sockets and resets count before it fills the table.
struct liborvaniot_os_net_channel_table {
    liborvaniot_os_net_channel channels[LIBORVANIOT_OS_NET_MAX_CHANNELS];
    int32_t count = 0;
};

// Opens a non-blocking UDP socket bound to the interface address (system-chosen port), joined to the
// discovery group there and sending its multicast through that interface. 0 when *sock holds the
// ready socket; 1 on failure, *sock then holds the invalid handle. A *sock that already holds a
// socket is closed and the call fails, so callers pass the invalid handle.
int32_t liborvaniot_os_net_multicast_client_init(uint32_t if_addr, liborvaniot_os_socket* sock);

// Opens a non-blocking UDP socket bound to the any-address (system-chosen port) for probes sent to
// single addresses: each leaves through the interface and with the source address the routing table
// picks, so that devices behind a router can answer it. 0 when *sock holds the ready socket; 1 on
// failure, *sock then holds the invalid handle (a *sock that held a socket is closed and the call fails).
int32_t liborvaniot_os_net_unicast_client_init(liborvaniot_os_socket* sock);

// Empties all channel sockets, then appends one channel per usable row of the local address table
// (neither 0 nor 127.0.0.1, at most 8 channels) and last one for *extra_if_addr when that is not 0.
// The extra address is re-read between its attempts; a raised stop flag ends them at once.
void liborvaniot_os_net_multicast_client_open_all(liborvaniot_os_net_channel_table* table,
                                                  uint16_t probe_port,
                                                  const std::atomic<uint32_t>* extra_if_addr);

// Brings the table in line with the host's addresses without touching a channel that stays, so
// nothing waiting in its socket is lost: a channel whose address is gone, whose socket was closed
// or that has a different probe port is closed and removed; every usable address of the table
// without a channel gets one (at most 8), and extra_if_addr too when it is not 0 and has none.
// One attempt per address. Returns how many wanted addresses could not be opened (0: complete).
// When the address table cannot be read, the channels that are open stay as they are.
int32_t liborvaniot_os_net_multicast_client_sync(liborvaniot_os_net_channel_table* table,
                                                 uint16_t probe_port, uint32_t extra_if_addr);

// The local IPv4 address table, unsorted, into rows[capacity]: 0 with *count set, 1 when it cannot be
// read or does not fit.
int32_t liborvaniot_os_net_read_address_table(uint32_t* rows, int32_t capacity, int32_t* count);

enum class liborvaniot_os_net_wait_for { readable, writable };

// Waits up to timeout_ms (negative: no limit) until one of the sockets is ready; invalid handles are
// ignored. ready[i] is set to 1 for every ready socket, 0 otherwise. Returns the number of ready
// sockets, 0 on time-out or when a signal interrupted the wait, -1 on error.
int32_t liborvaniot_os_net_wait(const liborvaniot_os_socket* socks, int32_t count,
                                liborvaniot_os_net_wait_for what, int32_t timeout_ms, uint8_t* ready);

inline constexpr int32_t LIBORVANIOT_OS_NET_WOULD_BLOCK = -2;

// Receives one datagram (cut to capacity) and its sender: its length, LIBORVANIOT_OS_NET_WOULD_BLOCK
// when none is waiting, -1 on error.
int32_t liborvaniot_os_net_recv_from(liborvaniot_os_socket sock, void* buffer, size_t capacity,
                                     uint32_t* from_addr, uint16_t* from_port);

// Sends one datagram: the bytes sent, LIBORVANIOT_OS_NET_WOULD_BLOCK when the socket cannot take it
// now, -1 on error.
int32_t liborvaniot_os_net_send_to(liborvaniot_os_socket sock, const void* data, size_t length,
                                   uint32_t to_addr, uint16_t to_port);

// Strict dotted quad ("169.254.10.200": four decimal octets, no leading zeros, nothing else): 0 and
// the four bytes in text order, or 1 and nothing written.
int32_t liborvaniot_os_net_inet_pton4(const char* text, unsigned char* address);

// The address as "%d.%d.%d.%d" into out (16 bytes).
void liborvaniot_os_net_format_address(uint32_t address, char* out);
