// Probe client: the listener thread owns the channel sockets and the group receiver, sends a probe
// burst when a scan is requested, and turns every datagram that arrives into reports for the
// registered probe callback. The owner's thread only writes settings, starts, requests and stops.
#include "liborvaniot_drm_client/libdrm_client_probe.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_group.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

constexpr char kSourcePath[] = "liborvaniot_drm_client/Linux/src/drm_client_func/libdrm_client_probe";
constexpr char kRoutine[] = "libdrm_client_probe_listen_thread_routine";

constexpr uint32_t kPassSleepMs = 1;
constexpr uint32_t kReopenPauseMs = 1000;
constexpr int32_t kWaitMs = 10;
constexpr uint32_t kSendPauseMs = 1;
// A scan whose burst could not go out for longer than this many whole seconds is given up.
constexpr int64_t kScanGiveUpSeconds = 3;
constexpr int64_t kResendSeconds = 1;

// Channel sockets plus the group receiver.
constexpr int32_t kMaxSockets = LIBORVANIOT_OS_NET_MAX_CHANNELS + 1;

// The client context: zeroed by every start, then touched only by the listener thread, except for
// the lock, which also serialises the owner's scan requests.
struct drm_probe_client {
    struct_plock lock;
    int32_t lock_ready = 0;
    int32_t reopen = 0;
    liborvaniot_os_net_channel_table channels;
    // Bound to the discovery port itself: announcements sent to the group arrive here, while the
    // channels, bound to ports of their own, receive only the answers to their probes.
    liborvaniot_os_socket group_sock = LIBORVANIOT_OS_INVALID_SOCKET;
    drm_probe_device record{};
};

drm_probe_client client;
liborvaniot_os_sys_thread listener;
std::atomic<int32_t> started{0};
// Written only under the context lock; atomic so that it can also be read without it.
std::atomic<int32_t> scan_state{LIBDRM_CLIENT_SCAN_IDLE};
std::atomic<int32_t> open_channel_count{0};

std::atomic<uint16_t> probe_port{0};
std::atomic<uint32_t> extra_if_addr{0};
std::atomic<int32_t> receive_batch{LIBDRM_CLIENT_RECEIVE_BATCH};

// Listener thread only: the document buffer of every parse (one datagram plus its terminator) and
// the table that owns the parsed nodes.
char receive_buffer[LIBDRM_CLIENT_MAX_DATAGRAM + 1];
drm_xml_node_table node_table{};

int64_t whole_seconds_between(const liborvaniot_os_timeval& from, const liborvaniot_os_timeval& to) {
    int64_t seconds = static_cast<int64_t>(to.tv_sec) - from.tv_sec;
    if (to.tv_usec < from.tv_usec) --seconds;
    return seconds;
}

void close_sockets(drm_probe_client* c) {
    for (int32_t i = 0; i < c->channels.count; ++i)
        liborvaniot_os_socket_debug_close(&c->channels.channels[i].sock);
    c->channels.count = 0;
    liborvaniot_os_socket_debug_close(&c->group_sock);
    open_channel_count.store(0);
}

void open_sockets(drm_probe_client* c, uint16_t port) {
    close_sockets(c);
    liborvaniot_os_sleep_unless_stopped(kReopenPauseMs);
    liborvaniot_os_net_multicast_client_open_all(&c->channels, port, &extra_if_addr);

    uint32_t interfaces[LIBORVANIOT_OS_NET_MAX_CHANNELS];
    int32_t interface_count = 0;
    for (int32_t i = 0; i < c->channels.count; ++i) {
        const liborvaniot_os_net_channel& channel = c->channels.channels[i];
        if (channel.sock == LIBORVANIOT_OS_INVALID_SOCKET) continue;
        // Answers come in bursts. Where the system caps the requested buffer size, a process with
        // network administration rights is still granted it; others keep the capped size.
        liborvaniot_os_net_force_receive_buffer(channel.sock, LIBORVANIOT_OS_NET_RECEIVE_BUFFER);
        interfaces[interface_count++] = channel.if_addr;
    }
    // Without it no announcement is heard, but answers to probes still are: not a reason to fail.
    if (interface_count > 0) {
        liborvaniot_os_net_group_receiver_open(port, interfaces, interface_count, &c->group_sock);
    }
    open_channel_count.store(c->channels.count);
}

void read_datagram(drm_probe_client* c, int32_t length, const sockaddr_in& sender) {
    receive_buffer[length] = '\0';
    drm_xml_node* root = drm_xml_parse(&node_table, receive_buffer, length);
    if (root == nullptr) return;
    drm_probe_device_prepare(&c->record, sender);
    drm_probe_envelope_read(root, &c->record);
    drm_xml_node_detach(root);
}

