// The status line under the list: the Scan's part ("Scanning..." while a Scan runs, then how many
// devices the list holds) and what the user must know about the chosen device; and what the list
// says when a Scan found nothing. A Scan ends as the command-line scanner's does: one second after
// the last new device, three seconds at most.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "liborvaniot_core_cms/device_reach.h"

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

// What the status says about the chosen device at address (as the row shows it): that this computer
// does not reach it directly, and how many devices share its address (others beyond its own);
// empty when neither.
std::wstring ChosenDeviceNote(const std::wstring& address, bool reachable, size_t others);
// While the chosen device is being reached.
std::wstring ReachingNote(const std::wstring& address);
// What a reaching that ended came to (empty when the device was reachable all along).
std::wstring ReachOutcomeNote(const device_reach_result& result);
// The line under the list: the Scan's part, then the note about the chosen device.
std::wstring StatusLine(const std::wstring& scan, const std::wstring& note);

// Shown in the empty list after a Scan that found nothing: the usual reasons, in two lines.
const std::wstring& NothingFoundText();

}  // namespace ORVAN_UXClass
