// The Scan's part of the status line under the list: "Scanning..." while a Scan runs, then how many
// devices the list holds; and what the list says when a Scan found nothing. A Scan ends as the
// command-line scanner's does: one second after the last new device, three seconds at most.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ORVAN_UXClass {

// The scan's timer ticks this often.
inline constexpr uint32_t kScanTickMs = 250;

class ScanStatus {
  public:
    void Start();
    // A new device reached the list: the scan waits a full quiet second again.
    void NewDevice();
    // One tick of the timer while scanning; true when the scan ends with it.
    bool Tick();
    bool scanning() const { return state_ == State::scanning; }
    // Empty before the first Scan; "Scanning..."; "1 device", "N devices".
    std::wstring Text(size_t devices) const;

  private:
    enum class State { idle, scanning, done };
    State state_ = State::idle;
    int32_t ticks_ = 0;
    int32_t quietTicks_ = 0;
};

// Shown in the empty list after a Scan that found nothing: the usual reasons, in two lines.
const std::wstring& NothingFoundText();

}  // namespace ORVAN_UXClass
