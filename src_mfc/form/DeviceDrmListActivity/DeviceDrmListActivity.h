// The device list (activity 1001, the start screen): runs the probe listener while it exists,
// lists every device that answers (one row per sender address; further devices answering from a
// listed address are counted and named in the row's menu), and opens the chosen device's web
// page, also from a double click, Enter or a row's menu - reaching it first when it is on a
// network this computer does not reach directly; copies rows and their addresses; sorts by a
// clicked column heading. Reports arrive on the listener thread and never wait for the user-interface thread: they
// queue their rows, and the screen moves queued rows into the list when it paints.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "device_rows/DeviceEntry.h"
#include "device_rows/device_report.h"
#include "DeviceDrmListActivity/device_arrivals.h"
#include "DeviceDrmListActivity/device_list_order.h"
#include "DeviceDrmListActivity/device_list_platform.h"
#include "DeviceDrmListActivity/device_list_rows.h"
#include "DeviceDrmListActivity/device_list_status.h"
#include "DeviceDrmListActivity/device_row_dump.h"
#include "DeviceDrmListActivity/device_row_menu.h"
#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "orvan_ux/ux_dock_pos.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

inline constexpr int32_t kDeviceListControlId = 1;
// The timer that measures a Scan (countdown screens use 1000).
inline constexpr uint32_t kScanTimerId = 1002;

