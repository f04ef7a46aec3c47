// Reaching devices on another subnet of the same link: per subnet and interface, one address of ours
// (found free by ARP probes, or another finder's, used as it is) and host routes through it.
#include "liborvaniot_core_cms/device_reach.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os/liborvaniot_os_net_reach.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

constexpr uint32_t kSubnetMask = 0xFFFFFF00u;  // host byte order: the device's /24
constexpr int kMaxCandidates = 16;
constexpr uint32_t kProbeListenMs = 300;

// Our address in one subnet of one interface, and the devices routed through it.
struct reach_entry {
    uint32_t if_index = 0;
    uint32_t subnet = 0;   // network byte order
    uint32_t address = 0;  // network byte order
    liborvaniot_os_net_owned_address owned;  // if_index 0: another finder's address, used as it is
    std::vector<uint32_t> routed;            // host routes this process added
};

std::mutex entries_mutex;  // guards entries; never held across a probe
std::vector<reach_entry> entries;
std::mutex make_mutex;  // one make at a time, so that two cannot add two addresses to one subnet

bool system_random_host(uint8_t* host_part, void*) {
    return liborvaniot_os_random_bytes(host_part, 1) == 0;
}
bool (*candidate_source)(uint8_t*, void*) = system_random_host;
void* candidate_source_data = nullptr;

void (*listener)(const device_reach_result&, void*) = nullptr;  // under worker_mutex
void* listener_data = nullptr;
std::mutex worker_mutex;
std::condition_variable worker_wake;
std::deque<std::pair<uint32_t, uint32_t>> requests;
std::thread worker;
bool worker_stopping = false;

uint32_t subnet_of(uint32_t address) {
    return htonl(ntohl(address) & kSubnetMask);
}

std::string text_of(uint32_t address) {
    char text[16];
    liborvaniot_os_net_format_address(address, text);
    return text;
}

device_reach_result failed(device_reach_result result, const std::string& what, int32_t error) {
    result.outcome = device_reach_outcome::error;
    result.error_text = what + ": " + std::strerror(error);
    return result;
}

reach_entry* find_entry(uint32_t if_index, uint32_t subnet) {
    for (reach_entry& entry : entries) {
        if (entry.if_index == if_index && entry.subnet == subnet) return &entry;
    }
    return nullptr;
}

// Removes the entry's routes and, when it is ours, its address.
void dismantle(reach_entry& entry) {
    for (const uint32_t device : entry.routed) {
        liborvaniot_os_net_own_route_delete(entry.if_index, entry.address, device, 32);
    }
    entry.routed.clear();
    if (entry.owned.if_index != 0) liborvaniot_os_net_addr_delete(&entry.owned);
}

// An address of ours for the subnet: another finder's (or a killed run's, taken over), or a free
// one found by probing. made_reachable with *entry filled, or the outcome that says why not.
device_reach_outcome obtain_address(uint32_t device, uint32_t if_index, reach_entry* entry,
                                    device_reach_result* result) {
    entry->if_index = if_index;
    entry->subnet = subnet_of(device);
    uint32_t existing = 0;
    if (liborvaniot_os_net_addr_find_ours(if_index, entry->subnet, htonl(kSubnetMask), DEVICE_REACH_LABEL_SUFFIX,
                                          &existing) == 1) {
        const int32_t error = liborvaniot_os_net_addr_adopt(if_index, existing, DEVICE_REACH_LABEL_SUFFIX, &entry->owned);
        if (error == 0 || error == EADDRINUSE) {
            entry->address = existing;
            return device_reach_outcome::made_reachable;
        }
    }
    int32_t last_error = 0;
    for (int tried = 0; tried < kMaxCandidates && liborvaniot_os_stop_flag.load() == 0; ++tried) {
        uint8_t host = 0;
        if (!candidate_source(&host, candidate_source_data)) break;
        const uint32_t candidate = htonl(ntohl(entry->subnet) | host);
        if (host == 0 || host == 255 || candidate == device || liborvaniot_os_net_address_present(candidate) != 0) {
            continue;
        }
        int32_t in_use = 0;
        if (const int32_t error = liborvaniot_os_net_arp_probe(if_index, candidate, kProbeListenMs, &in_use);
            error != 0) {
            *result = failed(*result, "probing " + text_of(candidate), error);
            return device_reach_outcome::error;
        }
        if (in_use != 0) continue;
        last_error = liborvaniot_os_net_addr_add(if_index, candidate, LIBORVANIOT_OS_NET_OWN_PREFIX_LENGTH,
                                                 DEVICE_REACH_LABEL_SUFFIX, DEVICE_REACH_LIFETIME_S, &entry->owned);
        if (last_error == 0) {
            entry->address = candidate;
            return device_reach_outcome::made_reachable;
        }
        if (last_error == EPERM || last_error == EACCES) return device_reach_outcome::no_rights;
    }
    if (last_error != 0 && last_error != EEXIST && last_error != EADDRINUSE) {
        *result = failed(*result, "adding an address", last_error);
        return device_reach_outcome::error;
    }
    return device_reach_outcome::no_free_address;
}

}  // namespace

