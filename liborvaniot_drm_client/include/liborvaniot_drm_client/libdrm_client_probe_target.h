// Targets of a unicast probe sweep: an address ("10.3.0.7"), a network ("10.2.0.0/24") or a range
// ("10.4.0.10-10.4.0.60"), read into inclusive address ranges that the probe client walks one by one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Addresses the targets may hold together unless the caller allows more.
inline constexpr uint64_t DRM_PROBE_TARGET_LIMIT = 65536;

// Inclusive range of addresses in host byte order (first <= last), so that it can be walked by
// counting.
struct drm_probe_target_range {
    uint32_t first = 0;
    uint32_t last = 0;
    bool operator==(const drm_probe_target_range&) const = default;
};

// One target's range, or the reason it is refused (range unset then). A network larger than /31
// leaves out its network and broadcast addresses: no device answers there, and probing a /24 means
// probing its 254 hosts. A network given by one of its hosts ("10.2.0.9/24") is that host's network.
struct drm_probe_target_parse_result {
    drm_probe_target_range range;
    std::string error;  // "" when range holds the target
};
drm_probe_target_parse_result drm_probe_target_parse(std::string_view text);

// Addresses in the range.
uint64_t drm_probe_target_count(const drm_probe_target_range& range);

// Every target, merged into sorted ranges that do not overlap (an address given twice is probed
// once). Refused when one target is bad or when together they hold more than DRM_PROBE_TARGET_LIMIT
// addresses and allow_large is false.
struct drm_probe_target_list {
    std::vector<drm_probe_target_range> ranges;
    uint64_t addresses = 0;
    std::string error;  // "" when ranges hold the targets
};
drm_probe_target_list drm_probe_targets_parse(std::span<const std::string> texts, bool allow_large);

// The address in network byte order, as sockets take it.
uint32_t drm_probe_target_network_order(uint32_t host_order);
