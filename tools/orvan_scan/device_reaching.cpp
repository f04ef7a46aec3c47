#include "device_reaching.h"

#include "discovery_session.h"
#include "liborvaniot_core_cms/device_reach.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_addr.h"
#include "liborvaniot_os/liborvaniot_os_net_reach.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

namespace orvan_scan {

namespace {

constexpr uint32_t kHoldPollMs = 200;
constexpr int32_t kMaxNetworks = 32;

std::string TextOf(uint32_t address) {
    char text[16];
    liborvaniot_os_net_format_address(address, text);
    return text;
}

struct Interfaces {
    liborvaniot_os_net_interface rows[LIBORVANIOT_OS_NET_MAX_INTERFACES];
    int32_t count = 0;
    Interfaces() {
        if (liborvaniot_os_net_read_interfaces(rows, LIBORVANIOT_OS_NET_MAX_INTERFACES, &count) != 0) count = 0;
    }
};

std::string InterfaceName(uint32_t if_index) {
    const Interfaces interfaces;
    for (int32_t i = 0; i < interfaces.count; ++i) {
        if (interfaces.rows[i].index == if_index) return interfaces.rows[i].name;
    }
    return "interface " + std::to_string(if_index);
}

}  // namespace

uint32_t ReachInterface(const FoundDevice& device, const ScanOptions& options) {
    if (device.arrival_if_addr != 0) {
        if (const uint32_t arrival = liborvaniot_os_net_interface_of(device.arrival_if_addr); arrival != 0) {
            return arrival;
        }
    }
    const Interfaces interfaces;
    for (const std::string& given : options.interfaces) {
        for (int32_t i = 0; i < interfaces.count; ++i) {
            if (given == interfaces.rows[i].name) return interfaces.rows[i].index;
        }
    }
    const int32_t chosen = liborvaniot_os_net_pick_link_interface(interfaces.rows, interfaces.count);
    return chosen >= 0 ? interfaces.rows[chosen].index : 0;
}

void CheckReachability(FoundDevice& device) {
    if (device.row.address.empty()) return;
    const uint32_t arrival = device.arrival_if_addr == 0 ? 0 : liborvaniot_os_net_interface_of(device.arrival_if_addr);
    device.reachable = device_reach_is_direct(htonl(device.ip_order), arrival);
}

std::vector<std::string> HostNetworks() {
    liborvaniot_os_net_network rows[kMaxNetworks];
    int32_t count = 0;
    std::vector<std::string> networks;
    if (liborvaniot_os_net_read_networks(rows, kMaxNetworks, &count) != 0) return networks;
    for (int32_t i = 0; i < count; ++i) {
        networks.push_back(TextOf(rows[i].address) + "/" + std::to_string(rows[i].prefix_len) + " on " +
                           InterfaceName(rows[i].if_index));
    }
    return networks;
}

std::string NoRightsMessage(const std::string& device_ip, const std::vector<std::string>& networks) {
    std::string where;
    for (const std::string& network : networks) where += (where.empty() ? "" : ", ") + network;
    if (where.empty()) where = "none found";
    return device_ip + " is on another network than this computer (this computer's networks: " + where +
           "), so its page cannot load from here.\n"
           "  Either run orvan-scan as administrator (for example with sudo) to reach it for this run,\n"
           "  or give the device an address in one of this computer's networks.";
}

bool MakeReachable(const FoundDevice& device, const ScanOptions& options, const Console& console, bool* added,
                   int* status) {
    *added = false;
    const uint32_t device_ip = device.row.address.empty() ? 0 : htonl(device.ip_order);
    const uint32_t if_index = ReachInterface(device, options);
    const device_reach_result result = device_reach_make(device_ip, if_index);
    switch (result.outcome) {
        case device_reach_outcome::already_reachable:
            return true;
        case device_reach_outcome::made_reachable:
            *added = true;
            std::fprintf(console.err, "orvan-scan: %s is on another network: reached through %s on %s for this run\n",
                         device.row.address.c_str(), TextOf(result.address_used).c_str(),
                         InterfaceName(if_index).c_str());
            std::fflush(console.err);
            return true;
        case device_reach_outcome::no_rights:
            ReportError(console, NoRightsMessage(device.row.address, HostNetworks()));
            break;
        case device_reach_outcome::no_free_address:
        case device_reach_outcome::error:
            ReportError(console, device_reach_describe(result));
            break;
    }
    *status = kExitError;
    return false;
}

void HoldUntilInterrupted(const Console& console, const std::string& reason) {
    std::fprintf(console.err, "orvan-scan: %s; press Ctrl+C to end and remove it\n", reason.c_str());
    std::fflush(console.err);
    while (!DiscoverySession::Interrupted()) liborvaniot_os_sleep_unless_stopped(kHoldPollMs);
}

}  // namespace orvan_scan
