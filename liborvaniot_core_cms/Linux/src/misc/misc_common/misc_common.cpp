// Link-local addressing: publish an existing 169.254.0.0/16 address, or (with administrator rights)
// pick a random one that no host answers on and add it for the run.
#include "liborvaniot_core_cms/misc_common.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

// The network the address serves, routed through it; the address itself is a /32 of its own.
constexpr uint8_t kNetworkPrefixLength = 16;
constexpr uint32_t kLinkLocalNetwork = 0xA9FE0000u;  // host byte order
constexpr int32_t kPickSeconds = 10;
constexpr int kProbesPerCandidate = 3;
constexpr int kAnswerPolls = 6;
constexpr uint32_t kPollMs = 100;
constexpr size_t kEchoSize = 40;
constexpr size_t kMaxAnswer = 255;
constexpr char kEchoData[] = "abcdefghijklmnopqrstuvwabcdefghi";
static_assert(sizeof kEchoData - 1 == kEchoSize - 8);

// After an add that found no free address (or no link to put it on), the next attempt waits this
// long, so a host without a usable link is not probed without end.
constexpr int32_t kAddRetrySeconds = 30;

// Written by the core's thread (start, stop, the core loop's refresh), read by any thread: the text
// under published_mutex, the rest as atomics. The generation rises with every change of what is
// published, so readers can tell that the address came, went or changed.
std::mutex published_mutex;
char link_local_text[16];
std::atomic<int32_t> link_local_present{0};
std::atomic<uint32_t> added_address{0};
std::atomic<uint32_t> published_address{0};
std::atomic<uint32_t> published_generation{0};
void (*change_listener)(void*) = nullptr;  // under published_mutex
void* change_listener_data = nullptr;

// What the add returned; if_index 0 means nothing was added. Touched only by the core's thread.
liborvaniot_os_net_owned_address owned;
std::atomic<bool> renew_failure_reported{false};
liborvaniot_os_socket probe_socket = LIBORVANIOT_OS_INVALID_SOCKET;
bool last_add_failed = false;
// Set by the set-up at core start: the refresh looks after the address only from then on.
std::atomic<bool> set_up{false};
liborvaniot_os_timeval last_add_attempt{};

// Draws the two varying bytes of a candidate from the system's random source, so that hosts started
// together try different addresses and nobody can tell in advance which.
bool system_random_candidate(uint8_t bytes[2], void*) {
    return liborvaniot_os_random_bytes(bytes, 2) == 0;
}
bool (*candidate_source)(uint8_t bytes[2], void* data) = system_random_candidate;
void* candidate_source_data = nullptr;

bool stopping() {
    return liborvaniot_os_stop_flag.load() != 0;
}

// RFC 1071 over big-endian 16-bit words.
uint16_t internet_checksum(const uint8_t* data, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2) sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    if (length % 2 != 0) sum += static_cast<uint32_t>(data[length - 1] << 8);
    while ((sum >> 16) != 0) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

void build_echo_request(uint8_t* message) {
    std::memset(message, 0, kEchoSize);
    message[0] = 8;  // echo request; code, identifier and sequence stay 0
    std::memcpy(message + 8, kEchoData, kEchoSize - 8);
    const uint16_t checksum = internet_checksum(message, kEchoSize);
    message[2] = static_cast<uint8_t>(checksum >> 8);
    message[3] = static_cast<uint8_t>(checksum & 0xFF);
}

bool candidate_address(uint32_t* address) {
    unsigned char bytes[4];
    if (liborvaniot_os_net_inet_pton4(link_local_text, bytes) != 0) return false;
    std::memcpy(address, bytes, sizeof bytes);
    return true;
}

// Seconds since start, counting only whole seconds that have fully passed.
int32_t whole_seconds_since(const liborvaniot_os_timeval& start) {
    liborvaniot_os_timeval now{};
    liborvaniot_os_gettimeofday(&now);
    return now.tv_sec - start.tv_sec - (now.tv_usec < start.tv_usec ? 1 : 0);
}

void set_text(const char* text) {
    std::lock_guard<std::mutex> held(published_mutex);
    std::snprintf(link_local_text, sizeof link_local_text, "%s", text);
}

// Makes the address (or none, for 0) the published one and tells the listener.
void publish(uint32_t address, uint32_t added) {
    std::lock_guard<std::mutex> held(published_mutex);
    if (address != 0) liborvaniot_os_net_format_address(address, link_local_text);
    published_address = address;
    added_address = added;
    link_local_present = address != 0 ? 1 : 0;
    ++published_generation;
    if (change_listener != nullptr) change_listener(change_listener_data);
}