// Reads what the socket holds, up to the batch: answers arrive in bursts, and whatever is left
// waiting when the system's buffer fills up is lost.
void drain_socket(drm_probe_client* c, liborvaniot_os_socket sock) {
    const int32_t batch = std::max(1, receive_batch.load(std::memory_order_relaxed));
    for (int32_t i = 0; i < batch; ++i) {
        sockaddr_in sender{};
        const int32_t n =
            liborvaniot_os_net_recv_datagram(sock, receive_buffer, LIBDRM_CLIENT_MAX_DATAGRAM, &sender);
        if (n == LIBORVANIOT_OS_NET_WOULD_BLOCK || n == -1) return;
        // Empty and over-long datagrams are dropped; the next one may be fine.
        if (n <= 0) continue;
        read_datagram(c, n, sender);
    }
}

void send_burst(drm_probe_client* c, char* send_buffer, uint16_t port, const uint8_t* writable) {
    uint32_t group = 0;
    unsigned char group_bytes[4] = {};
    liborvaniot_os_net_inet_pton4(LIBORVANIOT_OS_NET_MULTICAST_GROUP, group_bytes);
    std::memcpy(&group, group_bytes, sizeof group);
    for (int32_t i = 0; i < c->channels.count; ++i) {
        liborvaniot_os_net_channel& channel = c->channels.channels[i];
        if (channel.sock == LIBORVANIOT_OS_INVALID_SOCKET || writable[i] == 0) continue;
        char uuid[DRM_PROBE_UUID_SIZE];
        drm_probe_uuid_make(uuid);
        const int32_t length = drm_probe_text_format(send_buffer, DRM_PROBE_SEND_BUFFER_SIZE, uuid);
        const int32_t sent = length < 0
                                 ? -1
                                 : liborvaniot_os_net_send_to(channel.sock, send_buffer,
                                                              static_cast<size_t>(length), group, port);
        if (sent != length) {
            // The interface may have gone; every channel is opened afresh at the next pass.
            liborvaniot_os_socket_debug_close(&channel.sock);
            c->reopen = 1;
        }
        liborvaniot_os_sleep_ms(kSendPauseMs);
    }
}

// Scan bookkeeping of the listener between passes.
struct scan_timing {
    liborvaniot_os_timeval start{};
    liborvaniot_os_timeval last_send{};
    bool send = false;
};

void update_scan(drm_probe_client* c, scan_timing* timing) {
    int32_t state = LIBDRM_CLIENT_SCAN_IDLE;
    {
        plock_guard held(c->lock, kRoutine, __LINE__);
        if (scan_state.load() == LIBDRM_CLIENT_SCAN_REQUESTED) {
            liborvaniot_os_gettimeofday(&timing->start);
            scan_state.store(LIBDRM_CLIENT_SCAN_RUNNING);
            timing->last_send = liborvaniot_os_timeval{0, 0};
        }
        state = scan_state.load();
    }
    if (state != LIBDRM_CLIENT_SCAN_RUNNING) return;
    liborvaniot_os_timeval now{};
    liborvaniot_os_gettimeofday(&now);
    if (whole_seconds_between(timing->start, now) > kScanGiveUpSeconds) {
        plock_guard held(c->lock, kRoutine, __LINE__);
        // A request made meanwhile starts a new scan rather than being given up with this one.
        if (scan_state.load() == LIBDRM_CLIENT_SCAN_RUNNING) scan_state.store(LIBDRM_CLIENT_SCAN_IDLE);
        timing->send = false;
    } else if (whole_seconds_between(timing->last_send, now) >= kResendSeconds) {
        timing->send = true;
    }
}

void finish_burst(drm_probe_client* c, scan_timing* timing) {
    liborvaniot_os_gettimeofday(&timing->last_send);
    {
        plock_guard held(c->lock, kRoutine, __LINE__);
        // Requests made while the burst went out are answered by it.
        scan_state.store(LIBDRM_CLIENT_SCAN_IDLE);
    }
    timing->send = false;
}

