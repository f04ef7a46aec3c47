// The unicast part of a scan: walks the target ranges address by address and paces the probes so
// that at most the chosen rate goes out, measured by elapsed time rather than by passes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_target.h"

// Probes a second when none is chosen.
inline constexpr uint32_t LIBDRM_CLIENT_SWEEP_RATE = 1000;

class drm_probe_sweep {
  public:
    // Starts walking the ranges at now_us, rate probes a second (0 counts as 1).
    void begin(std::span<const drm_probe_target_range> ranges, uint32_t rate, int64_t now_us);
    // Forgets the ranges: nothing more is due.
    void clear();
    bool done() const { return range_index_ >= ranges_.size(); }

    // Probes that may go out at now_us, never more than are left. A sweep held up (a busy machine)
    // does not make up for the lost time in one burst: at most a hundredth of a second's worth (one
    // probe at least) is due at once.
    uint64_t due(int64_t now_us) const;
    // Microseconds from now_us until the next probe is due: 0 when one is due, -1 when done.
    int64_t wait_us(int64_t now_us) const;
    // The next address (host byte order); only while not done.
    uint32_t next() const;
    // Counts the next address as sent at now_us and moves on; only while not done.
    void advance(int64_t now_us);

    uint64_t taken() const { return taken_; }

  private:
    int64_t due_at(uint64_t paced) const;
    uint64_t burst() const;

    std::vector<drm_probe_target_range> ranges_;
    size_t range_index_ = 0;
    uint64_t offset_ = 0;  // within the current range
    uint64_t taken_ = 0;
    uint64_t total_ = 0;
    uint32_t rate_ = LIBDRM_CLIENT_SWEEP_RATE;
    // The pace counts from epoch_us_: the paced_-th probe since then is due epoch + paced_/rate.
    int64_t epoch_us_ = 0;
    uint64_t paced_ = 0;
};
