// Probe client: the listener thread owns the channel sockets and the group receiver, sends a probe
// burst when a scan is requested, and turns every datagram that arrives into reports for the
// registered probe callback. The owner's thread only writes settings, starts, requests and stops.
#include "liborvaniot_drm_client/libdrm_client_probe.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_sweep.h"
#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_group.h"
#include "liborvaniot_os/liborvaniot_os_net_watch.h"
#include "liborvaniot_os/liborvaniot_os_report_labels.h"
#include "liborvaniot_os/liborvaniot_os_stop.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

constexpr const char* kSourcePath = liborvaniot_os_report_labels::kProbeClient;
constexpr char kRoutine[] = "libdrm_client_probe_listen_thread_routine";

// The longest the listener waits for its sockets while a scan runs (its give-up is checked this
// often) and while none does. Scan requests, stops (of the listener or of the program) and changes
// of the host's addresses wake it at once.
constexpr int32_t kScanPassWaitMs = 100;
constexpr int32_t kIdlePassWaitMs = 1000;
// A probe that the socket cannot take at once waits this long for room before it counts as failed.
constexpr int32_t kSendWaitMs = 100;
constexpr uint32_t kSendPauseMs = 1;
// Time one pass may spend receiving: a host that floods one socket cannot hold up the others, a
// scan request or a stop for longer.
constexpr int64_t kReceiveBudgetUs = 20000;
// A scan whose burst could not go out for longer than this many whole seconds is given up.
constexpr int64_t kScanGiveUpSeconds = 3;
constexpr int64_t kResendSeconds = 1;

// What a process with network administration rights asks the system to hold for each channel:
// room for ten thousand answers arriving faster than a busy machine reads them. Others keep the
// ordinary size.
constexpr int32_t kForcedReceiveBuffer = 16 * 1024 * 1024;

// Unicast probes sent in one pass at most, so that answers are read between them at any rate.
constexpr uint64_t kSweepSendsPerPass = 64;

// Channel sockets, the group receiver, the unicast socket, the address watch, the wake-up and the
// stop descriptor.
constexpr int32_t kMaxSockets = LIBORVANIOT_OS_NET_MAX_CHANNELS + 5;

// The client context: made afresh by every start and ended by its stop, touched only by the
// listener thread in between, except for the lock, which serialises the owner's scan requests and
// targets with the listener's scan bookkeeping (every change of scan_state is made holding it), and
// what it guards.
struct drm_probe_client {
    drm_probe_client(const char* creator, const char* destroyer, int32_t line) : lock(creator, destroyer, line) {}

    tracked_lock lock;
    // 1 when the channels must be brought in line with the host's addresses at the next pass.
    int32_t reopen = 0;
    // 1 when some address could not be opened; it is tried again before the next burst.
    int32_t retry_before_burst = 0;
    liborvaniot_os_net_channel_table channels;
    // Bound to the discovery port itself: announcements sent to the group arrive here, while the
    // channels, bound to ports of their own, receive only the answers to their probes.
    liborvaniot_os_socket group_sock = LIBORVANIOT_OS_INVALID_SOCKET;
    uint16_t group_port = 0;
    uint32_t group_ifs[LIBORVANIOT_OS_NET_MAX_CHANNELS] = {};
    int32_t group_if_count = 0;
    // Readable when the host's addresses or links change.
    liborvaniot_os_socket address_watch = LIBORVANIOT_OS_INVALID_SOCKET;
    // Sends the probes to single addresses and receives their answers; opened at the first scan
    // that has targets and kept, so that late answers still arrive.
    liborvaniot_os_socket unicast_sock = LIBORVANIOT_OS_INVALID_SOCKET;
    // Written by the owner under the lock, taken over by each scan when it starts.
    std::vector<drm_probe_target_range> targets GUARDED_BY(lock);
    uint32_t target_rate GUARDED_BY(lock) = LIBDRM_CLIENT_SWEEP_RATE;
    drm_probe_sweep sweep;
    // The socket whose turn it is to be read first, so that a flooded one cannot starve the rest.
    int32_t first_reader = 0;
    // Reused from one datagram to the next: its bytes (with room for the terminator), the nodes
    // parsed from them (the table is made and released by the listener thread) and the record read
    // from those.
    char receive_buffer[LIBDRM_CLIENT_MAX_DATAGRAM + 1];
    drm_xml_node_table node_table{};
    drm_probe_device record{};
};

