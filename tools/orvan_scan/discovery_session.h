// One run of discovery, from the core's start (which finds or adds the link-local address, exactly
// as the finder does) to its stop (which removes that address again). Stop runs from the destructor
// too, so every way out of the program cleans up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "discovery_feed.h"
#include "liborvaniot_drm_client/libdrm_client_probe_target.h"

namespace orvan_scan {

// What a scan sends besides (or instead of) the multicast probe: one probe to every target address,
// at most rate a second.
struct UnicastProbes {
    std::vector<drm_probe_target_range> targets;
    uint32_t rate = 0;  // 0: the probe client's default
    bool multicast = true;
};

class DiscoverySession {
  public:
    DiscoverySession() = default;
    DiscoverySession(const DiscoverySession&) = delete;
    DiscoverySession& operator=(const DiscoverySession&) = delete;
    ~DiscoverySession() { Stop(); }

    // Starts the core, chooses the interfaces, checks the discovery port and starts the listener.
    // The message for the user when a step fails (everything started is stopped again), else "".
    std::string Start(const std::vector<std::string>& interfaces, const UnicastProbes& unicast = {});
    // Stops the listener, then the core. Harmless when nothing runs.
    void Stop();

    // Asks for one probe on every channel.
    void RequestScan();
    // True until the requested probes went out, or were given up because no channel opened.
    bool ScanPending() const;
    // Channels the listener has open now.
    int32_t Channels() const;
    // Unicast probes of the scan that went out, and those the system refused (no route).
    uint64_t UnicastSent() const;
    uint64_t UnicastFailed() const;
    // True once Ctrl+C (or SIGTERM) asked the program to end.
    static bool Interrupted();
    std::vector<ScanEvent> TakeEvents() { return feed_.Take(); }
    FeedLosses Losses() { return feed_.Losses(); }

  private:
    DiscoveryFeed feed_;
    bool core_started_ = false;
    bool listening_ = false;
};

}  // namespace orvan_scan