// One pass after the pause and the run check: open channels when due, advance the scan, wait for
// the sockets, receive, send.
void listen_pass(drm_probe_client* c, char* send_buffer, scan_timing* timing) {
    const uint16_t port = probe_port.load();
    if (port == 0) return;
    if (c->reopen == 1) {
        open_sockets(c, port);
        c->reopen = 0;
    }
    update_scan(c, timing);

    // Index i < channel count is channel i; the group receiver, when open, comes last.
    liborvaniot_os_socket socks[kMaxSockets];
    int32_t sock_count = 0;
    bool any_channel = false;
    for (int32_t i = 0; i < c->channels.count; ++i) {
        socks[sock_count++] = c->channels.channels[i].sock;
        any_channel = any_channel || c->channels.channels[i].sock != LIBORVANIOT_OS_INVALID_SOCKET;
    }
    const int32_t channel_socks = sock_count;
    if (!any_channel) return;
    socks[sock_count++] = c->group_sock;

    uint8_t readable[kMaxSockets] = {};
    uint8_t writable[kMaxSockets] = {};
    int32_t ready = 0;
    if (timing->send) {
        ready +=
            std::max(0, liborvaniot_os_net_wait(socks, channel_socks, liborvaniot_os_net_wait_for::writable,
                                                kWaitMs, writable));
        ready += std::max(0, liborvaniot_os_net_wait(socks, sock_count, liborvaniot_os_net_wait_for::readable,
                                                     0, readable));
    } else {
        ready += std::max(0, liborvaniot_os_net_wait(socks, sock_count, liborvaniot_os_net_wait_for::readable,
                                                     kWaitMs, readable));
    }
    if (ready == 0) return;

    for (int32_t i = 0; i < sock_count; ++i) {
        if (readable[i] != 0 && socks[i] != LIBORVANIOT_OS_INVALID_SOCKET) drain_socket(c, socks[i]);
    }
    if (timing->send) {
        send_burst(c, send_buffer, port, writable);
        finish_burst(c, timing);
    }
}

}  // namespace

void liborvaniot_drm_client_probe_set_port(uint16_t port) {
    probe_port.store(port);
}

uint16_t liborvaniot_drm_client_probe_port() {
    return probe_port.load();
}

void liborvaniot_drm_client_probe_set_callback(drm_probe_callback callback,
                                               drm_probe_add_entry_hook add_entry, void* user_data) {
    drm_probe_register(callback, add_entry, user_data);
}

void liborvaniot_drm_client_probe_set_extra_interface(uint32_t address) {
    extra_if_addr.store(address);
}

uint32_t liborvaniot_drm_client_probe_extra_interface() {
    return extra_if_addr.load();
}

void libdrm_client_probe_set_receive_batch(int32_t datagrams) {
    receive_batch.store(std::max(1, datagrams));
}

int32_t liborvaniot_drm_client_probe_listen_start() {
    if (started.load() == 1) return 0;
    client = drm_probe_client{};
    // A request left over from an earlier listener is not a request to this one.
    scan_state.store(LIBDRM_CLIENT_SCAN_IDLE);
    if (liborvaniot_os_mutex_struct_plock_init(&client.lock, "liborvaniot_drm_client_probe_listen_start",
                                               __LINE__) != 0) {
        return 1;
    }
    client.lock_ready = 1;
    listener.routine = libdrm_client_probe_listen_thread_routine;
    listener.arg = &client;
    listener.id.store(0);
    // A refusal is logged by the thread layer; the client then counts as started with nothing running,
    // and stop returns at once.
    liborvaniot_os_sys_thread_create(&listener);
    started.store(1);
    return 0;
}

int32_t liborvaniot_drm_client_probe_scan() {
    if (started.load() != 1 || client.lock_ready != 1) return 1;
    plock_guard held(client.lock, "liborvaniot_drm_client_probe_scan", __LINE__);
    scan_state.store(LIBDRM_CLIENT_SCAN_REQUESTED);
    return 0;
}

void liborvaniot_drm_client_probe_listen_stop() {
    if (started.load() != 1) return;
    listener.run.store(0);
    liborvaniot_os_sys_thread_wait_stopped(&listener);
    listener.id.store(0);
    if (client.lock_ready == 1) {
        liborvaniot_os_mutex_struct_plock_free(&client.lock, "liborvaniot_drm_client_probe_listen_stop",
                                               __LINE__);
        client.lock_ready = 0;
    }
    started.store(0);
}

int32_t liborvaniot_drm_client_probe_listen_is_started() {
    return started.load();
}

int32_t liborvaniot_drm_client_probe_scan_state() {
    return scan_state.load();
}

int32_t liborvaniot_drm_client_probe_channel_count() {
    return open_channel_count.load();
}

int libdrm_client_probe_listen_thread_routine(liborvaniot_os_sys_thread* thread) {
    auto* c = static_cast<drm_probe_client*>(thread->arg);
    drm_xml_node_table_create(&node_table, LIBDRM_CLIENT_NODE_CAPACITY);
    auto* send_buffer =
        static_cast<char*>(liborvaniot_os_mem_calloc(1, DRM_PROBE_SEND_BUFFER_SIZE, kSourcePath, __LINE__));
    if (send_buffer != nullptr) {
        c->reopen = 1;
        if (liborvaniot_os_stop_flag.load() == 0) {
            scan_timing timing;
            do {
                liborvaniot_os_sleep_ms(kPassSleepMs);
                if (thread->run.load() == 0) break;
                listen_pass(c, send_buffer, &timing);
            } while (liborvaniot_os_stop_flag.load() == 0);
        }
        close_sockets(c);
        liborvaniot_os_mem_dbg_free(send_buffer, kSourcePath, __LINE__);
    }
    drm_xml_node_table_release(&node_table);
    return 0;
}