// Present from a start whose lock could be made until the stop. Never destroyed: a listener still
// running while the process exits keeps its context.
std::optional<drm_probe_client>& client = *new std::optional<drm_probe_client>();
liborvaniot_os_sys_thread listener;
std::atomic<int32_t> started{0};
// Changed only through set_scan_state, under the context lock; atomic so that it can also be read
// without it.
std::atomic<int32_t> scan_state{LIBDRM_CLIENT_SCAN_IDLE};

void set_scan_state(drm_probe_client* c, int32_t state) REQUIRES(c->lock) {
    scan_state.store(state);
}
std::atomic<int32_t> open_channel_count{0};
// Created by start and closed by stop on the owner's thread, so a signal never reaches a descriptor
// that has been closed or reused.
std::atomic<liborvaniot_os_socket> wakeup{LIBORVANIOT_OS_INVALID_SOCKET};
// Raised by the owner when a setting that decides the channels changed.
std::atomic<int32_t> settings_changed{0};

std::atomic<uint16_t> probe_port{0};
std::atomic<uint32_t> extra_if_addr{0};
std::atomic<int32_t> receive_batch{LIBDRM_CLIENT_RECEIVE_BATCH};
std::atomic<int32_t> multicast_enabled{1};
std::atomic<uint64_t> sweep_sent{0};
std::atomic<uint64_t> sweep_failed{0};

int64_t whole_seconds_between(const liborvaniot_os_timeval& from, const liborvaniot_os_timeval& to) {
    int64_t seconds = static_cast<int64_t>(to.tv_sec) - from.tv_sec;
    if (to.tv_usec < from.tv_usec) --seconds;
    return seconds;
}

