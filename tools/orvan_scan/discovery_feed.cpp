#include "discovery_feed.h"

#include <cstring>
#include <utility>

#include "liborvaniot_drm_client/libdrm_client_probe.h"

namespace orvan_scan {

void DiscoveryFeed::Register() {
    liborvaniot_drm_client_probe_set_callback(&OnReport, nullptr, this);
}

void DiscoveryFeed::Unregister() {
    liborvaniot_drm_client_probe_set_callback(nullptr, nullptr, nullptr);
}

std::vector<ScanEvent> DiscoveryFeed::Take() {
    std::lock_guard held(lock_);
    return std::exchange(queue_, {});
}

void DiscoveryFeed::OnReport(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook,
                             void* user_data) {
    if (record == nullptr || user_data == nullptr) return;
    ScanEvent event;
    event.kind = kind;
    if (kind == DRM_PROBE_REPORT_BYE) {
        event.endpoint.assign(record->endpoint_address,
                              strnlen(record->endpoint_address, DRM_PROBE_ENDPOINT_SIZE));
    } else {
        event.device = ReadFoundDevice(*record, kind);
        if (!event.device) return;
    }
    auto* feed = static_cast<DiscoveryFeed*>(user_data);
    std::lock_guard held(feed->lock_);
    feed->queue_.push_back(std::move(event));
}

}  // namespace orvan_scan
