#include "discovery_feed.h"

#include <cstring>
#include <utility>

#include "device_rows/device_bound.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"

namespace orvan_scan {

const size_t DiscoveryFeed::kDefaultMaxDevices = ORVAN_UXClass::kMaxDevicesHeld;

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

FeedLosses DiscoveryFeed::Losses() {
    std::lock_guard held(lock_);
    return losses_;
}

void DiscoveryFeed::Offer(ScanEvent event) {
    std::lock_guard held(lock_);
    if (event.device) {
        std::pair<uint32_t, std::string> device{event.device->ip_order, event.device->row.endpoint};
        if (reported_.contains(device)) return;  // reported already: nothing new to queue
        if (reported_.size() >= max_devices_) {
            ++losses_.beyond_bound;
            if (!bound_logged_) {
                bound_logged_ = true;
                liborvaniot_os_debug_printf("orvan_scan::DiscoveryFeed::Offer", __LINE__,
                                            "device limit of %d reached: answers from further devices are "
                                            "ignored\n",
                                            static_cast<int>(max_devices_));
            }
            return;
        }
        if (queue_.size() >= queue_capacity_) {
            ++losses_.queue_full;
            return;
        }
        senders_by_endpoint_.emplace(device.second, device.first);
        reported_.insert(std::move(device));
    } else {
        if (queue_.size() >= queue_capacity_) {
            ++losses_.queue_full;
            return;
        }
        // A device that said Bye may come back: its next Hello is news again. A Bye of nothing
        // reported is no news at all.
        const auto [first, last] = senders_by_endpoint_.equal_range(event.endpoint);
        if (first == last) return;
        for (auto it = first; it != last; ++it) reported_.erase({it->second, event.endpoint});
        senders_by_endpoint_.erase(event.endpoint);
    }
    queue_.push_back(std::move(event));
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
    static_cast<DiscoveryFeed*>(user_data)->Offer(std::move(event));
}

}  // namespace orvan_scan