bool device_reach_is_direct(uint32_t device, uint32_t arrival_if_index) {
    liborvaniot_os_net_route route;
    if (liborvaniot_os_net_route_lookup(device, &route) != 0) return false;
    return route.gateway == 0 && (arrival_if_index == 0 || route.if_index == arrival_if_index);
}

uint32_t device_reach_interface_for(uint32_t device, uint32_t arrival_if_addr) {
    if (arrival_if_addr != 0) {
        if (const uint32_t arrival = liborvaniot_os_net_interface_of(arrival_if_addr); arrival != 0) return arrival;
    }
    liborvaniot_os_net_route route;
    return liborvaniot_os_net_route_lookup(device, &route) == 0 ? route.if_index : 0;
}

device_reach_result device_reach_make(uint32_t device, uint32_t if_index) {
    device_reach_result result;
    result.device = device;
    result.if_index = if_index;
    if (device == 0 || if_index == 0) return failed(result, "no device address or interface", EINVAL);
    if (liborvaniot_os_net_on_link(if_index, device) != 0) {
        result.outcome = device_reach_outcome::already_reachable;
        return result;
    }
    std::lock_guard<std::mutex> one_at_a_time(make_mutex);
    const uint32_t subnet = subnet_of(device);
    {
        std::lock_guard<std::mutex> held(entries_mutex);
        if (reach_entry* entry = find_entry(if_index, subnet); entry != nullptr) {
            result.address_used = entry->address;
            for (const uint32_t routed : entry->routed) {
                if (routed == device) {
                    result.outcome = device_reach_outcome::already_reachable;
                    return result;
                }
            }
        }
    }
    if (liborvaniot_os_net_has_admin_rights() == 0) {
        result.outcome = device_reach_outcome::no_rights;
        return result;
    }
    reach_entry fresh;
    bool added_entry = false;
    {
        std::lock_guard<std::mutex> held(entries_mutex);
        added_entry = find_entry(if_index, subnet) == nullptr;
    }
    if (added_entry) {
        // Probing takes a while: done without the entries' lock, so that renewals go on meanwhile.
        const device_reach_outcome outcome = obtain_address(device, if_index, &fresh, &result);
        if (outcome != device_reach_outcome::made_reachable) {
            result.outcome = outcome;
            return result;
        }
    }
    std::lock_guard<std::mutex> held(entries_mutex);
    if (added_entry) entries.push_back(fresh);
    reach_entry& entry = *find_entry(if_index, subnet);
    result.address_used = entry.address;
    const int32_t error = liborvaniot_os_net_own_route_add(if_index, entry.address, device, 32);
    if (error == 0) {
        entry.routed.push_back(device);
    } else if (error != EEXIST) {  // another finder's route through the same address serves as well
        if (entry.routed.empty()) {
            dismantle(entry);
            entries.erase(entries.begin() + (&entry - entries.data()));
        }
        return failed(result, "adding a route to " + text_of(device), error);
    }
    result.outcome = device_reach_outcome::made_reachable;
    liborvaniot_os_debug_printf("device_reach_make", __LINE__, "device_reach_make %s through %s\n",
                                text_of(device).c_str(), text_of(result.address_used).c_str());
    return result;
}