int64_t now_us() {
    liborvaniot_os_timeval now{};
    liborvaniot_os_gettimeofday(&now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_usec;
}

void wake_listener() {
    liborvaniot_os_net_wakeup_signal(wakeup.load());
}

void close_sockets(drm_probe_client* c) {
    for (int32_t i = 0; i < c->channels.count; ++i)
        liborvaniot_os_socket_debug_close(&c->channels.channels[i].sock);
    c->channels.count = 0;
    liborvaniot_os_socket_debug_close(&c->group_sock);
    c->group_if_count = 0;
    liborvaniot_os_socket_debug_close(&c->unicast_sock);
    open_channel_count.store(0);
}

// Joins the group on the channels' interfaces that it has not joined yet; a new port (or a receiver
// that could not be opened before) opens it afresh.
void update_group_receiver(drm_probe_client* c, uint16_t port) {
    uint32_t interfaces[LIBORVANIOT_OS_NET_MAX_CHANNELS];
    int32_t interface_count = 0;
    for (int32_t i = 0; i < c->channels.count; ++i) interfaces[interface_count++] = c->channels.channels[i].if_addr;
    if (c->group_sock != LIBORVANIOT_OS_INVALID_SOCKET && c->group_port != port) {
        liborvaniot_os_socket_debug_close(&c->group_sock);
        c->group_if_count = 0;
    }
    // Without it no announcement is heard, but answers to probes still are: not a reason to fail.
    if (c->group_sock == LIBORVANIOT_OS_INVALID_SOCKET) {
        if (interface_count == 0 ||
            liborvaniot_os_net_group_receiver_open(port, interfaces, interface_count, &c->group_sock) != 0) {
            return;
        }
        c->group_port = port;
        c->group_if_count = 0;
    } else {
        uint32_t fresh[LIBORVANIOT_OS_NET_MAX_CHANNELS];
        int32_t fresh_count = 0;
        for (int32_t i = 0; i < interface_count; ++i) {
            const uint32_t* joined_end = c->group_ifs + c->group_if_count;
            if (std::find(static_cast<const uint32_t*>(c->group_ifs), joined_end, interfaces[i]) == joined_end) {
                fresh[fresh_count++] = interfaces[i];
            }
        }
        if (fresh_count == 0) return;
        liborvaniot_os_net_group_receiver_join(c->group_sock, port, fresh, fresh_count);
    }
    // Memberships of interfaces that went away lapse with them; the list only avoids joining twice.
    std::copy(interfaces, interfaces + interface_count, c->group_ifs);
    c->group_if_count = interface_count;
}

// Brings the channels in line with the host's addresses. Channels that stay keep their sockets, so
// no answer waiting in them is lost.
void sync_channels(drm_probe_client* c, uint16_t port) {
    const int32_t missing =
        liborvaniot_os_net_multicast_client_sync(&c->channels, port, extra_if_addr.load());
    for (int32_t i = 0; i < c->channels.count; ++i) {
        // Answers come in bursts. Where the system caps the requested buffer size, a process with
        // network administration rights is still granted more; others keep the capped size.
        liborvaniot_os_net_force_receive_buffer(c->channels.channels[i].sock, kForcedReceiveBuffer);
    }
    update_group_receiver(c, port);
    open_channel_count.store(c->channels.count);
    // An address that cannot be opened now is tried again when the host's addresses change and
    // before the next burst, not at every pass.
    c->retry_before_burst = missing > 0 ? 1 : 0;
    c->reopen = 0;
}

// Reads what the socket holds, up to the batch and the deadline: answers arrive in bursts, and
// whatever is left waiting when the system's buffer fills up is lost. arrival_if_addr: the address
// of the interface the socket receives on, 0 when it receives on several.
void drain_socket(drm_probe_client* c, liborvaniot_os_socket sock, uint32_t arrival_if_addr, int64_t deadline_us,
                  const liborvaniot_os_sys_thread* thread) {
    const int32_t batch = std::max(1, receive_batch.load(std::memory_order_relaxed));
    for (int32_t i = 0; i < batch; ++i) {
        if (i > 0 && (now_us() > deadline_us || thread->run.load(std::memory_order_relaxed) == 0)) return;
        drm_probe_origin origin{.arrival_if_addr = arrival_if_addr, .unicast = sock == c->unicast_sock};
        const int32_t n = liborvaniot_os_net_recv_datagram(sock, c->receive_buffer,
                                                           LIBDRM_CLIENT_MAX_DATAGRAM, &origin.sender);
        if (n == LIBORVANIOT_OS_NET_WOULD_BLOCK || n == -1) return;
        // Empty and over-long datagrams are dropped; the next one may be fine.
        if (n <= 0) continue;
        drm_probe_datagram_read(&c->node_table, c->receive_buffer, n, origin, &c->record);
    }
}

// Sends one probe; a socket without room is given a moment to make some.
bool send_probe(liborvaniot_os_socket sock, const char* probe, int32_t length, uint32_t group, uint16_t port) {
    int32_t sent = liborvaniot_os_net_send_to(sock, probe, static_cast<size_t>(length), group, port);
    if (sent == LIBORVANIOT_OS_NET_WOULD_BLOCK) {
        uint8_t writable = 0;
        if (liborvaniot_os_net_wait(&sock, 1, liborvaniot_os_net_wait_for::writable, kSendWaitMs, &writable) > 0) {
            sent = liborvaniot_os_net_send_to(sock, probe, static_cast<size_t>(length), group, port);
        }
    }
    return sent == length;
}

void send_burst(drm_probe_client* c, char* send_buffer, uint16_t port) {
    uint32_t group = 0;
    unsigned char group_bytes[4] = {};
    liborvaniot_os_net_inet_pton4(LIBORVANIOT_OS_NET_MULTICAST_GROUP, group_bytes);
    std::memcpy(&group, group_bytes, sizeof group);
    for (int32_t i = 0; i < c->channels.count; ++i) {
        liborvaniot_os_net_channel& channel = c->channels.channels[i];
        if (channel.sock == LIBORVANIOT_OS_INVALID_SOCKET) continue;
        char uuid[DRM_PROBE_UUID_SIZE];
        drm_probe_uuid_make(uuid);
        const int32_t length = drm_probe_text_format(send_buffer, DRM_PROBE_SEND_BUFFER_SIZE, uuid);
        if (length < 0 || !send_probe(channel.sock, send_buffer, length, group, port)) {
            char address[16];
            liborvaniot_os_net_format_address(channel.if_addr, address);
            liborvaniot_os_debug_printf(kRoutine, __LINE__, "%s probe send on %s,error !!\n", kRoutine, address);
            // The interface may have gone. Only this channel is opened afresh, at the next pass:
            // the others keep their sockets and the answers already on their way.
            liborvaniot_os_socket_debug_close(&channel.sock);
            c->reopen = 1;
        }
        liborvaniot_os_sleep_ms(kSendPauseMs);
    }
}

bool any_channel(const drm_probe_client* c) {
    for (int32_t i = 0; i < c->channels.count; ++i) {
        if (c->channels.channels[i].sock != LIBORVANIOT_OS_INVALID_SOCKET) return true;
    }
    return false;
}

// Scan bookkeeping of the listener between passes.
struct scan_timing {
    liborvaniot_os_timeval start{};
    liborvaniot_os_timeval last_send{};
    bool send = false;
    // The running scan's multicast burst has neither gone out nor been given up.
    bool burst_pending = false;
};

// Takes over the owner's targets for the scan that starts now.
void begin_sweep(drm_probe_client* c) REQUIRES(c->lock) {
    sweep_sent.store(0);
    sweep_failed.store(0);
    c->sweep.begin(c->targets, c->target_rate, now_us());
    if (c->sweep.done() || c->unicast_sock != LIBORVANIOT_OS_INVALID_SOCKET) return;
    if (liborvaniot_os_net_unicast_client_init(&c->unicast_sock) == 0) {
        liborvaniot_os_net_force_receive_buffer(c->unicast_sock, kForcedReceiveBuffer);
        return;
    }
    // Nothing can go out: every target counts as failed, and the scan does not wait for them.
    uint64_t targets = 0;
    for (const drm_probe_target_range& range : c->targets) targets += drm_probe_target_count(range);
    sweep_failed.store(targets);
    c->sweep.clear();
}

void update_scan(drm_probe_client* c, scan_timing* timing) {
    int32_t state = LIBDRM_CLIENT_SCAN_IDLE;
    {
        plock_guard held(c->lock, kRoutine, __LINE__);
        if (scan_state.load() == LIBDRM_CLIENT_SCAN_REQUESTED) {
            liborvaniot_os_gettimeofday(&timing->start);
            set_scan_state(c, LIBDRM_CLIENT_SCAN_RUNNING);
            timing->last_send = liborvaniot_os_timeval{0, 0};
            timing->burst_pending = multicast_enabled.load() != 0;
            timing->send = false;
            begin_sweep(c);
        }
        state = scan_state.load();
    }
    if (state != LIBDRM_CLIENT_SCAN_RUNNING || !timing->burst_pending) return;
    liborvaniot_os_timeval now{};
    liborvaniot_os_gettimeofday(&now);
    if (whole_seconds_between(timing->start, now) > kScanGiveUpSeconds) {
        bool given_up = false;
        {
            plock_guard held(c->lock, kRoutine, __LINE__);
            // A request made meanwhile starts a new scan rather than being given up with this one;
            // probes still due to single addresses keep the scan running until they are out.
            if (scan_state.load() == LIBDRM_CLIENT_SCAN_RUNNING) {
                if (c->sweep.done()) set_scan_state(c, LIBDRM_CLIENT_SCAN_IDLE);
                given_up = true;
            }
        }
        timing->send = false;
        timing->burst_pending = false;
        if (given_up) {
            liborvaniot_os_debug_printf(kRoutine, __LINE__, "%s scan given up, no channel to send on\n",
                                        kRoutine);
        }
    } else if (whole_seconds_between(timing->last_send, now) >= kResendSeconds) {
        timing->send = true;
    }
}

// Ends the running scan once its burst and its unicast probes are out.
void finish_scan_when_sent(drm_probe_client* c, const scan_timing& timing) {
    if (timing.burst_pending || !c->sweep.done() || scan_state.load() != LIBDRM_CLIENT_SCAN_RUNNING) return;
    plock_guard held(c->lock, kRoutine, __LINE__);
    // Requests made while the probes went out are answered by them.
    set_scan_state(c, LIBDRM_CLIENT_SCAN_IDLE);
}

void finish_burst(drm_probe_client* c, scan_timing* timing) {
    liborvaniot_os_gettimeofday(&timing->last_send);
    timing->send = false;
    timing->burst_pending = false;
    finish_scan_when_sent(c, *timing);
}

// Sends the unicast probes that are due now; a socket without room is tried again at the next
// pass, an address the system refuses (no route to it) is counted and passed over.
void send_sweep(drm_probe_client* c, char* send_buffer, uint16_t port, const scan_timing& timing) {
    if (scan_state.load() != LIBDRM_CLIENT_SCAN_RUNNING) return;
    const int64_t now = now_us();
    const uint64_t due = std::min(c->sweep.due(now), kSweepSendsPerPass);
    for (uint64_t i = 0; i < due; ++i) {
        char uuid[DRM_PROBE_UUID_SIZE];
        drm_probe_uuid_make(uuid);
        const int32_t length = drm_probe_text_format(send_buffer, DRM_PROBE_SEND_BUFFER_SIZE, uuid);
        if (length < 0) break;
        const uint32_t address = drm_probe_target_network_order(c->sweep.next());
        const int32_t sent =
            liborvaniot_os_net_send_to(c->unicast_sock, send_buffer, static_cast<size_t>(length), address, port);
        // A probe the socket has no room for now is sent at the next pass, not skipped.
        if (sent == LIBORVANIOT_OS_NET_WOULD_BLOCK) break;
        c->sweep.advance(now);
        if (sent == length) {
            sweep_sent.fetch_add(1);
            continue;
        }
        // One line for the first refusal of a scan; the count tells the rest.
        if (sweep_failed.fetch_add(1) == 0) {
            char text[16];
            liborvaniot_os_net_format_address(address, text);
            liborvaniot_os_debug_printf(kRoutine, __LINE__, "%s probe send to %s,error !!\n", kRoutine, text);
        }
    }
    finish_scan_when_sent(c, timing);
}

// Reads the ready sockets in turn, starting with a different one each pass, within the budget.
void receive_ready(drm_probe_client* c, const liborvaniot_os_socket* socks, const uint8_t* readable,
                   int32_t count, const liborvaniot_os_sys_thread* thread) {
    if (count == 0) return;
    const int64_t deadline_us = now_us() + kReceiveBudgetUs;
    const int32_t first = c->first_reader % count;
    c->first_reader = first + 1;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t i = (first + k) % count;
        if (readable[i] == 0 || socks[i] == LIBORVANIOT_OS_INVALID_SOCKET) continue;
        if (k > 0 && now_us() > deadline_us) return;
        // A channel's socket is bound to its interface's address; the group receiver listens on all.
        const uint32_t arrival_if_addr = i < c->channels.count ? c->channels.channels[i].if_addr : 0;
        drain_socket(c, socks[i], arrival_if_addr, deadline_us, thread);
    }
}

