// For the discovery benchmarks: the distinct devices that answered a scan and the time of the last
// answer, fed by the probe client's listener thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_set>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

class AnswerTally {
  public:
    using Clock = std::chrono::steady_clock;

    // The probe callback: user_data is the tally.
    static void OnReport(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook, void* user_data) {
        if (kind != DRM_PROBE_REPORT_MATCH) return;
        auto* self = static_cast<AnswerTally*>(user_data);
        std::lock_guard<std::mutex> held(self->mutex_);
        self->senders_.insert(record->sender.sin_addr.s_addr);
        self->last_ = Clock::now();
    }
    void Reset() {
        std::lock_guard<std::mutex> held(mutex_);
        senders_.clear();
        last_ = Clock::time_point{};
    }
    size_t Senders() const {
        std::lock_guard<std::mutex> held(mutex_);
        return senders_.size();
    }
    Clock::time_point Last() const {
        std::lock_guard<std::mutex> held(mutex_);
        return last_;
    }

  private:
    mutable std::mutex mutex_;
    std::unordered_set<uint32_t> senders_;
    Clock::time_point last_{};
};