void device_reach_refresh() {
    std::lock_guard<std::mutex> held(entries_mutex);
    for (size_t i = 0; i < entries.size();) {
        reach_entry& entry = entries[i];
        const bool alive = entry.owned.if_index != 0
                               ? liborvaniot_os_net_addr_renew(&entry.owned, DEVICE_REACH_LIFETIME_S) != EADDRNOTAVAIL
                               : liborvaniot_os_net_address_present(entry.address) != 0;
        if (alive) {
            ++i;
            continue;
        }
        // Gone with the finder that had added it, or removed by hand: its routes went with it.
        liborvaniot_os_debug_printf("device_reach_refresh", __LINE__, "device_reach_refresh %s vanished\n",
                                    text_of(entry.address).c_str());
        entry.routed.clear();
        dismantle(entry);
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void device_reach_remove_all() {
    {
        std::unique_lock<std::mutex> held(worker_mutex);
        worker_stopping = true;
        requests.clear();
    }
    worker_wake.notify_all();
    if (worker.joinable()) worker.join();
    {
        std::lock_guard<std::mutex> held(worker_mutex);
        worker_stopping = false;
    }
    std::lock_guard<std::mutex> one_at_a_time(make_mutex);
    std::lock_guard<std::mutex> held(entries_mutex);
    for (reach_entry& entry : entries) dismantle(entry);
    entries.clear();
}

void device_reach_set_listener(void (*callback)(const device_reach_result&, void*), void* data) {
    std::lock_guard<std::mutex> held(worker_mutex);
    listener = callback;
    listener_data = data;
}

void device_reach_request(uint32_t device, uint32_t if_index) {
    std::lock_guard<std::mutex> held(worker_mutex);
    if (worker_stopping) return;
    requests.emplace_back(device, if_index);
    if (!worker.joinable()) {
        worker = std::thread([] {
            std::unique_lock<std::mutex> held(worker_mutex);
            for (;;) {
                worker_wake.wait(held, [] { return worker_stopping || !requests.empty(); });
                if (worker_stopping) return;
                const auto [device, if_index] = requests.front();
                requests.pop_front();
                held.unlock();
                const device_reach_result result = device_reach_make(device, if_index);
                held.lock();
                if (listener != nullptr) listener(result, listener_data);
            }
        });
    }
    worker_wake.notify_all();
}

void device_reach_set_candidate_source(bool (*source)(uint8_t*, void*), void* data) {
    candidate_source = source != nullptr ? source : system_random_host;
    candidate_source_data = source != nullptr ? data : nullptr;
}

std::string device_reach_describe(const device_reach_result& result) {
    switch (result.outcome) {
        case device_reach_outcome::already_reachable:
            return text_of(result.device) + " is already reachable";
        case device_reach_outcome::made_reachable:
            return text_of(result.device) + " made reachable through " + text_of(result.address_used);
        case device_reach_outcome::no_rights:
            return "reaching " + text_of(result.device) + " needs administrator rights";
        case device_reach_outcome::no_free_address:
            return "no free address in the network of " + text_of(result.device);
        case device_reach_outcome::error:
            break;
    }
    return "reaching " + text_of(result.device) + " failed: " + result.error_text;
}

std::string device_reach_interface_name(uint32_t if_index) {
    liborvaniot_os_net_interface rows[LIBORVANIOT_OS_NET_MAX_INTERFACES];
    int32_t count = 0;
    if (liborvaniot_os_net_read_interfaces(rows, LIBORVANIOT_OS_NET_MAX_INTERFACES, &count) != 0) count = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (rows[i].index == if_index) return rows[i].name;
    }
    return "interface " + std::to_string(if_index);
}

std::vector<std::string> device_reach_host_networks() {
    constexpr int32_t kMaxNetworks = 32;
    liborvaniot_os_net_network rows[kMaxNetworks];
    int32_t count = 0;
    std::vector<std::string> networks;
    if (liborvaniot_os_net_read_networks(rows, kMaxNetworks, &count) != 0) return networks;
    for (int32_t i = 0; i < count; ++i) {
        networks.push_back(text_of(rows[i].address) + "/" + std::to_string(rows[i].prefix_len) + " on " +
                           device_reach_interface_name(rows[i].if_index));
    }
    return networks;
}

std::string device_reach_no_rights_text(const std::string& device_ip, const std::string& run_as_administrator) {
    std::string where;
    for (const std::string& network : device_reach_host_networks()) where += (where.empty() ? "" : ", ") + network;
    if (where.empty()) where = "none found";
    return device_ip + " is on another network than this computer (this computer's networks: " + where +
           "), so its page cannot load from here.\n"
           "  Either " + run_as_administrator + " to reach it for this run,\n"
           "  or give the device an address in one of this computer's networks.";
}