// One pass: bring the channels up to date when due, advance the scan and send its burst, then wait
// for the sockets (or a wake-up) and receive.
void listen_pass(drm_probe_client* c, char* send_buffer, scan_timing* timing,
                 const liborvaniot_os_sys_thread* thread) {
    const uint16_t port = probe_port.load();
    if (liborvaniot_os_net_address_watch_drain(c->address_watch) != 0) c->reopen = 1;
    if (settings_changed.exchange(0) != 0) c->reopen = 1;
    if (port != 0) {
        if (c->reopen == 1) sync_channels(c, port);
        update_scan(c, timing);
        if (timing->send && any_channel(c)) {
            if (c->retry_before_burst == 1) sync_channels(c, port);
            send_burst(c, send_buffer, port);
            finish_burst(c, timing);
        }
        send_sweep(c, send_buffer, port, *timing);
    }

    // Index i < channel count is channel i; then the group receiver, the watch, the wake-up and the
    // stop descriptor (only waited for, never read).
    liborvaniot_os_socket socks[kMaxSockets];
    int32_t sock_count = 0;
    if (port != 0) {
        for (int32_t i = 0; i < c->channels.count; ++i) socks[sock_count++] = c->channels.channels[i].sock;
        socks[sock_count++] = c->group_sock;
        socks[sock_count++] = c->unicast_sock;
    }
    const int32_t datagram_socks = sock_count;
    socks[sock_count++] = c->address_watch;
    const int32_t wakeup_index = sock_count;
    socks[sock_count++] = wakeup.load();
    // A readable stop descriptor with the flag down is stale: waiting on it would spin.
    liborvaniot_os_stop_descriptor_settle();
    socks[sock_count++] = liborvaniot_os_stop_descriptor();

    int32_t wait_ms = scan_state.load() == LIBDRM_CLIENT_SCAN_IDLE ? kIdlePassWaitMs : kScanPassWaitMs;
    if (const int64_t sweep_wait_us = c->sweep.wait_us(now_us()); port != 0 && sweep_wait_us >= 0) {
        // Woken for the next unicast probe; a whole millisecond at least, so that a fast rate sends
        // several per pass instead of spinning.
        wait_ms = static_cast<int32_t>(std::clamp<int64_t>((sweep_wait_us + 999) / 1000, 1, wait_ms));
    }
    uint8_t readable[kMaxSockets] = {};
    if (liborvaniot_os_net_wait(socks, sock_count, liborvaniot_os_net_wait_for::readable, wait_ms, readable) <= 0) {
        return;
    }
    if (readable[wakeup_index] != 0) liborvaniot_os_net_wakeup_drain(socks[wakeup_index]);
    receive_ready(c, socks, readable, datagram_socks, thread);
}

}  // namespace