class DeviceDrmListActivity final : public ORVAN_UXViewController {
  public:
    DeviceDrmListActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);
    DeviceDrmListActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate,
                          DeviceListPlatform platform);
    // Stops the listener (waiting for its thread) before anything a report could reach goes.
    ~DeviceDrmListActivity() override;

    // White background, then the queued rows go into the list, then the controls.
    void OnPaint(orvan::wnd::DeviceContext* dc, bool active, bool locked) override;
    // A row with an entry is chosen and Web GUI enabled; a click below the rows changes nothing.
    void OnListClick(int32_t row, int64_t* result) override;
    // Chooses the row and opens its page, as Web GUI does.
    void OnListItemActivate(int32_t row) override;
    // Chooses the row and offers its menu: open the page, copy the IP, the MAC or the whole row (or
    // every device at its address), and "Scan addresses..." (offered alone below the rows, also in
    // an empty list).
    void OnListRightClick(int32_t row, orvan::wnd::Point point) override;
    // Sorts the rows by the column (the other way round on a second click); the chosen device
    // keeps the highlight wherever its row goes.
    void OnListColumnClick(int32_t column) override;
    // Copies the row (the chosen one when row is -1) as tab-separated text.
    void OnListCopy(int32_t row) override;
    // Ends a Scan that has run its time: the status line gives the count, an empty list says why.
    void OnTimer(uint32_t timerId) override;
    void OnSize(int32_t cx, int32_t cy) override;
    // Asks for the welcome screen; no control of this screen runs it.
    void OnBack() override;

    // Listener thread, listLock held: a device not yet listed (or queued) is queued with its model
    // and isNew set to 1; a known address changes nothing.
    void AddDeviceEntry(const char* address, const char* manufacturer, const char* model,
                        const char* location, const char* name, const char* endpointAddress, int32_t* isNew)
        REQUIRES(listLock);
    // Listener thread, listLock held: queues the row texts of the entry just added, so that the
    // entry and its row reach the list together.
    void AddDeviceRow(const char* model, const char* mac, const char* address, const char* name,
                      const char* location) REQUIRES(listLock);
    // User-interface thread: appends the queued rows to the list view and their entries to
    // deviceEntries. Stale or repeated calls find nothing to do.
    void ShowQueuedRows();

    static int buttonScan_OnClick(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);
    static int buttonOpenUrl_OnClick(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);
    static int buttonHome_OnClick(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);

    std::unique_ptr<ORVAN_UXDockPos> dockRoot;
    ORVAN_UXDockPos* dockToolbarTop = nullptr;
    ORVAN_UXDockPos* dockBlockRight = nullptr;
    ORVAN_UXHolder<ORVAN_UXBitmap> headerBitmap;
    ORVAN_UXHolder<ORVAN_UXLabel> linkLocalLabel;  // empty without a link-local address
    // Below the list: the Scan's status and what the user must know about the chosen device;
    // empty until there is something to say.
    ORVAN_UXHolder<ORVAN_UXLabel> scanStatusLabel;
    ORVAN_UXHolder<ORVAN_UXButton> scanButton;
    ORVAN_UXHolder<ORVAN_UXButton> webGuiButton;
    ORVAN_UXHolder<ORVAN_UXButton> homeButton;
    // Entry i belongs to row i of the list view, on the user-interface thread at all times (a
    // sort moves both).
    std::vector<DeviceEntry> deviceEntries;
    std::unique_ptr<orvan::wnd::ListControl> deviceListView;
    // Guards what the listener thread (and the reach worker) hand over: the arrivals (the queue, the
    // known addresses, the devices sharing them, the last sender, the wake flag) and reaching's outcome.
    // deviceEntries is the user-interface thread's alone and needs no lock. Created with the screen
    // and freed with it; when it could not be created, no listener runs.
    tracked_lock listLock;
    DeviceRowHook addRowHook = nullptr;

  private:
    friend void device_drm_list_activity_probe_callback(drm_probe_device* record, int32_t kind,
                                                        drm_probe_add_entry_hook addEntry, void* userData);
    void CreateWidgets();
    // The link-local line as the core publishes it now: created, updated or emptied.
    void ShowLinkLocal();
    // At paint time: follows a change of the published address (line and probe channel).
    void FollowLinkLocal();
    static void OnLinkLocalChanged(void* data);
    void BuildDockTree();
    void PlaceWidgets();
    struct ListCorner {
        int32_t right = 0;
        int32_t bottom = 0;
    };
    // The list's bottom right corner (exclusive) in the client area as it is now.
    ListCorner ListBottomRight() const;
    void CreateListView();
    void Register();
    void DestroyListView();
    // OnListClick's choice: true when the row has an entry and is now the chosen one.
    bool ChooseRow(int32_t row);
    // The page of the chosen device, empty without one.
    std::string SelectedUrl();
    // The chosen device's entry, if any.
    std::optional<DeviceEntry> SelectedEntry() const;
    // Opens the device's page; one not reached directly is reached first (the page opens when
    // reaching succeeded).
    void OpenDevice(const DeviceEntry& entry, const std::string& url);
    void OpenUrl(const std::string& url);
    // Reaching's outcome, on the reach worker's thread: kept for the next paint.
    static void OnReached(const device_reach_result& result, void* data);
    // At paint time: acts on a reaching that ended (opens the page, or says why not).
    void FollowReach();
    // The devices answering from the address beyond its row's own, as "MAC  model  name" lines.
    std::vector<std::wstring> OtherDevicesAt(const std::string& address);
    // What the status says about the chosen device: empty when nothing.
    std::wstring SelectedNote();
    // The dialog for the addresses every Scan also probes; taken ones are kept, and a Scan runs.
    void AskScanAddresses();
    bool OffersScanAddresses() const;
    // Once the listener runs: the targets kept from an earlier run go to the probe client.
    void LoadScanTargets();
    void CopyText(const std::wstring& text);
    // The status line as the scan and the list stand now.
    void ShowScanStatus();
    // The chosen row in the navigator's device record, or null without one.
    int32_t* SelectedDevice() const;
    void Dump() const;

    class ListGuard;

    DeviceListPlatform platform_;
    // Devices handed over by the listener thread on their way to the list.
    DeviceArrivals arrivals_ GUARDED_BY(listLock){view};
    // The list's rows beside deviceEntries, in the order the headings chose.
    DeviceListRows rows_{deviceListView, deviceEntries};
    ScanStatus scanStatus_;
    // Reaching's outcome, from the reach worker until the next paint takes it.
    std::optional<device_reach_result> reachResult_ GUARDED_BY(listLock);
    // User-interface thread: the chosen device is reached directly; the page waiting for a
    // reaching under way (empty: none); what the last reaching came to, for the status.
    bool selectedReachable_ = true;
    std::string reachingUrl_;
    std::wstring reachText_;
    // The scan targets as the user last typed them.
    std::string scanTargets_;
    uint32_t linkLocalGeneration_ = 0;
    int32_t scans_ = 0;
    int64_t lastScanUnixUs_ = 0;  // for the row dump
    DeviceRowDump dump_;
};

// The probe client's report receiver (listener thread): a match or hello with scopes becomes a
// queued row the first time its sender address is seen, and names a further device answering from
// a listed address; that device's Bye forgets it. Other reports change nothing.
void device_drm_list_activity_probe_callback(drm_probe_device* record, int32_t kind,
                                             drm_probe_add_entry_hook addEntry, void* userData);

}  // namespace ORVAN_UXClass
