#include "DeviceDrmListActivity/device_list_status.h"

namespace ORVAN_UXClass {

namespace {

constexpr int32_t kQuietTicks = 1000 / kScanTickMs;
constexpr int32_t kMostTicks = 3000 / kScanTickMs;

}  // namespace

void ScanStatus::Start() {
    state_ = State::scanning;
    ticks_ = 0;
    quietTicks_ = 0;
}

void ScanStatus::NewDevice() {
    quietTicks_ = 0;
}

bool ScanStatus::Tick() {
    if (state_ != State::scanning) return false;
    ++ticks_;
    ++quietTicks_;
    if (quietTicks_ < kQuietTicks && ticks_ < kMostTicks) return false;
    state_ = State::done;
    return true;
}

std::wstring ScanStatus::Text(size_t devices) const {
    switch (state_) {
        case State::idle:
            return {};
        case State::scanning:
            return L"Scanning...";
        case State::done:
            break;
    }
    return devices == 1 ? L"1 device" : std::to_wstring(devices) + L" devices";
}

const std::wstring& NothingFoundText() {
    static const std::wstring text =
        L"No device answered. A firewall may block UDP port 13702 or multicast to 239.255.255.250.\n"
        L"Discovery does not cross routers (another subnet), and a device that is still starting "
        L"answers a Scan a few seconds later.";
    return text;
}

}  // namespace ORVAN_UXClass