void liborvaniot_drm_client_probe_set_port(uint16_t port) {
    if (probe_port.exchange(port) == port) return;
    settings_changed.store(1);
    wake_listener();
}

uint16_t liborvaniot_drm_client_probe_port() {
    return probe_port.load();
}

void liborvaniot_drm_client_probe_set_callback(drm_probe_callback callback,
                                               drm_probe_add_entry_hook add_entry, void* user_data) {
    drm_probe_register(callback, add_entry, user_data);
}

void liborvaniot_drm_client_probe_set_extra_interface(uint32_t address) {
    if (extra_if_addr.exchange(address) == address) return;
    settings_changed.store(1);
    wake_listener();
}

uint32_t liborvaniot_drm_client_probe_extra_interface() {
    return extra_if_addr.load();
}

void libdrm_client_probe_set_receive_batch(int32_t datagrams) {
    receive_batch.store(std::max(1, datagrams));
}

int32_t liborvaniot_drm_client_probe_listen_start() {
    if (started.load() == 1) return 0;
    // A request left over from an earlier listener is not a request to this one; no listener runs,
    // so nobody else changes the state meanwhile.
    scan_state.store(LIBDRM_CLIENT_SCAN_IDLE);
    client.emplace("liborvaniot_drm_client_probe_listen_start", "liborvaniot_drm_client_probe_listen_stop",
                   __LINE__);
    if (!client->lock.exists()) {
        client.reset();
        return 1;
    }
    // Without it the listener still works, only later: it then notices requests at its next pass.
    liborvaniot_os_socket fresh_wakeup = LIBORVANIOT_OS_INVALID_SOCKET;
    liborvaniot_os_net_wakeup_open(&fresh_wakeup);
    wakeup.store(fresh_wakeup);
    listener.routine = libdrm_client_probe_listen_thread_routine;
    listener.arg = &*client;
    listener.id.store(0);
    // A refusal is logged by the thread layer; the client then counts as started with nothing running,
    // and stop returns at once.
    liborvaniot_os_sys_thread_create(&listener);
    started.store(1);
    return 0;
}