void clear_published() {
    set_text("");
    link_local_present = 0;
    added_address = 0;
    published_address = 0;
    owned = liborvaniot_os_net_owned_address{};
    renew_failure_reported = false;
    last_add_failed = false;
}

// Publishes an address some adapter already holds: 1 when there was one.
int32_t adopt_existing() {
    const uint32_t existing = liborvaniot_os_net_find_link_local();
    if (existing == 0) return 0;
    publish(existing, 0);
    return 1;
}

}  // namespace

void misc_common_link_local_address_setup() {
    clear_published();
    set_up = true;
    const bool admin = liborvaniot_os_net_has_admin_rights() != 0;
    // A run that was killed could not remove its address. Drop it before looking for an existing
    // one, or it would be published as an adapter's own address and then expire under us. An
    // address that another running finder renews is left to it and used like any existing one.
    if (admin) liborvaniot_os_net_addr_delete_orphaned(MISC_COMMON_LINK_LOCAL_LABEL_SUFFIX);
    // Searching for a free address takes seconds of probing; the core loop does it from its first
    // turn on (misc_common_link_local_address_refresh), so the window need not wait for it.
    adopt_existing();
}

int32_t misc_common_link_local_address_add() {
    liborvaniot_os_gettimeofday(&last_add_attempt);
    last_add_failed = true;
    probe_socket = liborvaniot_os_socket_debug_open(SOCK_RAW, IPPROTO_ICMP,
                                                    "misc_common_link_local_address_add", __LINE__);
    if (probe_socket == LIBORVANIOT_OS_INVALID_SOCKET) return -1;
    int32_t result = 1;
    liborvaniot_os_net_interface rows[LIBORVANIOT_OS_NET_MAX_INTERFACES];
    int32_t count = 0;
    if (liborvaniot_os_net_read_interfaces(rows, LIBORVANIOT_OS_NET_MAX_INTERFACES, &count) == 0) {
        // Loopback usually comes first; an address there reaches nobody.
        const int32_t chosen = liborvaniot_os_net_pick_link_interface(rows, count);
        if (chosen >= 0) {
            // The host normally has no route to 169.254.0.0/16 yet: unbound, every echo request would
            // fail to leave and every candidate would look free. Bound, it goes out on this link.
            result = liborvaniot_os_net_bind_to_interface(probe_socket, rows[chosen].index);
            if (result == 0) result = misc_common_link_local_address_pick(rows[chosen].index);
        }
    }
    liborvaniot_os_socket_debug_close(&probe_socket);
    return result;
}

int32_t misc_common_link_local_address_pick(uint32_t if_index) {
    liborvaniot_os_timeval start{};
    liborvaniot_os_gettimeofday(&start);
    int32_t last_error = ETIMEDOUT;
    for (;;) {
        // A stop request ends the search: nothing is added for a program that is going away.
        if (stopping()) return EINTR;
        if (whole_seconds_since(start) > kPickSeconds) return last_error;
        uint8_t drawn[2];
        if (!candidate_source(drawn, candidate_source_data)) return EIO;
        const unsigned b = drawn[0];
        const unsigned c = drawn[1];
        if ((b == 0 && c == 0) || (b == 255 && c == 255)) continue;
        liborvaniot_os_sleep_ms(1);
        if (stopping()) continue;
        char candidate_text[16];
        std::snprintf(candidate_text, sizeof candidate_text, "%u.%u.%u.%u", 169u, 254u, b, c);
        set_text(candidate_text);

        bool in_use = false;
        int32_t answers = 0;
        for (int probe = 0; probe < kProbesPerCandidate && !stopping(); ++probe) {
            if (misc_common_link_local_echo_probe(&answers) == 0) {
                in_use = true;
                break;
            }
            liborvaniot_os_sleep_ms(kPollMs);
        }
        if (in_use || stopping()) continue;

        uint32_t candidate = 0;
        if (!candidate_address(&candidate)) continue;
        liborvaniot_os_net_owned_address added;
        int32_t error = liborvaniot_os_net_addr_add(if_index, candidate, LIBORVANIOT_OS_NET_OWN_PREFIX_LENGTH,
                                                    MISC_COMMON_LINK_LOCAL_LABEL_SUFFIX,
                                                    MISC_COMMON_LINK_LOCAL_LIFETIME_S, &added);
        if (error == 0) {
            error = liborvaniot_os_net_addr_add_route(&added, htonl(kLinkLocalNetwork), kNetworkPrefixLength);
            if (error != 0) liborvaniot_os_net_addr_delete(&added);
        }
        if (error == 0) {
            owned = added;
            last_add_failed = false;
            publish(candidate, candidate);
            return 0;
        }
        // Only an address that is really there is published, so a refused one is never handed on.
        owned = liborvaniot_os_net_owned_address{};
        last_error = error;
    }
}

