#include "interface_choice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_group.h"
#include "liborvaniot_os/liborvaniot_os_net_select.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace orvan_scan {

namespace {

constexpr int32_t kMaxAddresses = 64;

std::optional<uint32_t> AddressOf(const std::string& text) {
    unsigned char bytes[4];
    if (liborvaniot_os_net_inet_pton4(text.c_str(), bytes) != 0) return std::nullopt;
    uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

std::string PortProblem(int error, uint16_t port) {
    const std::string where =
        "UDP port " + std::to_string(port) + " of the discovery group " + LIBORVANIOT_OS_NET_MULTICAST_GROUP;
    switch (error) {
        case EACCES:
        case EPERM:
            return "permission denied opening " + where + " (" + std::strerror(error) + ")";
        case EADDRINUSE:
            return where + " is in use by another program";
        case ENOBUFS:
        case ENODEV:
        case EADDRNOTAVAIL:
            return std::string("cannot join the discovery group ") + LIBORVANIOT_OS_NET_MULTICAST_GROUP +
                   ": " + std::strerror(error);
        default:
            return "cannot open " + where + ": " + std::strerror(error);
    }
}

}  // namespace

std::string SelectInterfaces(const std::vector<std::string>& given) {
    std::vector<const char*> names;
    std::vector<uint32_t> addresses;
    for (const std::string& item : given) {
        if (std::optional<uint32_t> address = AddressOf(item)) {
            if (liborvaniot_os_net_is_local_address(*address) == 0) {
                return item + " is not an IPv4 address of this computer";
            }
            addresses.push_back(*address);
            continue;
        }
        uint32_t rows[kMaxAddresses];
        int32_t count = 0;
        if (liborvaniot_os_net_interface_addresses(item.c_str(), rows, kMaxAddresses, &count) != 0) {
            return "no network interface named '" + item + "'";
        }
        if (count == 0) return "interface " + item + " has no IPv4 address";
        names.push_back(item.c_str());
    }
    liborvaniot_os_net_channel_select(names.data(), static_cast<int32_t>(names.size()), addresses.data(),
                                      static_cast<int32_t>(addresses.size()));
    return {};
}

std::vector<uint32_t> UsableAddresses(uint32_t added_link_local) {
    uint32_t rows[LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS];
    int32_t count = 0;
    std::vector<uint32_t> usable;
    if (liborvaniot_os_net_read_address_table(rows, LIBORVANIOT_OS_NET_ADDRESS_TABLE_ROWS, &count) != 0)
        count = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (rows[i] == 0 || rows[i] == htonl(INADDR_LOOPBACK)) continue;
        if (liborvaniot_os_net_channel_selected(rows[i]) == 1) usable.push_back(rows[i]);
    }
    if (added_link_local != 0 && liborvaniot_os_net_channel_selected(added_link_local) == 1 &&
        std::ranges::find(usable, added_link_local) == usable.end()) {
        usable.push_back(added_link_local);
    }
    return usable;
}

std::string CheckDiscoveryPort(const std::vector<uint32_t>& addresses, uint16_t port) {
    liborvaniot_os_socket sock = LIBORVANIOT_OS_INVALID_SOCKET;
    if (liborvaniot_os_net_group_receiver_open(port, addresses.data(), static_cast<int32_t>(addresses.size()),
                                               &sock) != 0) {
        return PortProblem(errno, port);
    }
    liborvaniot_os_socket_debug_close(&sock);
    return {};
}

}  // namespace orvan_scan