int32_t liborvaniot_drm_client_probe_set_targets(std::span<const drm_probe_target_range> ranges, uint32_t rate) {
    if (started.load() != 1 || !client.has_value()) return 1;
    drm_probe_client* c = &*client;
    plock_guard held(c->lock, "liborvaniot_drm_client_probe_set_targets", __LINE__);
    c->targets.assign(ranges.begin(), ranges.end());
    c->target_rate = rate == 0 ? LIBDRM_CLIENT_SWEEP_RATE : rate;
    return 0;
}

void liborvaniot_drm_client_probe_set_multicast(int32_t enabled) {
    multicast_enabled.store(enabled != 0 ? 1 : 0);
}

uint64_t liborvaniot_drm_client_probe_sweep_sent() {
    return sweep_sent.load();
}

uint64_t liborvaniot_drm_client_probe_sweep_failed() {
    return sweep_failed.load();
}

int32_t liborvaniot_drm_client_probe_scan() {
    if (started.load() != 1 || !client.has_value()) return 1;
    {
        drm_probe_client* c = &*client;
        plock_guard held(c->lock, "liborvaniot_drm_client_probe_scan", __LINE__);
        set_scan_state(c, LIBDRM_CLIENT_SCAN_REQUESTED);
    }
    wake_listener();
    return 0;
}

