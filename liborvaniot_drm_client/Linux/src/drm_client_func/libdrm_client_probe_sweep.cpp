#include "liborvaniot_drm_client/libdrm_client_probe_sweep.h"

#include <algorithm>

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;
// The longest stretch whose probes may go out together after the sweep was held up.
constexpr uint64_t kBurstFraction = 100;

}  // namespace

void drm_probe_sweep::begin(std::span<const drm_probe_target_range> ranges, uint32_t rate, int64_t now_us) {
    ranges_.assign(ranges.begin(), ranges.end());
    range_index_ = 0;
    offset_ = 0;
    taken_ = 0;
    total_ = 0;
    for (const drm_probe_target_range& range : ranges_) total_ += drm_probe_target_count(range);
    rate_ = std::max<uint32_t>(1, rate);
    epoch_us_ = now_us;
    paced_ = 0;
}

void drm_probe_sweep::clear() {
    ranges_.clear();
    total_ = 0;
    taken_ = 0;
    range_index_ = 0;
    offset_ = 0;
}

int64_t drm_probe_sweep::due_at(uint64_t paced) const {
    return epoch_us_ + static_cast<int64_t>(paced * kMicrosecondsPerSecond / rate_);
}

uint64_t drm_probe_sweep::burst() const {
    return std::max<uint64_t>(1, rate_ / kBurstFraction);
}

uint64_t drm_probe_sweep::due(int64_t now_us) const {
    if (done() || now_us < due_at(paced_)) return 0;
    const uint64_t allowed = static_cast<uint64_t>(now_us - epoch_us_) * rate_ / kMicrosecondsPerSecond + 1;
    return std::min({allowed - paced_, burst(), total_ - taken_});
}

int64_t drm_probe_sweep::wait_us(int64_t now_us) const {
    if (done()) return -1;
    return std::max<int64_t>(0, due_at(paced_) - now_us);
}

uint32_t drm_probe_sweep::next() const {
    return static_cast<uint32_t>(ranges_[range_index_].first + offset_);
}

void drm_probe_sweep::advance(int64_t now_us) {
    if (++offset_ >= drm_probe_target_count(ranges_[range_index_])) {
        ++range_index_;
        offset_ = 0;
    }
    ++taken_;
    ++paced_;
    // Behind the pace by more than a burst: the pace starts afresh from now instead of catching up.
    if (due_at(paced_ + burst()) < now_us) {
        epoch_us_ = now_us;
        paced_ = 0;
    }
}
