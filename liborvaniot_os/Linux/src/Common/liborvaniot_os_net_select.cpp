// The interfaces discovery may use: lookup of an interface's addresses by name and the selection
// the channel table honours when it opens channels.
#include "liborvaniot_os/liborvaniot_os_net_select.h"

#include <ifaddrs.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

// An address with a label ("eth0:ov") is listed under its label; it still belongs to eth0.
bool belongs_to(const char* listed_name, std::string_view name) {
    const std::string_view listed(listed_name != nullptr ? listed_name : "");
    return listed == name ||
           (listed.size() > name.size() && listed.starts_with(name) && listed[name.size()] == ':');
}

uint32_t ipv4_of(const ifaddrs* entry) {
    return reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr;
}

bool is_ipv4(const ifaddrs* entry) {
    return entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET;
}

// Written by the program's thread before discovery starts, read by the listener when it opens
// channels.
struct selection {
    std::mutex lock;
    std::vector<std::string> names;
    std::vector<uint32_t> addresses;
} chosen;

}  // namespace

int32_t liborvaniot_os_net_interface_addresses(const char* name, uint32_t* rows, int32_t capacity,
                                               int32_t* count) {
    if (name == nullptr || *name == '\0' || count == nullptr) return 1;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return 1;
    bool found = false;
    int32_t n = 0;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (!belongs_to(entry->ifa_name, name)) continue;
        found = true;
        if (is_ipv4(entry) && n < capacity && rows != nullptr) rows[n++] = ipv4_of(entry);
    }
    ::freeifaddrs(list);
    if (!found) return 1;
    *count = n;
    return 0;
}

int32_t liborvaniot_os_net_is_local_address(uint32_t address) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return 0;
    bool local = false;
    for (const ifaddrs* entry = list; entry != nullptr && !local; entry = entry->ifa_next) {
        local = is_ipv4(entry) && ipv4_of(entry) == address;
    }
    ::freeifaddrs(list);
    return local ? 1 : 0;
}

void liborvaniot_os_net_channel_select(const char* const* names, int32_t name_count,
                                       const uint32_t* addresses, int32_t address_count) {
    std::lock_guard held(chosen.lock);
    chosen.names.clear();
    chosen.addresses.clear();
    for (int32_t i = 0; names != nullptr && i < name_count; ++i) {
        if (names[i] != nullptr) chosen.names.emplace_back(names[i]);
    }
    for (int32_t i = 0; addresses != nullptr && i < address_count; ++i)
        chosen.addresses.push_back(addresses[i]);
}

int32_t liborvaniot_os_net_channel_selected(uint32_t address) {
    std::vector<std::string> names;
    {
        std::lock_guard held(chosen.lock);
        if (chosen.names.empty() && chosen.addresses.empty()) return 1;
        if (std::ranges::find(chosen.addresses, address) != chosen.addresses.end()) return 1;
        names = chosen.names;
    }
    for (const std::string& name : names) {
        uint32_t rows[64];
        int32_t count = 0;
        if (liborvaniot_os_net_interface_addresses(name.c_str(), rows, 64, &count) != 0) continue;
        if (std::find(rows, rows + count, address) != rows + count) return 1;
    }
    return 0;
}
