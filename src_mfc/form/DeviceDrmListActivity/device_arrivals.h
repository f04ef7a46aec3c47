// How devices reach the device list from the listener thread: the sender addresses listed or
// queued so far, the new devices queued for the user-interface thread, the devices sharing a
// listed address, and the one repaint request that brings a batch over. The listener thread never
// waits for the user-interface thread. The owner guards the whole object with one lock, held for
// every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "DeviceDrmListActivity/device_address_sharing.h"
#include "DeviceDrmListActivity/device_list_order.h"
#include "device_rows/DeviceEntry.h"
#include "liborvaniot_drm_client/libdrm_client_probe_message.h"

namespace orvan::wnd {
class Window;
}

namespace ORVAN_UXClass {

// Queues the row of a new device (user data = the screen; the caller holds its listLock).
using DeviceRowHook = void (*)(void* userData, const char* model, const char* mac, const char* address,
                               const char* name, const char* location);

// A new device on its way to the list: its entry, and its row once the row hook gave it.
struct QueuedDevice {
    DeviceEntry entry;
    std::optional<RowTexts> row;
};

class DeviceArrivals {
  public:
    // view receives the repaint requests (none without one).
    explicit DeviceArrivals(orvan::wnd::Window* view) : view_(view) {}
    DeviceArrivals(const DeviceArrivals&) = delete;
    DeviceArrivals& operator=(const DeviceArrivals&) = delete;

    // Matches, hellos and byes; any other kind of report is turned away before the lock is taken.
    static bool Concerns(int32_t kind);

    // Listener thread: one report. A match or hello with scopes from a sender not yet listed or
    // queued goes through addEntry and, when that said it is new, addRow (both with userData), and
    // the user-interface thread is asked for a paint. Another device answering from a listed
    // address is noted as sharing it; its Bye forgets it again. Anything else changes nothing.
    void Receive(const drm_probe_device& record, int32_t kind, drm_probe_add_entry_hook addEntry,
                 DeviceRowHook addRow, void* userData);

    // A device from an address not yet listed or queued is queued: true. A known address, or a new
    // one once kMaxDevicesHeld devices are held (logged once per list), changes nothing: false.
    bool Add(const std::string& address, std::wstring model, std::string endpoint);
    // The row texts of the device just queued from address (the newest one without a row).
    void SetRow(const std::string& address, RowTexts row);

    // User-interface thread: the queued devices in arrival order, leaving the queue empty; the
    // next new device asks for a paint again.
    std::vector<QueuedDevice> TakeQueued();
    // A taken device that did not reach the list: a later report of it is new again.
    void Forget(const std::string& address);
    // Scan: nothing listed, queued or sharing an address any more, and the bound may be logged again.
    void Clear();
    bool QueueEmpty() const { return queue_.empty(); }
    // The devices answering from address beyond its row's own, as "MAC<tab>model<tab>name" lines.
    std::vector<std::wstring> OthersAt(const std::string& address) const { return sharing_.LinesAt(address); }

  private:
    // The report most recently found listed: its sender (network byte order) and endpoint.
    struct ListedReport {
        uint32_t sender = 0;
        std::string endpoint;
    };

    // A further device answering from a listed address: noted, within the device bound.
    void AddOther(const DeviceReport& report);
    // A Bye: the device leaves the others at its address.
    void RemoveOther(const std::string& endpoint);
    // Listed, queued or answering from a listed address: what the device bound counts.
    size_t Held() const { return knownAddresses_.size() + sharing_.Count(); }
    // Asks the user-interface thread once for a paint that shows the queue.
    void Wake();

    orvan::wnd::Window* view_;
    // New devices whose rows have not reached the list yet, in arrival order; emptied by Scan
    // together with the entries, so nothing queued before a Scan shows after it.
    std::vector<QueuedDevice> queue_;
    // Addresses listed or queued, each with the endpoint of the device its row is for: every report
    // looks its sender up here first.
    std::unordered_map<std::string, std::string> knownAddresses_;
    // Further devices answering from listed addresses.
    AddressSharing sharing_;
    // The report most recently found listed; forgotten whenever an address leaves the set.
    std::optional<ListedReport> lastListedSender_;
    bool wakePosted_ = false;
    // Logged once per list: the device bound turned a sender away.
    bool boundLogged_ = false;
};

}  // namespace ORVAN_UXClass
