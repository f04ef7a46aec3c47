#include "report_recorder.h"

#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

#include <thread>

#include "liborvaniot_drm_client/libdrm_client_probe.h"

namespace probe_net_test {

ReportRecorder::ReportRecorder() {
    liborvaniot_drm_client_probe_set_callback(&ReportRecorder::OnReport, nullptr, this);
}

ReportRecorder::~ReportRecorder() {
    Release();
    liborvaniot_drm_client_probe_set_callback(nullptr, nullptr, nullptr);
}

void ReportRecorder::OnReport(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook,
                              void* user_data) {
    auto* self = static_cast<ReportRecorder*>(user_data);
    char sender[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &record->sender.sin_addr, sender, sizeof sender);
    std::unique_lock<std::mutex> held(self->mutex_);
    // No wake-up per report: a waiter recounting every report at every one of a thousand answers
    // would hold the lock the listener needs and slow it down.
    self->reports_.push_back(Report{sender, kind, record->endpoint_address, record->host});
    if (!self->hold_next_) return;
    self->holding_ = true;
    self->hold_changed_.notify_all();
    self->hold_changed_.wait_for(held, kLongestHold, [self] { return !self->hold_next_; });
    self->hold_next_ = false;
    self->holding_ = false;
}

void ReportRecorder::HoldNextReport() {
    std::lock_guard<std::mutex> held(mutex_);
    hold_next_ = true;
}

bool ReportRecorder::WaitUntilHeld(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> held(mutex_);
    return hold_changed_.wait_for(held, timeout, [this] { return holding_; });
}

void ReportRecorder::Release() {
    std::lock_guard<std::mutex> held(mutex_);
    hold_next_ = false;
    hold_changed_.notify_all();
}

std::vector<Report> ReportRecorder::Reports() const {
    std::lock_guard<std::mutex> held(mutex_);
    return reports_;
}

std::map<std::string, int> ReportRecorder::CountPerSender(int32_t kind) const {
    std::map<std::string, int> counts;
    for (const Report& report : Reports()) {
        if (report.kind == kind) ++counts[report.sender];
    }
    return counts;
}

void ReportRecorder::Clear() {
    std::lock_guard<std::mutex> held(mutex_);
    reports_.clear();
}

bool ReportRecorder::WaitFor(const std::function<bool(const std::vector<Report>&)>& done,
                             std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            std::lock_guard<std::mutex> held(mutex_);
            if (done(reports_)) return true;
        }
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool ReportRecorder::WaitForSenders(int32_t kind, size_t senders, int each,
                                    std::chrono::milliseconds timeout) {
    return WaitFor(
        [&](const std::vector<Report>& reports) {
            std::map<std::string, int> counts;
            for (const Report& report : reports) {
                if (report.kind == kind) ++counts[report.sender];
            }
            size_t complete = 0;
            for (const auto& [sender, count] : counts) complete += count >= each ? 1 : 0;
            return complete >= senders;
        },
        timeout);
}

}  // namespace probe_net_test