int32_t misc_common_link_local_echo_probe(int32_t* answers) {
    if (link_local_text[0] == '\0' || probe_socket == LIBORVANIOT_OS_INVALID_SOCKET) return 1;
    uint8_t request[kEchoSize];
    build_echo_request(request);
    uint32_t candidate = 0;
    if (!candidate_address(&candidate)) return 1;
    if (liborvaniot_os_net_send_to(probe_socket, request, kEchoSize, candidate, 0) < 0) return 1;
    for (int poll = 0; poll < kAnswerPolls; ++poll) {
        if (liborvaniot_os_sleep_unless_stopped(kPollMs) != 0) return 1;
        // The raw socket sees all ICMP traffic of the link; read everything that is waiting so that
        // other hosts' messages cannot hide the candidate's answer.
        for (;;) {
            uint8_t answer[kMaxAnswer];
            uint32_t from = 0;
            const int32_t n =
                liborvaniot_os_net_recv_from(probe_socket, answer, sizeof answer, &from, nullptr);
            if (n < 0) break;
            if (n >= 1 && from == candidate) {
                ++*answers;
                return 0;
            }
        }
    }
    return 1;
}

int32_t misc_common_link_local_address_renew() {
    if (owned.if_index == 0) return 1;
    const int32_t error = liborvaniot_os_net_addr_renew(&owned, MISC_COMMON_LINK_LOCAL_LIFETIME_S);
    // An address that is gone is the refresh's to report.
    if (error != 0 && error != EADDRNOTAVAIL && !renew_failure_reported.exchange(true)) {
        liborvaniot_os_debug_printf("misc_common_link_local_address_renew", __LINE__,
                                    "misc_common_link_local_address_renew %s,error !! %d\n", link_local_text,
                                    error);
    }
    return error;
}

void misc_common_link_local_address_refresh() {
    if (!set_up.load()) return;
    if (owned.if_index != 0) {
        if (misc_common_link_local_address_renew() != EADDRNOTAVAIL) return;
        // Removed under us (by hand, or by a tool that cleans up addresses): stop using it.
        liborvaniot_os_debug_printf("misc_common_link_local_address_refresh", __LINE__,
                                    "misc_common_link_local_address_refresh %s vanished\n",
                                    misc_common_link_local_text());
        liborvaniot_os_net_addr_delete(&owned);
        owned = liborvaniot_os_net_owned_address{};
        renew_failure_reported = false;
        publish(0, 0);
    } else if (published_address.load() != 0 &&
               liborvaniot_os_net_address_present(published_address.load()) == 0) {
        // An existing address went away, for example with the finder that had added it.
        publish(0, 0);
    }
    if (link_local_present.load() != 0 || adopt_existing() == 1) return;
    if (liborvaniot_os_net_has_admin_rights() == 0) return;
    if (last_add_failed && whole_seconds_since(last_add_attempt) < kAddRetrySeconds) return;
    misc_common_link_local_address_add();
}

void misc_common_link_local_address_remove() {
    set_up = false;
    const bool was_published = link_local_present.load() != 0;
    if (owned.if_index != 0) liborvaniot_os_net_addr_delete(&owned);
    clear_published();
    if (was_published) publish(0, 0);
}

void misc_common_set_link_local_listener(void (*listener)(void* data), void* data) {
    std::lock_guard<std::mutex> held(published_mutex);
    change_listener = listener;
    change_listener_data = data;
}

void misc_common_set_link_local_candidate_source(bool (*source)(uint8_t bytes[2], void* data), void* data) {
    candidate_source = source != nullptr ? source : system_random_candidate;
    candidate_source_data = source != nullptr ? data : nullptr;
}

uint32_t misc_common_link_local_generation() {
    return published_generation.load();
}

std::string misc_common_link_local_text_copy() {
    std::lock_guard<std::mutex> held(published_mutex);
    return link_local_text;
}

const char* misc_common_link_local_text() {
    return link_local_text;
}
int32_t misc_common_link_local_present() {
    return link_local_present.load();
}
uint32_t misc_common_link_local_added_address() {
    return added_address.load();
}