void liborvaniot_drm_client_probe_listen_stop() {
    if (started.load() != 1) return;
    listener.run.store(0);
    wake_listener();
    liborvaniot_os_sys_thread_wait_stopped(&listener);
    listener.id.store(0);
    liborvaniot_os_socket stale_wakeup = wakeup.exchange(LIBORVANIOT_OS_INVALID_SOCKET);
    liborvaniot_os_net_descriptor_close(&stale_wakeup);
    // The listener has ended: its context, and with it the lock, goes.
    client.reset();
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
    drm_xml_node_table_create(&c->node_table, LIBDRM_CLIENT_NODE_CAPACITY);
    auto* send_buffer =
        static_cast<char*>(liborvaniot_os_mem_calloc(1, DRM_PROBE_SEND_BUFFER_SIZE, kSourcePath, __LINE__));
    if (send_buffer != nullptr) {
        c->reopen = 1;
        // Without the watch, channels are still brought up to date after a failed send.
        liborvaniot_os_net_address_watch_open(&c->address_watch);
        if (liborvaniot_os_stop_flag.load() == 0) {
            scan_timing timing;
            while (thread->run.load() != 0) {
                listen_pass(c, send_buffer, &timing, thread);
                if (liborvaniot_os_stop_flag.load() != 0) break;
            }
        }
        close_sockets(c);
        liborvaniot_os_net_descriptor_close(&c->address_watch);
        liborvaniot_os_mem_dbg_free(send_buffer, kSourcePath, __LINE__);
    }
    drm_xml_node_table_release(&c->node_table);
    return 0;
}
