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
    device.reachable = device.answered_unicast || device_reach_is_direct(htonl(device.ip_order), arrival);
}

bool MakeReachable(const FoundDevice& device, const ScanOptions& options, const Console& console, bool* added,
                   int* status) {
    *added = false;
    // Its answer came back through the routes a page request takes: an address added on the link
    // would only take its traffic away from the router.
    if (device.answered_unicast) return true;
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
                         device_reach_interface_name(if_index).c_str());
            std::fflush(console.err);
            return true;
        case device_reach_outcome::no_rights:
            ReportError(console, device_reach_no_rights_text(device.row.address,
                                                             "run orvan-scan as administrator (for example with sudo)"));
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
