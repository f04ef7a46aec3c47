// Reports of the probe client, handed from its listener thread to the program's thread: the
// listener only queues them, the program takes them when it is ready.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "found_device.h"

namespace orvan_scan {

struct ScanEvent {
    int32_t kind = DRM_PROBE_REPORT_MATCH;  // DRM_PROBE_REPORT_*
    std::optional<FoundDevice> device;      // match and hello
    std::string endpoint;                   // bye
};

class DiscoveryFeed {
  public:
    // Makes this feed the probe client's receiver; Unregister before the feed goes.
    void Register();
    static void Unregister();
    // Everything queued since the last call, in arrival order.
    std::vector<ScanEvent> Take();

  private:
    static void OnReport(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook add_entry,
                         void* user_data);

    std::mutex lock_;
    std::vector<ScanEvent> queue_;
};

}  // namespace orvan_scan
