#include "discovery_session.h"

#include "interface_choice.h"
#include "liborvaniot_core_cms/liborvaniot_core_cms.h"
#include "liborvaniot_core_cms/misc_common.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os_net_select.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace orvan_scan {

std::string DiscoverySession::Start(const std::vector<std::string>& interfaces, const UnicastProbes& unicast) {
    if (liborvaniot_core_cms_initialize() != 0) return "the network runtime could not be started";
    core_started_ = true;
    // Chosen after the core start, so that an interface's newly added link-local address counts.
    std::string problem = SelectInterfaces(interfaces);
    const uint32_t link_local = misc_common_link_local_added_address();
    const std::vector<uint32_t> usable = UsableAddresses(link_local);
    if (problem.empty() && usable.empty()) {
        problem = interfaces.empty() ? "no usable network interface: no IPv4 address besides loopback"
                                     : "no usable address on the chosen interfaces";
    }
    if (problem.empty()) problem = CheckDiscoveryPort(usable, LIBDRM_CLIENT_PROBE_PORT);
    if (problem.empty()) {
        feed_.Register();
        liborvaniot_drm_client_probe_set_port(LIBDRM_CLIENT_PROBE_PORT);
        liborvaniot_drm_client_probe_set_multicast(unicast.multicast ? 1 : 0);
        // Opened on the added address only when the chosen interfaces include it.
        liborvaniot_drm_client_probe_set_extra_interface(
            link_local != 0 && liborvaniot_os_net_channel_selected(link_local) == 1 ? link_local : 0);
        if (liborvaniot_drm_client_probe_listen_start() == 0) {
            listening_ = true;
            liborvaniot_drm_client_probe_set_targets(unicast.targets, unicast.rate);
        } else {
            problem = "the discovery listener could not be started";
        }
    }
    if (!problem.empty()) Stop();
    return problem;
}

void DiscoverySession::Stop() {
    if (listening_) {
        liborvaniot_drm_client_probe_listen_stop();
        listening_ = false;
    }
    DiscoveryFeed::Unregister();
    liborvaniot_os_net_channel_select(nullptr, 0, nullptr, 0);
    if (core_started_) {
        liborvaniot_core_cms_finalize();
        core_started_ = false;
    }
}

void DiscoverySession::RequestScan() {
    liborvaniot_drm_client_probe_scan();
}

bool DiscoverySession::ScanPending() const {
    return liborvaniot_drm_client_probe_scan_state() != LIBDRM_CLIENT_SCAN_IDLE;
}

int32_t DiscoverySession::Channels() const {
    return liborvaniot_drm_client_probe_channel_count();
}

uint64_t DiscoverySession::UnicastSent() const {
    return liborvaniot_drm_client_probe_sweep_sent();
}

uint64_t DiscoverySession::UnicastFailed() const {
    return liborvaniot_drm_client_probe_sweep_failed();
}

bool DiscoverySession::Interrupted() {
    return liborvaniot_os_stop_flag.load() != 0;
}

}  // namespace orvan_scan
