// Reports of the probe client, handed from its listener thread to the program's thread: the
// listener only queues them, the program takes them when it is ready. Both the senders and the
// queue are bounded, since every report may come from a host that forges them: a report of a device
// (sender address and endpoint) already reported is dropped before it is queued (until that device
// says Bye), new devices beyond the device bound are ignored, and a queue its reader does not empty
// (output blocked) stops growing; what was lost is counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "found_device.h"

namespace orvan_scan {

struct ScanEvent {
    int32_t kind = DRM_PROBE_REPORT_MATCH;  // DRM_PROBE_REPORT_*
    std::optional<FoundDevice> device;      // match and hello
    std::string endpoint;                   // bye
};

// What the feed could not keep.
struct FeedLosses {
    size_t queue_full = 0;      // reports dropped because the reader had not taken the queue
    size_t beyond_bound = 0;    // reports of new devices once the device bound was reached
};

class DiscoveryFeed {
  public:
    static constexpr size_t kQueueCapacity = 4096;

    explicit DiscoveryFeed(size_t max_devices = kDefaultMaxDevices, size_t queue_capacity = kQueueCapacity)
        : max_devices_(max_devices), queue_capacity_(queue_capacity) {}

    // Makes this feed the probe client's receiver; Unregister before the feed goes.
    void Register();
    static void Unregister();
    // Everything queued since the last call, in arrival order.
    std::vector<ScanEvent> Take();
    FeedLosses Losses();

    // The listener's side, also for tests: queues the event unless one of the bounds says no.
    void Offer(ScanEvent event);

  private:
    static const size_t kDefaultMaxDevices;

    static void OnReport(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook add_entry,
                         void* user_data);

    const size_t max_devices_;
    const size_t queue_capacity_;
    std::mutex lock_;
    std::vector<ScanEvent> queue_;
    // Devices reported (sender address in host byte order, endpoint), until they say Bye.
    std::set<std::pair<uint32_t, std::string>> reported_;
    std::unordered_multimap<std::string, uint32_t> senders_by_endpoint_;
    FeedLosses losses_;
    bool bound_logged_ = false;
};

}  // namespace orvan_scan
