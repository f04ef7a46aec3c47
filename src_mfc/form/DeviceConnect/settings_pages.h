// What the settings-transfer screens know about the page being read or written: which pages are
// option pages of the three device families, and which writes finish their second stage.
#pragma once

#include <cstdint>

namespace ORVAN_UXClass {

// Option pages 100 to 111, 200 to 211 and 300 to 311 (the gateway guard pages 112, 212 and 312
// are status pages).
bool IsOptionPage(int32_t pageId);

// The firmware-update pages 111, 211 and 311: the device restarts after the write.
bool IsFirmwareUpdatePage(int32_t pageId);

// Pages whose write completes its second stage: every option and gateway guard page and the
// sensor, remote-control and GPIO pages. The sensor list (401) and unknown pages never do.
bool WriteSecondStageCompletes(int32_t pageId);

}  // namespace ORVAN_UXClass
