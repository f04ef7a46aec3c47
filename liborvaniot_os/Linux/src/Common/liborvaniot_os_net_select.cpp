// The interfaces discovery may use: lookup of an interface's addresses by name and the selection
// the channel table honours when it opens channels.
#include "liborvaniot_os/liborvaniot_os_net_select.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "liborvaniot_os_host_addresses.h"

namespace {

// An address with a label ("eth0:ov") is listed under its label; it still belongs to eth0.
bool belongs_to(std::string_view listed, std::string_view name) {
    return listed == name ||
           (listed.size() > name.size() && listed.starts_with(name) && listed[name.size()] == ':');
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
    std::vector<liborvaniot_os_host_address> addresses;
    std::vector<std::string> interfaces;
    if (!liborvaniot_os_read_host_addresses(&addresses, &interfaces)) return 1;
    // An interface without an IPv4 address exists all the same: it gives no rows, not an error.
    if (std::ranges::none_of(interfaces, [&](const std::string& listed) { return belongs_to(listed, name); }))
        return 1;
    int32_t n = 0;
    for (const auto& row : addresses) {
        if (belongs_to(row.interface_name, name) && n < capacity && rows != nullptr) rows[n++] = row.address;
    }
    *count = n;
    return 0;
}

int32_t liborvaniot_os_net_is_local_address(uint32_t address) {
    std::vector<liborvaniot_os_host_address> addresses;
    if (!liborvaniot_os_read_host_addresses(&addresses)) return 0;
    return std::ranges::any_of(addresses, [&](const auto& row) { return row.address == address; }) ? 1 : 0;
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
