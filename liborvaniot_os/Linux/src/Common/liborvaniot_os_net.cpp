// Discovery channels: the multicast client socket on one interface address, and the table of them
// opened on every usable local IPv4 address plus the extra (link-local) interface.
#include "liborvaniot_os/liborvaniot_os_net.h"

#include <vector>

#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_net_select.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "liborvaniot_os_host_addresses.h"
#include "liborvaniot_os_socket_calls.h"

namespace {

constexpr char kInitCaller[] = "liborvaniot_os_net_multicast_client_init";

bool set_option(liborvaniot_os_socket sock, int level, int name, const void* value, size_t size) {
    return liborvaniot_os_socket_calls::set_option(sock, level, name, value, size);
}

bool usable_row(uint32_t address) {
    return address != 0 && address != htonl(INADDR_LOOPBACK);
}

// Appends a channel for the address when its socket opens; false when it does not, or when the
// program left that interface out.
bool append_channel(liborvaniot_os_net_channel_table* table, uint32_t if_addr, uint16_t probe_port) {
    if (table->count < 0 || table->count >= LIBORVANIOT_OS_NET_MAX_CHANNELS) return false;
    if (liborvaniot_os_net_channel_selected(if_addr) == 0) return false;
    liborvaniot_os_socket sock = LIBORVANIOT_OS_INVALID_SOCKET;
    if (liborvaniot_os_net_multicast_client_init(if_addr, &sock) != 0) return false;
    table->channels[table->count] = liborvaniot_os_net_channel{sock, if_addr, probe_port};
    ++table->count;
    return true;
}

void open_table_rows(liborvaniot_os_net_channel_table* table, uint16_t probe_port) {
    uint32_t rows[LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS];
    int32_t count = 0;
    if (liborvaniot_os_net_read_address_table(rows, LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS, &count) != 0)
        return;
    // The table is read again for every row: addresses may come and go while sockets are opened.
    for (int32_t row = 0; table->count < LIBORVANIOT_OS_NET_MAX_CHANNELS; ++row) {
        if (liborvaniot_os_net_read_address_table(rows, LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS, &count) != 0 ||
            row >= count) {
            return;
        }
        const uint32_t address = rows[row];
        if (!usable_row(address)) continue;
        append_channel(table, address, probe_port);
    }
}

bool has_channel(const liborvaniot_os_net_channel_table* table, uint32_t address) {
    for (int32_t i = 0; i < table->count; ++i) {
        if (table->channels[i].if_addr == address) return true;
    }
    return false;
}

// A freshly added address can be refused for a while (duplicate detection, interface coming up).
// An address the table already gave a channel is not opened twice: every probe would go out twice
// from it and every device on that network would answer twice.
void open_extra_interface(liborvaniot_os_net_channel_table* table, uint16_t probe_port,
                          const std::atomic<uint32_t>* extra_if_addr) {
    if (extra_if_addr == nullptr) return;
    uint32_t address = extra_if_addr->load();
    if (address == 0 || table->count >= LIBORVANIOT_OS_NET_MAX_CHANNELS) return;
    // Left out by the program: no amount of retrying would open it.
    if (liborvaniot_os_net_channel_selected(address) == 0) return;
    for (int32_t attempt = 1; attempt <= LIBORVANIOT_OS_NET_EXTRA_ATTEMPTS; ++attempt) {
        if (liborvaniot_os_stop_flag.load() != 0) return;
        if (has_channel(table, address)) return;
        if (append_channel(table, address, probe_port)) return;
        if (attempt == LIBORVANIOT_OS_NET_EXTRA_ATTEMPTS) return;
        if (liborvaniot_os_sleep_unless_stopped(LIBORVANIOT_OS_NET_EXTRA_PAUSE_MS) != 0) return;
        address = extra_if_addr->load();
        // Withdrawn meanwhile: a socket on 0.0.0.0 would listen on every interface, not this one.
        if (address == 0) return;
    }
}

bool contains(const uint32_t* addresses, int32_t count, uint32_t address) {
    for (int32_t i = 0; i < count; ++i) {
        if (addresses[i] == address) return true;
    }
    return false;
}

// Keeps the channels that are still wanted, in their order, and closes the others.
void keep_wanted_channels(liborvaniot_os_net_channel_table* table, const uint32_t* wanted,
                          int32_t wanted_count, uint16_t probe_port, bool table_read) {
    int32_t kept = 0;
    for (int32_t i = 0; i < table->count; ++i) {
        liborvaniot_os_net_channel channel = table->channels[i];
        const bool keep = channel.sock != LIBORVANIOT_OS_INVALID_SOCKET && channel.probe_port == probe_port &&
                          (!table_read || contains(wanted, wanted_count, channel.if_addr));
        if (keep) {
            table->channels[kept++] = channel;
        } else {
            liborvaniot_os_socket_debug_close(&channel.sock);
        }
    }
    for (int32_t i = kept; i < LIBORVANIOT_OS_NET_MAX_CHANNELS; ++i) table->channels[i] = {};
    table->count = kept;
}

}  // namespace

