#include "DeviceDrmListActivity/device_arrivals.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "device_rows/device_bound.h"
#include "device_rows/device_report.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "orvan_ux/ux_messages.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

namespace {

// Reports arrive through the device list's probe callback, and its log lines name it.
constexpr char kCallbackCaller[] = "device_drm_list_activity_probe_callback";

}  // namespace

bool DeviceArrivals::Concerns(int32_t kind) {
    return kind == DRM_PROBE_REPORT_MATCH || kind == DRM_PROBE_REPORT_HELLO || kind == DRM_PROBE_REPORT_BYE;
}

void DeviceArrivals::Receive(const drm_probe_device& record, int32_t kind, drm_probe_add_entry_hook addEntry,
                             DeviceRowHook addRow, void* userData) {
    if (!Concerns(kind)) return;
    const std::string_view endpoint(record.endpoint_address,
                                    strnlen(record.endpoint_address, DRM_PROBE_ENDPOINT_SIZE));
    if (kind == DRM_PROBE_REPORT_BYE) {
        // The row stays; a further device at its address that says Bye is no longer counted.
        RemoveOther(std::string(endpoint));
        return;
    }
    // A listed device costs one look-up: its scopes, however many, are decoded only the first time.
    // The reports of one datagram share their sender, so the last one found listed is remembered.
    const uint32_t sender = record.sender.sin_addr.s_addr;
    if (lastListedSender_ && lastListedSender_->sender == sender && lastListedSender_->endpoint == endpoint) return;
    const std::string address = AddressText(record.sender);
    if (const auto known = knownAddresses_.find(address); known != knownAddresses_.end()) {
        if (known->second != endpoint && !sharing_.Holds(address, endpoint)) {
            // Another device answers from a listed address: one row per address, but it is named.
            const std::optional<DeviceReport> report = ReadDeviceReport(record, kind);
            if (!report) return;
            AddOther(*report);
        }
        lastListedSender_ = ListedReport{sender, std::string(endpoint)};
        return;
    }
    const std::optional<DeviceReport> report = ReadDeviceReport(record, kind);
    if (!report) return;
    int32_t isNew = 0;
    if (addEntry != nullptr) {
        addEntry(userData, report->address.c_str(), report->manufacturer.c_str(), report->model.c_str(),
                 report->location.c_str(), report->name.c_str(), report->endpoint.c_str(), &isNew);
    }
    if (isNew != 1) return;
    if (!queue_.empty()) {
        // Where the answer came in: whether this computer reaches the device directly is asked
        // when its row is chosen.
        DeviceEntry& entry = queue_.back().entry;
        entry.arrivalIfAddr = record.arrival_if_addr;
        entry.answeredUnicast = record.answered_unicast != 0;
    }
    // Entry and row are queued under one hold of the lock, so a Scan takes both or neither.
    if (addRow != nullptr) {
        addRow(userData, report->model.c_str(), report->mac.c_str(), report->address.c_str(), report->name.c_str(),
               report->location.c_str());
    }
    Wake();
}

bool DeviceArrivals::Add(const std::string& address, std::wstring model, std::string endpoint) {
    if (knownAddresses_.contains(address)) return false;
    // Every new sender address would be a row: a host forging answers from ever new addresses must
    // not grow the list without bound.
    if (Held() >= kMaxDevicesHeld) {
        if (!boundLogged_) {
            boundLogged_ = true;
            liborvaniot_os_debug_printf(kCallbackCaller, __LINE__,
                                        "device limit of %d reached: answers from further addresses are ignored\n",
                                        static_cast<int>(kMaxDevicesHeld));
        }
        return false;
    }
    knownAddresses_.emplace(address, std::move(endpoint));
    queue_.push_back(QueuedDevice{DeviceEntry{address, std::move(model)}, std::nullopt});
    return true;
}

void DeviceArrivals::SetRow(const std::string& address, RowTexts row) {
    // The entry was queued a moment ago under the same hold of the lock: it is the newest.
    for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
        if (it->entry.address != address || it->row) continue;
        it->row = std::move(row);
        return;
    }
}

std::vector<QueuedDevice> DeviceArrivals::TakeQueued() {
    wakePosted_ = false;
    return std::exchange(queue_, {});
}

void DeviceArrivals::Forget(const std::string& address) {
    knownAddresses_.erase(address);
    lastListedSender_.reset();
}

void DeviceArrivals::Clear() {
    queue_.clear();
    knownAddresses_.clear();
    sharing_.Clear();
    lastListedSender_.reset();
    boundLogged_ = false;
}

void DeviceArrivals::AddOther(const DeviceReport& report) {
    if (Held() >= kMaxDevicesHeld) return;
    sharing_.Add(report);
    Wake();
}

void DeviceArrivals::RemoveOther(const std::string& endpoint) {
    if (!sharing_.Remove(endpoint)) return;
    lastListedSender_.reset();
    Wake();
}

void DeviceArrivals::Wake() {
    // One paint request at a time: every row queued until that paint goes with it.
    if (!wakePosted_ && view_ != nullptr) wakePosted_ = view_->PostMessage(MSG_ACTIVITY_REPAINT, 0, 0);
}

}  // namespace ORVAN_UXClass
