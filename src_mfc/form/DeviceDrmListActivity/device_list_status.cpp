#include "DeviceDrmListActivity/device_list_status.h"

#include "device_rows/local_text.h"
#include "liborvaniot_os/liborvaniot_os_net.h"

namespace ORVAN_UXClass {

namespace {

constexpr int32_t kQuietTicks = 1000 / kScanTickMs;
constexpr int32_t kMostTicks = 3000 / kScanTickMs;

std::wstring AddressText(uint32_t address) {
    char text[16];
    liborvaniot_os_net_format_address(address, text);
    return WideFromLocal(text);
}

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

std::wstring ChosenDeviceNote(const std::wstring& address, bool reachable, size_t others) {
    std::wstring note;
    if (!reachable) note = address + L" is on another network: not reachable from here";
    if (others > 0) note += (note.empty() ? L"" : L"; ") + std::to_wstring(others + 1) + L" devices share " + address;
    return note;
}

std::wstring ReachingNote(const std::wstring& address) {
    return L"Reaching " + address + L"...";
}

std::wstring ReachOutcomeNote(const device_reach_result& result) {
    const std::wstring device = AddressText(result.device);
    switch (result.outcome) {
        case device_reach_outcome::made_reachable:
            return device + L" reached through " + AddressText(result.address_used);
        case device_reach_outcome::already_reachable:
            return {};
        case device_reach_outcome::no_rights:
            return device + L" is on another network: reaching it needs administrator rights";
        case device_reach_outcome::no_free_address:
        case device_reach_outcome::error:
            break;
    }
    return WideFromLocal(device_reach_describe(result));
}

std::wstring StatusLine(const std::wstring& scan, const std::wstring& note) {
    if (note.empty()) return scan;
    return scan.empty() ? note : scan + L" - " + note;
}

const std::wstring& NothingFoundText() {
    static const std::wstring text =
        L"No device answered. A firewall may block UDP port 13702 or multicast to 239.255.255.250.\n"
        L"Discovery does not cross routers (another subnet), and a device that is still starting "
        L"answers a Scan a few seconds later.";
    return text;
}

}  // namespace ORVAN_UXClass