int32_t liborvaniot_os_net_multicast_client_init(uint32_t if_addr, liborvaniot_os_socket* sock) {
    if (*sock != LIBORVANIOT_OS_INVALID_SOCKET) {
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    char text[16];
    liborvaniot_os_net_format_address(if_addr, text);
    const int port = 0;

    *sock = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, kInitCaller, __LINE__);
    if (*sock == LIBORVANIOT_OS_INVALID_SOCKET) {
        liborvaniot_os_debug_printf(kInitCaller, __LINE__, "(%s:%d) probe client socket open, error !!\n",
                                    text, port);
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    const int reuse = 1;
    if (!set_option(*sock, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse)) {
        liborvaniot_os_debug_printf(kInitCaller, __LINE__,
                                    "(%s:%d) probe client setsockopt SO_REUSEADDR, error !!\n", text, port);
    }
    const int receive_buffer = LIBORVANIOT_OS_NET_RECEIVE_BUFFER;
    if (!set_option(*sock, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer)) {
        liborvaniot_os_debug_printf(kInitCaller, __LINE__,
                                    "(%s:%d) probe server setsockopt SO_RCVBUF, error !!\n", text, port);
    }
    if (!liborvaniot_os_socket_calls::bind(*sock, if_addr, 0)) {
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    ip_mreq membership{};
    membership.imr_multiaddr.s_addr = ::inet_addr(LIBORVANIOT_OS_NET_MULTICAST_GROUP);
    membership.imr_interface.s_addr = if_addr;
    if (!set_option(*sock, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership)) {
        liborvaniot_os_debug_printf(kInitCaller, __LINE__,
                                    "(%s:%d) probe client setsockopt IP_ADD_MEMBERSHIP, error !!\n", text,
                                    port);
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    // Without this a multi-homed host sends every channel's probe through the default route's
    // interface, so the other networks would never be asked.
    in_addr outgoing{};
    outgoing.s_addr = if_addr;
    if (!set_option(*sock, IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof outgoing)) {
        liborvaniot_os_debug_printf(
            kInitCaller, __LINE__, "(%s:%d) probe client setsockopt IP_MULTICAST_IF, error !!\n", text, port);
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    return 0;
}

int32_t liborvaniot_os_net_unicast_client_init(liborvaniot_os_socket* sock) {
    // The socket table keeps this pointer for its leak report: it must outlive the call.
    static constexpr char kCaller[] = "liborvaniot_os_net_unicast_client_init";
    if (*sock != LIBORVANIOT_OS_INVALID_SOCKET) {
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    *sock = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, kCaller, __LINE__);
    if (*sock == LIBORVANIOT_OS_INVALID_SOCKET) {
        liborvaniot_os_debug_printf(kCaller, __LINE__, "unicast probe socket open, error !!\n");
        return 1;
    }
    const int receive_buffer = LIBORVANIOT_OS_NET_RECEIVE_BUFFER;
    if (!set_option(*sock, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer)) {
        liborvaniot_os_debug_printf(kCaller, __LINE__, "unicast probe socket setsockopt SO_RCVBUF, error !!\n");
    }
    if (!liborvaniot_os_socket_calls::bind(*sock, 0, 0)) {
        liborvaniot_os_debug_printf(kCaller, __LINE__, "unicast probe socket bind, error !!\n");
        liborvaniot_os_socket_debug_close(sock);
        return 1;
    }
    // A swept network has hosts without a listener on the port; their refusals must not cut short
    // the reading of the answers that follow them.
    if (liborvaniot_os_socket_calls::ignore_port_unreachable(*sock) != 0) {
        liborvaniot_os_debug_printf(kCaller, __LINE__, "unicast probe socket port-unreachable reports, error !!\n");
    }
    return 0;
}

void liborvaniot_os_net_multicast_client_open_all(liborvaniot_os_net_channel_table* table,
                                                  uint16_t probe_port,
                                                  const std::atomic<uint32_t>* extra_if_addr) {
    for (auto& channel : table->channels) channel.sock = LIBORVANIOT_OS_INVALID_SOCKET;
    open_table_rows(table, probe_port);
    open_extra_interface(table, probe_port, extra_if_addr);
}

int32_t liborvaniot_os_net_multicast_client_sync(liborvaniot_os_net_channel_table* table,
                                                 uint16_t probe_port, uint32_t extra_if_addr) {
    uint32_t rows[LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS];
    int32_t row_count = 0;
    const bool table_read =
        liborvaniot_os_net_read_address_table(rows, LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS, &row_count) == 0;
    if (!table_read) row_count = 0;

    uint32_t wanted[LIBORVANIOT_OS_NET_MAX_CHANNELS];
    int32_t wanted_count = 0;
    // Interfaces the program left out are not wanted, so they count neither as missing nor as kept.
    for (int32_t i = 0; i < row_count && wanted_count < LIBORVANIOT_OS_NET_MAX_CHANNELS; ++i) {
        if (usable_row(rows[i]) && liborvaniot_os_net_channel_selected(rows[i]) != 0 &&
            !contains(wanted, wanted_count, rows[i])) {
            wanted[wanted_count++] = rows[i];
        }
    }
    // The extra address may be too new for the table read a moment ago.
    if (extra_if_addr != 0 && wanted_count < LIBORVANIOT_OS_NET_MAX_CHANNELS &&
        liborvaniot_os_net_channel_selected(extra_if_addr) != 0 && !contains(wanted, wanted_count, extra_if_addr)) {
        wanted[wanted_count++] = extra_if_addr;
    }

    keep_wanted_channels(table, wanted, wanted_count, probe_port, table_read);
    int32_t missing = 0;
    for (int32_t i = 0; i < wanted_count; ++i) {
        if (!has_channel(table, wanted[i]) && !append_channel(table, wanted[i], probe_port)) ++missing;
    }
    return missing;
}

int32_t liborvaniot_os_net_read_address_table(uint32_t* rows, int32_t capacity, int32_t* count) {
    std::vector<liborvaniot_os_host_address> addresses;
    if (!liborvaniot_os_read_host_addresses(&addresses)) return 1;
    if (addresses.size() > static_cast<size_t>(capacity < 0 ? 0 : capacity)) return 1;
    int32_t n = 0;
    for (const auto& row : addresses) rows[n++] = row.address;
    *count = n;
    return 0;
}
