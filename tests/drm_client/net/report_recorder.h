// Collects the reports the probe client delivers through the real callback registration, keyed by
// the sender's address, so that tests can wait for them and count them per device.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace probe_net_test {

struct Report {
    std::string sender;  // dotted quad of the record's sender address
    int32_t kind = 0;
    std::string endpoint;
    std::string host;  // service address host
};

class ReportRecorder {
  public:
    // Registers this recorder as the probe callback; the destructor withdraws it.
    ReportRecorder();
    ~ReportRecorder();
    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;

    std::vector<Report> Reports() const;
    // Reports of one kind per sender address.
    std::map<std::string, int> CountPerSender(int32_t kind) const;
    void Clear();

    // Waits until the reports satisfy done; false on time-out.
    bool WaitFor(const std::function<bool(const std::vector<Report>&)>& done,
                 std::chrono::milliseconds timeout);
    // Waits until `senders` addresses have at least `each` reports of the kind.
    bool WaitForSenders(int32_t kind, size_t senders, int each, std::chrono::milliseconds timeout);

    // Keeps the listener inside its next report until Release(), so that a test can act while the
    // listener is known to be busy. A hold ends by itself after kLongestHold, and with the recorder.
    void HoldNextReport();
    // Waits until the listener is held; false on time-out.
    bool WaitUntilHeld(std::chrono::milliseconds timeout);
    void Release();

  private:
    static constexpr std::chrono::seconds kLongestHold{10};

    static void OnReport(drm_probe_device* record, int32_t kind, drm_probe_add_entry_hook add_entry,
                         void* user_data);

    mutable std::mutex mutex_;
    std::vector<Report> reports_;
    std::condition_variable hold_changed_;
    bool hold_next_ = false;
    bool holding_ = false;
};

}  // namespace probe_net_test
