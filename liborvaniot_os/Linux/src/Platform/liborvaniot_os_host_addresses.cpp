// The host's IPv4 addresses and its interfaces from getifaddrs.
#include "liborvaniot_os_host_addresses.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

#include <cstdio>

#include "liborvaniot_os/liborvaniot_os_net_addr.h"

bool liborvaniot_os_read_host_addresses(std::vector<liborvaniot_os_host_address>* out,
                                        std::vector<std::string>* interface_names) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    out->clear();
    if (interface_names != nullptr) interface_names->clear();
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (interface_names != nullptr && entry->ifa_name != nullptr) interface_names->emplace_back(entry->ifa_name);
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
        liborvaniot_os_host_address row;
        row.address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr;
        row.interface_name = entry->ifa_name != nullptr ? entry->ifa_name : "";
        out->push_back(std::move(row));
    }
    ::freeifaddrs(list);
    return true;
}

int32_t liborvaniot_os_net_read_interfaces(liborvaniot_os_net_interface* rows, int32_t capacity,
                                           int32_t* count) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return 1;
    // Every interface has exactly one link-layer entry, with or without IPv4 addresses.
    int32_t n = 0;
    for (const ifaddrs* entry = list; entry != nullptr && n < capacity; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET) continue;
        liborvaniot_os_net_interface& row = rows[n++];
        row = liborvaniot_os_net_interface{};
        row.index = static_cast<uint32_t>(reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr)->sll_ifindex);
        std::snprintf(row.name, sizeof row.name, "%s", entry->ifa_name);
        row.up = (entry->ifa_flags & IFF_UP) != 0;
        row.running = (entry->ifa_flags & IFF_RUNNING) != 0;
        row.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        row.multicast = (entry->ifa_flags & IFF_MULTICAST) != 0;
    }
    ::freeifaddrs(list);
    *count = n;
    return 0;
}
