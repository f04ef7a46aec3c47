#include "DeviceDrmListActivity/DeviceDrmListActivity.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>
#include <utility>

#include "DeviceDrmListActivity/device_scan_targets.h"
#include "device_rows/device_bound.h"
#include "device_rows/SecureWebModelList.h"
#include "device_rows/device_report.h"
#include "device_rows/local_text.h"
#include "device_rows/row_text.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_net.h"
#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"
#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_messages.h"

namespace ORVAN_UXClass {

namespace {

constexpr char kConstructor[] = "ORVAN_UXClass::DeviceDrmListActivity::DeviceDrmListActivity";
constexpr char kDestructor[] = "ORVAN_UXClass::DeviceDrmListActivity::~DeviceDrmListActivity";
constexpr char kScanCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::buttonScan_OnClick";
constexpr char kOpenUrlCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::buttonOpenUrl_OnClick";
constexpr char kListClickCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::OnListClick";
constexpr char kShowRowsCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::ShowQueuedRows";
constexpr char kSortCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::OnListColumnClick";
constexpr char kCopyCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::CopyText";
constexpr char kTimerCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::OnTimer";
constexpr char kCallbackCaller[] = "device_drm_list_activity_probe_callback";
constexpr char kReachCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::OnReached";
constexpr char kScanTargetsCaller[] = "ORVAN_UXClass::DeviceDrmListActivity::LoadScanTargets";

constexpr orvan::wnd::COLORREF kWhite = 0xFFFFFF;

// The header: a white strip, then Scan and Web GUI on one line, the Home tab below the strip.
constexpr std::array<int32_t, 4> kHeaderBitmaps{400, 0, 0, 0};
constexpr std::array<int32_t, 4> kScanBitmaps{4621, 4622, 4623, 4624};
constexpr std::array<int32_t, 4> kWebGuiBitmaps{4631, 4632, 4633, 4634};
constexpr std::array<int32_t, 4> kHomeBitmaps{4721, 4722, 4723, 4724};
constexpr int32_t kHeaderX = 0;
constexpr int32_t kHeaderY = 0;
constexpr int32_t kButtonY = 21;
constexpr int32_t kScanX = 479;
constexpr int32_t kWebGuiX = 549;
constexpr int32_t kHomeX = 0;
constexpr int32_t kHomeY = 54;
// The link-local line starts this far right of the header strip.
constexpr int32_t kLabelGap = 20;
constexpr int32_t kLabelY = 21;
constexpr int32_t kLabelWidth = 180;
constexpr int32_t kLabelHeight = 16;
constexpr wchar_t kLinkLocalCaption[] = L"Link-local address: ";
// The status line runs under the list, as wide as the list.
constexpr int32_t kStatusGap = 2;
constexpr wchar_t kStatusSeparator[] = L" - ";

// The list fills the client area right of the Home tab and below the header, 20 pixels from the
// right and bottom edges as the client area was when the screen was built.
constexpr int32_t kListLeft = 171;
constexpr int32_t kListTop = 71;
constexpr int32_t kListMargin = 20;

struct Column {
    const wchar_t* heading;
    int32_t width;
};
constexpr Column kColumns[kDeviceListColumns] = {
    {L"Model", 120}, {L"MAC", 130}, {L"IP", 120}, {L"System Name", 120}, {L"Location", 110}};

ORVAN_UXButtonDesc HeaderButtonDesc(int32_t x, const std::array<int32_t, 4>& bitmapIds,
                                    ORVAN_UXCallback onClick) {
    ORVAN_UXButtonDesc desc;
    desc.cursorId = UX_HOVER_CURSOR_ID;
    desc.x = x;
    desc.y = kButtonY;
    desc.backColor = kWhite;
    desc.bitmapIds = bitmapIds;
    desc.onClick = ORVAN_UXCallbackSlot{onClick, UX_NO_ARG1, UX_NO_ARG2};
    return desc;
}

// A line of text on the white header strip, left-aligned by its owner.
ORVAN_UXLabelDesc HeaderLabelDesc(int32_t width, const std::wstring& text) {
    ORVAN_UXLabelDesc label;
    label.cursorId = UX_HOVER_CURSOR_ID;
    label.width = width;
    label.height = kLabelHeight;
    label.text = text;
    label.backColor = kWhite;
    return label;
}

DeviceDrmListActivity* Screen(void* userData) {
    return static_cast<DeviceDrmListActivity*>(userData);
}

// The add-entry hook registered with the probe client. The probe callback calls it, and the row hook
// below, with the screen's listLock held; the analysis cannot follow the lock through the hook.
void ForwardAddEntry(void* userData, const char* address, const char* manufacturer, const char* model,
                     const char* location, const char* name, const char* endpointAddress, int32_t* isNew)
    NO_THREAD_SAFETY_ANALYSIS {
    if (userData != nullptr) {
        Screen(userData)->AddDeviceEntry(address, manufacturer, model, location, name, endpointAddress,
                                         isNew);
    }
}

void ForwardAddRow(void* userData, const char* model, const char* mac, const char* address, const char* name,
                   const char* location) NO_THREAD_SAFETY_ANALYSIS {
    if (userData != nullptr) Screen(userData)->AddDeviceRow(model, mac, address, name, location);
}

std::string Text(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

uint32_t AddressValue(const std::string& text) {
    unsigned char bytes[4] = {};
    uint32_t address = 0;
    if (liborvaniot_os_net_inet_pton4(text.c_str(), bytes) == 0) std::memcpy(&address, bytes, sizeof address);
    return address;
}

std::string AddressString(uint32_t address) {
    char text[16];
    liborvaniot_os_net_format_address(address, text);
    return text;
}

}  // namespace

// listLock for a scope, when it could be created; without it no listener runs and the screen is
// used by the user-interface thread alone.
class SCOPED_CAPABILITY DeviceDrmListActivity::ListGuard {
  public:
    ListGuard(DeviceDrmListActivity& screen, const char* caller, int32_t line) ACQUIRE(screen.listLock) {
        if (screen.listLock.exists()) held_.emplace(screen.listLock, caller, line);
    }
    ~ListGuard() RELEASE() {}

  private:
    std::optional<plock_guard> held_;
};

DeviceDrmListActivity::DeviceDrmListActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                             AppDelegate* delegate)
    : DeviceDrmListActivity(view, objectList, delegate, DeviceListPlatform::Product()) {}

DeviceDrmListActivity::DeviceDrmListActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                             AppDelegate* delegate, DeviceListPlatform platform)
    : ORVAN_UXViewController(view, objectList, delegate),
      listLock(kConstructor, kDestructor, __LINE__),
      platform_(std::move(platform)) {
    CreateWidgets();
    BuildDockTree();
    PlaceWidgets();
    if (int32_t* selected = SelectedDevice()) *selected = -1;
    CreateListView();
    if (!listLock.exists()) {
        liborvaniot_os_debug_printf(kConstructor, __LINE__, "%s listLock,error !!\n", kConstructor);
    }
    Register();
    Dump();
}

DeviceDrmListActivity::~DeviceDrmListActivity() {
    // Once the listener thread has ended no report can reach this screen. Reports never wait for
    // this thread, so the wait always ends.
    if (platform_.set_link_local_listener) platform_.set_link_local_listener(nullptr, nullptr);
    // Waits for an outcome being delivered, so none reaches the screen once it is gone.
    if (platform_.set_reach_listener) platform_.set_reach_listener(nullptr, nullptr);
    // The view outlives this screen: its timer must not tick into the next one.
    view->KillTimer(kScanTimerId);
    if (platform_.listen_is_started() == 1) platform_.listen_stop();
    platform_.set_probe_callback(nullptr, nullptr, nullptr);
    // listLock goes with the screen's members, once nothing can reach it any more.
    DestroyListView();
    objectList->RemoveAll();
    deviceEntries.clear();
    queue_.clear();
    knownAddresses_.clear();
    sharing_.Clear();
    homeButton.Reset();
    webGuiButton.Reset();
    scanButton.Reset();
    scanStatusLabel.Reset();
    linkLocalLabel.Reset();
    headerBitmap.Reset();
    dockRoot.reset();
}

void DeviceDrmListActivity::CreateWidgets() {
    ORVAN_UXBitmapDesc header;
    header.cursorId = UX_HOVER_CURSOR_ID;
    header.x = kHeaderX;
    header.y = kHeaderY;
    header.backColor = kWhite;
    header.bitmapIds = kHeaderBitmaps;
    objectList->AddBitmap(this, headerBitmap, header);
    objectList->AddButton(this, scanButton, HeaderButtonDesc(kScanX, kScanBitmaps, &buttonScan_OnClick));
    objectList->AddButton(this, webGuiButton,
                          HeaderButtonDesc(kWebGuiX, kWebGuiBitmaps, &buttonOpenUrl_OnClick));
    webGuiButton->SetEnabled(false);

    if (platform_.link_local_generation) linkLocalGeneration_ = platform_.link_local_generation();
    ShowLinkLocal();

    ORVAN_UXButtonDesc home = HeaderButtonDesc(kHomeX, kHomeBitmaps, &buttonHome_OnClick);
    home.y = kHomeY;
    objectList->AddButton(this, homeButton, home);
}

void DeviceDrmListActivity::ShowLinkLocal() {
    if (platform_.link_local_present() == 0) {
        // Withdrawn while the screen is up: the line empties rather than naming a dead address.
        if (linkLocalLabel) linkLocalLabel->SetText(L"");
        return;
    }
    if (!linkLocalLabel) {
        ORVAN_UXLabelDesc label = HeaderLabelDesc(kLabelWidth, L"...");
        label.x = headerBitmap->rect.x + headerBitmap->GetWidth() + kLabelGap;
        label.y = kLabelY;
        objectList->AddLabel(this, linkLocalLabel, label);
        linkLocalLabel->alignment = 0;
    }
    linkLocalLabel->SetText(kLinkLocalCaption + WideFromLocal(platform_.link_local_text()));
    view->Invalidate(true);
}

void DeviceDrmListActivity::FollowLinkLocal() {
    if (!platform_.link_local_generation) return;
    const uint32_t generation = platform_.link_local_generation();
    if (generation == linkLocalGeneration_) return;
    linkLocalGeneration_ = generation;
    ShowLinkLocal();
    PlaceWidgets();
    // The probe client opens a channel on a new address and lets go of a vanished one.
    platform_.set_extra_interface(platform_.link_local_added_address());
}

void DeviceDrmListActivity::OnLinkLocalChanged(void* data) {
    // The core's thread: only a posted message reaches the screen from here.
    auto* self = static_cast<DeviceDrmListActivity*>(data);
    if (self != nullptr && self->view != nullptr) self->view->PostMessage(MSG_ACTIVITY_REPAINT, 0, 0);
}

void DeviceDrmListActivity::BuildDockTree() {
    dockRoot = std::make_unique<ORVAN_UXDockPos>(nullptr, 1, "Body");
    dockToolbarTop = dockRoot->AddFixedChild(0, "lpDockToolbar_Top");
    ORVAN_UXDockPos* center = dockRoot->AddFillChild(0, "lpDockCenter");
    dockRoot->AddFixedChild(0, "lpDockToolbar_Status");
    center->AddFixedChild(1, "lpDockToolbar_Left");
    ORVAN_UXDockPos* panel = center->AddFillChild(1, "lpDockPanel");
    center->AddFixedChild(1, "lpDockToolbar_Right");
    ORVAN_UXDockPos* content = panel->AddFillChild(0, "lpDockContent");
    panel->AddFixedChild(0, "lpDockToolbar_Bottom");
    content->AddFixedChild(1, "lpDockLeftSplitPanel");
    content->AddFixedChild(1, "lpDockDeviceTreeSplit");
    dockBlockRight = content->AddFillChild(1, "lpDockBlockRight");
    dockRoot->Layout(0, 0, delegate->client_width, delegate->client_height);
}

void DeviceDrmListActivity::PlaceWidgets() {
    if (linkLocalLabel) {
        linkLocalLabel->rect.x = headerBitmap->rect.x + headerBitmap->GetWidth() + kLabelGap;
        linkLocalLabel->rect.y = kLabelY;
    }
    if (scanStatusLabel) {
        const ListCorner corner = ListBottomRight();
        scanStatusLabel->rect.x = kListLeft;
        scanStatusLabel->rect.y = corner.bottom + kStatusGap;
        scanStatusLabel->rect.width = corner.right - kListLeft;
    }
    scanButton->rect.x = kScanX;
    scanButton->rect.y = kButtonY;
    webGuiButton->rect.x = kWebGuiX;
    webGuiButton->rect.y = kButtonY;
    homeButton->rect.x = kHomeX;
    homeButton->rect.y = kHomeY;
}

DeviceDrmListActivity::ListCorner DeviceDrmListActivity::ListBottomRight() const {
    // A client area smaller than the margins gives an empty list rather than an inverted one.
    return ListCorner{std::max(kListLeft, delegate->client_width - kListMargin),
                      std::max(kListTop, delegate->client_height - kListMargin)};
}

void DeviceDrmListActivity::CreateListView() {
    if (deviceListView) return;
    const ListCorner corner = ListBottomRight();
    deviceListView =
        view->CreateListControl(kDeviceListControlId, kListLeft, kListTop, corner.right, corner.bottom);
    if (!deviceListView) return;
    for (int32_t column = 0; column < kDeviceListColumns; ++column) {
        deviceListView->InsertColumn(column, kColumns[column].heading, kColumns[column].width);
    }
}

void DeviceDrmListActivity::Register() {
    platform_.set_probe_port(LIBDRM_CLIENT_PROBE_PORT);
    platform_.set_probe_callback(&device_drm_list_activity_probe_callback, &ForwardAddEntry, this);
    platform_.set_extra_interface(platform_.link_local_added_address());
    if (platform_.set_link_local_listener) platform_.set_link_local_listener(&OnLinkLocalChanged, this);
    // Outcomes are handed over under listLock: without it no reaching is offered.
    if (listLock.exists() && platform_.set_reach_listener) platform_.set_reach_listener(&OnReached, this);
    addRowHook = &ForwardAddRow;
    // Without listLock no report could be taken safely, so the listener is not started.
    if (listLock.exists() && platform_.listen_is_started() == 0) platform_.listen_start();
    LoadScanTargets();
}

bool DeviceDrmListActivity::OffersScanAddresses() const {
    return platform_.check_scan_targets && platform_.set_scan_targets;
}

void DeviceDrmListActivity::LoadScanTargets() {
    if (!OffersScanAddresses()) return;
    const std::string targets = ScanTargetsFile(platform_.scan_targets_path).Load();
    if (targets.empty()) return;
    // Edited by hand, say: a file that is no list of targets is left alone and probes nothing.
    if (const std::string error = platform_.check_scan_targets(targets); !error.empty()) {
        liborvaniot_os_debug_printf(kScanTargetsCaller, __LINE__, "saved scan targets ignored: %s\n", error.c_str());
        return;
    }
    scanTargets_ = targets;
    platform_.set_scan_targets(scanTargets_);
}

void DeviceDrmListActivity::AskScanAddresses() {
    orvan::wnd::TextPrompt prompt;
    prompt.title = L"Scan addresses";
    prompt.label =
        L"Devices behind a router answer only a probe sent to their own address. Every Scan also probes these "
        L"addresses, networks and ranges, separated by spaces (empty: none), for example "
        L"10.2.0.0/24 10.3.0.7 10.4.0.10-10.4.0.60";
    prompt.text = WideFromLocal(scanTargets_);
    prompt.check = [this](const std::wstring& text) {
        return WideFromLocal(platform_.check_scan_targets(LocalFromWide(text)));
    };
    const std::optional<std::wstring> taken = view->PromptText(prompt);
    if (!taken) return;
    scanTargets_ = LocalFromWide(*taken);
    ScanTargetsFile(platform_.scan_targets_path).Save(scanTargets_);
    platform_.set_scan_targets(scanTargets_);
    buttonScan_OnClick(this, UX_NO_ARG1, UX_NO_ARG2);
}

void DeviceDrmListActivity::DestroyListView() {
    if (!deviceListView) return;
    deviceListView->DeleteAllItems();
    for (int32_t column = kDeviceListColumns - 1; column >= 0; --column) deviceListView->DeleteColumn(column);
    if (!deviceListView->DestroyWindow())
        liborvaniot_os_debug_printf(kDestructor, __LINE__, "delete error\n");
    deviceListView.reset();
}

int32_t* DeviceDrmListActivity::SelectedDevice() const {
    return delegate != nullptr && delegate->device ? &delegate->device->selected_device : nullptr;
}

void DeviceDrmListActivity::OnPaint(orvan::wnd::DeviceContext* dc, bool active, bool locked) {
    FollowLinkLocal();
    ShowQueuedRows();
    FollowReach();
    ShowScanStatus();
    if (dc != nullptr) dc->FillSolidRect(0, 0, delegate->client_width, delegate->client_height, kWhite);
    ORVAN_UXViewController::OnPaint(dc, active, locked);
}

void DeviceDrmListActivity::OnListClick(int32_t row, int64_t* /*result*/) {
    ChooseRow(row);
}

bool DeviceDrmListActivity::ChooseRow(int32_t row) {
    if (row < 0) return false;
    bool chosen = false;
    {
        ListGuard held(*this, kListClickCaller, __LINE__);
        int32_t* selected = SelectedDevice();
        if (selected != nullptr && static_cast<size_t>(row) < deviceEntries.size()) {
            *selected = row;
            chosen = true;
        }
    }
    if (!chosen) return false;
    webGuiButton->SetEnabled(true);
    reachText_.clear();
    const std::optional<DeviceEntry> entry = SelectedEntry();
    selectedReachable_ = !entry || entry->answeredUnicast || !platform_.reaches_directly ||
                         platform_.reaches_directly(AddressValue(entry->address), entry->arrivalIfAddr);
    ShowScanStatus();
    Dump();
    return true;
}

void DeviceDrmListActivity::OnListItemActivate(int32_t row) {
    if (ChooseRow(row)) buttonOpenUrl_OnClick(this, UX_NO_ARG1, UX_NO_ARG2);
}

void DeviceDrmListActivity::OnListRightClick(int32_t row, orvan::wnd::Point point) {
    if (!ChooseRow(row)) {
        // Below the rows, or in an empty list: what can be asked of the list itself.
        if (OffersScanAddresses() &&
            view->TrackPopupMenu({{kMenuScanAddresses, L"Scan addresses..."}}, point) == kMenuScanAddresses) {
            AskScanAddresses();
        }
        return;
    }
    // Rows may arrive and move while the menu is open: what it acts on is taken now.
    const RowTexts texts = RowAt(row);
    const std::string url = SelectedUrl();
    const std::optional<DeviceEntry> entry = SelectedEntry();
    std::vector<std::wstring> devicesHere;
    if (entry) {
        devicesHere = OtherDevicesAt(entry->address);
        if (!devicesHere.empty()) {
            devicesHere.insert(devicesHere.begin(),
                               texts[kMacColumn] + L"\t" + texts[kModelColumn] + L"\t" + texts[kNameColumn]);
        }
    }
    std::vector<orvan::wnd::MenuItem> items{{kMenuOpenWebGui, L"Open Web GUI"},
                                            {kMenuCopyIp, L"Copy IP address"},
                                            {kMenuCopyMac, L"Copy MAC address"},
                                            {kMenuCopyRow, L"Copy row"}};
    if (!devicesHere.empty()) {
        items.push_back({kMenuCopyDevicesAtAddress,
                         L"Copy the " + std::to_wstring(devicesHere.size()) + L" devices at this address"});
    }
    if (OffersScanAddresses()) items.push_back({kMenuScanAddresses, L"Scan addresses..."});
    const uint32_t command = view->TrackPopupMenu(items, point);
    switch (command) {
        case kMenuOpenWebGui:
            if (entry) OpenDevice(*entry, url);
            break;
        case kMenuScanAddresses:
            AskScanAddresses();
            break;
        case kMenuCopyDevicesAtAddress: {
            std::wstring lines;
            for (const std::wstring& line : devicesHere) lines += line + L"\n";
            CopyText(lines);
            break;
        }
        case kMenuCopyIp:
            CopyText(texts[kIpColumn]);
            break;
        case kMenuCopyMac:
            CopyText(texts[kMacColumn]);
            break;
        case kMenuCopyRow:
            CopyText(TabSeparatedRow(texts));
            break;
        default:
            break;
    }
}

void DeviceDrmListActivity::OnListCopy(int32_t row) {
    if (row < 0) {
        const int32_t* selected = SelectedDevice();
        row = selected != nullptr ? *selected : -1;
    }
    if (row < 0 || static_cast<size_t>(row) >= deviceEntries.size()) return;
    CopyText(TabSeparatedRow(RowAt(row)));
}

void DeviceDrmListActivity::CopyText(const std::wstring& text) {
    if (!view->SetClipboardText(text)) {
        liborvaniot_os_debug_printf(kCopyCaller, __LINE__, "%s clipboard,error !!\n", kCopyCaller);
    }
}

void DeviceDrmListActivity::OnListColumnClick(int32_t column) {
    if (!deviceListView) return;
    const DeviceListOrder order = order_.Clicked(column);
    if (order.column == order_.column && order.ascending == order_.ascending) return;
    order_ = order;
    deviceListView->SetSortIndicator(order_.column, order_.ascending);
    {
        ListGuard held(*this, kSortCaller, __LINE__);
        const size_t count =
            std::min(deviceEntries.size(), static_cast<size_t>(std::max(0, deviceListView->GetItemCount())));
        std::vector<RowTexts> rows(count);
        for (size_t i = 0; i < count; ++i) rows[i] = RowAt(static_cast<int32_t>(i));
        std::vector<size_t> from(count);
        std::iota(from.begin(), from.end(), size_t{0});
        std::stable_sort(from.begin(), from.end(),
                         [&](size_t a, size_t b) { return RowBefore(rows[a], rows[b], order_); });
        std::vector<DeviceEntry> entries;
        entries.reserve(deviceEntries.size());
        int32_t* selected = SelectedDevice();
        int32_t moved = -1;
        for (size_t to = 0; to < count; ++to) {
            const RowTexts& texts = rows[from[to]];
            for (int32_t c = 0; c < kDeviceListColumns; ++c) {
                if (texts[c] != rows[to][c]) deviceListView->SetItemText(static_cast<int32_t>(to), c, texts[c]);
            }
            entries.push_back(std::move(deviceEntries[from[to]]));
            if (selected != nullptr && static_cast<size_t>(*selected) == from[to]) moved = static_cast<int32_t>(to);
        }
        deviceEntries = std::move(entries);
        if (selected != nullptr && *selected >= 0) MoveSelection(moved);
    }
    Dump();
}

void DeviceDrmListActivity::MoveSelection(int32_t row) {
    if (int32_t* selected = SelectedDevice()) *selected = row;
    if (deviceListView) deviceListView->SetSelectedItem(row);
}

RowTexts DeviceDrmListActivity::RowAt(int32_t row) const {
    RowTexts texts;
    for (int32_t c = 0; c < kDeviceListColumns; ++c) texts[c] = deviceListView->GetItemText(row, c);
    return texts;
}

void DeviceDrmListActivity::OnTimer(uint32_t timerId) {
    if (timerId != kScanTimerId) return;
    if (!scanStatus_.Tick()) return;
    view->KillTimer(kScanTimerId);
    bool nothing = false;
    {
        ListGuard held(*this, kTimerCaller, __LINE__);
        nothing = deviceEntries.empty() && queue_.empty();
    }
    if (nothing && deviceListView) {
        const std::wstring hint = platform_.rights_hint ? platform_.rights_hint() : std::wstring();
        deviceListView->SetEmptyText(hint.empty() ? NothingFoundText() : NothingFoundText() + L"\n" + hint);
    }
    ShowScanStatus();
}

void DeviceDrmListActivity::ShowScanStatus() {
    std::wstring text = scanStatus_.Text(deviceEntries.size());
    if (const std::wstring note = SelectedNote(); !note.empty()) {
        text += (text.empty() ? L"" : kStatusSeparator) + note;
    }
    if (!scanStatusLabel) {
        if (text.empty()) return;
        objectList->AddLabel(this, scanStatusLabel, HeaderLabelDesc(0, text));
        scanStatusLabel->alignment = 0;
        PlaceWidgets();
    }
    if (scanStatusLabel->text != text) scanStatusLabel->SetText(text);
}

std::wstring DeviceDrmListActivity::SelectedNote() {
    const std::optional<DeviceEntry> entry = SelectedEntry();
    if (!entry) return {};
    if (!reachText_.empty()) return reachText_;
    const std::wstring address = WideFromLocal(entry->address);
    std::wstring note;
    if (!selectedReachable_) note = address + L" is on another network: not reachable from here";
    const size_t others = OtherDevicesAt(entry->address).size();
    if (others > 0) {
        note += (note.empty() ? L"" : L"; ") + std::to_wstring(others + 1) + L" devices share " + address;
    }
    return note;
}

std::vector<std::wstring> DeviceDrmListActivity::OtherDevicesAt(const std::string& address) {
    ListGuard held(*this, kShowRowsCaller, __LINE__);
    return sharing_.LinesAt(address);
}

size_t DeviceDrmListActivity::DevicesHeld() const {
    return knownAddresses_.size() + sharing_.Count();
}

void DeviceDrmListActivity::AddOtherDevice(const DeviceReport& report) {
    if (DevicesHeld() >= kMaxDevicesHeld) return;
    sharing_.Add(report);
    WakeForQueuedRows();
}

void DeviceDrmListActivity::RemoveOtherDevice(const std::string& endpoint) {
    if (!sharing_.Remove(endpoint)) return;
    lastListedSender_.reset();
    WakeForQueuedRows();
}

void DeviceDrmListActivity::OnSize(int32_t cx, int32_t cy) {
    dockRoot->Layout(0, 0, cx, cy);
    PlaceWidgets();
    view->PostMessage(MSG_ACTIVITY_REPAINT, 0, 0);
}

void DeviceDrmListActivity::OnBack() {
    view->PostMessage(MSG_ACTIVITY_NAVIGATE, RequesterParam(this), kWelcomeActivityId);
}

void DeviceDrmListActivity::AddDeviceEntry(const char* address, const char* /*manufacturer*/,
                                           const char* model, const char* /*location*/, const char* /*name*/,
                                           const char* endpointAddress, int32_t* isNew) {
    if (address == nullptr || KnownAddress(address)) return;
    // Every new sender address would be a row: a host forging answers from ever new addresses must
    // not grow the list without bound.
    if (DevicesHeld() >= kMaxDevicesHeld) {
        if (!deviceBoundLogged_) {
            deviceBoundLogged_ = true;
            liborvaniot_os_debug_printf(kCallbackCaller, __LINE__,
                                        "device limit of %d reached: answers from further addresses are ignored\n",
                                        static_cast<int>(kMaxDevicesHeld));
        }
        return;
    }
    knownAddresses_.emplace(address, Text(endpointAddress));
    queue_.push_back(QueuedDevice{DeviceEntry{address, WideFromLocal(Text(model))}, std::nullopt});
    if (isNew != nullptr) *isNew = 1;
}

void DeviceDrmListActivity::AddDeviceRow(const char* model, const char* mac, const char* address,
                                         const char* name, const char* location) {
    if (address == nullptr) return;
    // The entry was queued a moment ago under the same hold of listLock: it is the newest.
    for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
        if (it->entry.address != address || it->row) continue;
        // Devices choose these bytes: control characters would break lines or drive a terminal a
        // row is pasted into, so the cells show them as U+FFFD (the entry keeps what was sent).
        it->row = RowTexts{VisibleText(WideFromLocal(Text(model))), VisibleText(WideFromLocal(Text(mac))),
                           WideFromLocal(address), VisibleText(WideFromLocal(Text(name))),
                           VisibleText(WideFromLocal(Text(location)))};
        return;
    }
}

bool DeviceDrmListActivity::KnownAddress(const std::string& address) const {
    return knownAddresses_.contains(address);
}

void DeviceDrmListActivity::WakeForQueuedRows() {
    // One paint request at a time: every row queued until that paint goes with it.
    if (!wakePosted_ && view != nullptr) wakePosted_ = view->PostMessage(MSG_ACTIVITY_REPAINT, 0, 0);
}

void DeviceDrmListActivity::ShowQueuedRows() {
    {
        ListGuard held(*this, kShowRowsCaller, __LINE__);
        wakePosted_ = false;
        if (queue_.empty()) return;
        for (QueuedDevice& queued : queue_) {
            // A device whose row cannot be shown gets no entry either, so rows and entries stay
            // parallel; a later report of it is then new again.
            const int32_t at = queued.row ? InsertDeviceRow(*queued.row) : -1;
            if (at < 0) {
                knownAddresses_.erase(queued.entry.address);
                lastListedSender_.reset();
                continue;
            }
            deviceEntries.insert(deviceEntries.begin() + std::min<size_t>(at, deviceEntries.size()),
                                 std::move(queued.entry));
            scanStatus_.NewDevice();
            // A row placed above the chosen one pushes it down: the highlight goes with it.
            int32_t* selected = SelectedDevice();
            if (selected != nullptr && *selected >= at) MoveSelection(*selected + 1);
        }
        queue_.clear();
    }
    ShowScanStatus();
    Dump();
}

int32_t DeviceDrmListActivity::InsertDeviceRow(const RowTexts& texts) {
    if (!deviceListView) return -1;
    // The first row that goes after the new one; in arrival order, none does.
    int32_t low = 0;
    int32_t high = deviceListView->GetItemCount();
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (RowBefore(texts, RowAt(middle), order_)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    const int32_t row = deviceListView->InsertItem(low, texts[0]);
    if (row < 0) return -1;
    // Column 0 already reads the model.
    for (int32_t column = 1; column < kDeviceListColumns; ++column) {
        deviceListView->SetItemText(row, column, texts[column]);
    }
    return row;
}

int DeviceDrmListActivity::buttonScan_OnClick(ORVAN_UXViewController* userData, int64_t, int64_t) {
    auto* self = static_cast<DeviceDrmListActivity*>(userData);
    if (self == nullptr) return 0;
    self->webGuiButton->SetEnabled(false);
    {
        ListGuard held(*self, kScanCaller, __LINE__);
        if (int32_t* selected = self->SelectedDevice()) *selected = -1;
        if (self->platform_.listen_is_started() == 1) {
            if (self->deviceListView) self->deviceListView->DeleteAllItems();
            self->deviceEntries.clear();
            // Rows still on their way belong to the list being emptied.
            self->queue_.clear();
            self->knownAddresses_.clear();
            self->sharing_.Clear();
            self->reachText_.clear();
            self->deviceBoundLogged_ = false;
            self->lastListedSender_.reset();
            if (self->deviceListView) self->deviceListView->SetEmptyText(L"");
            self->scanStatus_.Start();
            self->view->SetTimer(kScanTimerId, kScanTickMs);
            self->platform_.scan();
            ++self->scans_;
            if (self->dump_.enabled()) self->lastScanUnixUs_ = DeviceRowDump::NowUnixUs();
        }
    }
    self->ShowScanStatus();
    self->Dump();
    return 0;
}

int DeviceDrmListActivity::buttonOpenUrl_OnClick(ORVAN_UXViewController* userData, int64_t, int64_t) {
    auto* self = static_cast<DeviceDrmListActivity*>(userData);
    if (self == nullptr) return 0;
    // The browser starts outside the lock: reports need not wait for it.
    if (const std::optional<DeviceEntry> entry = self->SelectedEntry()) self->OpenDevice(*entry, self->SelectedUrl());
    return 0;
}

std::optional<DeviceEntry> DeviceDrmListActivity::SelectedEntry() const {
    const int32_t* selected = SelectedDevice();
    if (selected == nullptr || *selected < 0 || static_cast<size_t>(*selected) >= deviceEntries.size()) {
        return std::nullopt;
    }
    return deviceEntries[static_cast<size_t>(*selected)];
}

void DeviceDrmListActivity::OpenDevice(const DeviceEntry& entry, const std::string& url) {
    if (selectedReachable_ || !platform_.reach || !listLock.exists()) {
        OpenUrl(url);
        return;
    }
    // One reaching at a time; its page opens when it ends.
    if (!reachingUrl_.empty()) return;
    reachingUrl_ = url;
    reachText_ = L"Reaching " + WideFromLocal(entry.address) + L"...";
    ShowScanStatus();
    platform_.reach(AddressValue(entry.address), entry.arrivalIfAddr);
}

void DeviceDrmListActivity::OnReached(const device_reach_result& result, void* data) {
    auto* self = static_cast<DeviceDrmListActivity*>(data);
    if (self == nullptr) return;
    {
        plock_guard held(self->listLock, kReachCaller, __LINE__);
        self->reachResult_ = result;
    }
    if (self->view != nullptr) self->view->PostMessage(MSG_ACTIVITY_REPAINT, 0, 0);
}

void DeviceDrmListActivity::FollowReach() {
    std::optional<device_reach_result> result;
    {
        ListGuard held(*this, kReachCaller, __LINE__);
        result = std::exchange(reachResult_, std::nullopt);
    }
    if (!result || reachingUrl_.empty()) return;
    const std::string url = std::exchange(reachingUrl_, std::string());
    const std::string deviceText = AddressString(result->device);
    const std::wstring device = WideFromLocal(deviceText);
    // The status speaks of the chosen row: another may have been chosen while reaching ran.
    const std::optional<DeviceEntry> chosen = SelectedEntry();
    const bool stillChosen = chosen && chosen->address == deviceText;
    std::wstring outcome;
    switch (result->outcome) {
        case device_reach_outcome::made_reachable:
            outcome = device + L" reached through " + WideFromLocal(AddressString(result->address_used));
            [[fallthrough]];
        case device_reach_outcome::already_reachable:
            if (stillChosen) selectedReachable_ = true;
            OpenUrl(url);
            break;
        case device_reach_outcome::no_rights:
            outcome = device + L" is on another network: reaching it needs administrator rights";
            break;
        case device_reach_outcome::no_free_address:
        case device_reach_outcome::error:
            outcome = WideFromLocal(device_reach_describe(*result));
            break;
    }
    if (stillChosen) reachText_ = outcome;
    ShowScanStatus();
    if (result->outcome == device_reach_outcome::no_rights && platform_.no_rights_text) {
        view->ShowNotice(WideFromLocal(platform_.no_rights_text(deviceText)));
    }
}

std::string DeviceDrmListActivity::SelectedUrl() {
    ListGuard held(*this, kOpenUrlCaller, __LINE__);
    const int32_t* selected = SelectedDevice();
    if (selected == nullptr || *selected < 0 || static_cast<size_t>(*selected) >= deviceEntries.size()) return {};
    const DeviceEntry& entry = deviceEntries[static_cast<size_t>(*selected)];
    return (IsSecureWebModel(entry) ? "https://" : "http://") + entry.address;
}

void DeviceDrmListActivity::OpenUrl(const std::string& url) {
    if (!url.empty() && (view == nullptr || !view->OpenUrl(url))) {
        liborvaniot_os_debug_printf(kOpenUrlCaller, __LINE__, "%s open %s,error !!\n", kOpenUrlCaller,
                                    url.c_str());
    }
}

int DeviceDrmListActivity::buttonHome_OnClick(ORVAN_UXViewController*, int64_t, int64_t) {
    return 0;
}

void DeviceDrmListActivity::Dump() const {
    if (!dump_.enabled()) return;
    const int32_t* selected = SelectedDevice();
    dump_.Write(deviceListView.get(), kDeviceListColumns,
                DeviceListState{scans_, lastScanUnixUs_, selected != nullptr ? *selected : -1,
                                webGuiButton && webGuiButton->enabled});
}

void device_drm_list_activity_probe_callback(drm_probe_device* record, int32_t kind,
                                             drm_probe_add_entry_hook addEntry, void* userData) {
    if (record == nullptr || userData == nullptr) return;
    if (kind != DRM_PROBE_REPORT_MATCH && kind != DRM_PROBE_REPORT_HELLO && kind != DRM_PROBE_REPORT_BYE) return;
    DeviceDrmListActivity* screen = Screen(userData);
    if (!screen->listLock.exists()) return;
    plock_guard held(screen->listLock, kCallbackCaller, __LINE__);
    const std::string_view endpoint(record->endpoint_address,
                                    strnlen(record->endpoint_address, DRM_PROBE_ENDPOINT_SIZE));
    if (kind == DRM_PROBE_REPORT_BYE) {
        // The row stays; a further device at its address that says Bye is no longer counted.
        screen->RemoveOtherDevice(std::string(endpoint));
        return;
    }
    // A listed device costs one look-up: its scopes, however many, are decoded only the first time.
    // The reports of one datagram share their sender, so the last one found listed is remembered.
    const uint32_t sender = record->sender.sin_addr.s_addr;
    if (screen->lastListedSender_ && screen->lastListedSender_->sender == sender &&
        screen->lastListedSender_->endpoint == endpoint) {
        return;
    }
    const std::string address = AddressText(record->sender);
    if (const auto known = screen->knownAddresses_.find(address); known != screen->knownAddresses_.end()) {
        if (known->second != endpoint && !screen->sharing_.Holds(address, endpoint)) {
            // Another device answers from a listed address: one row per address, but it is named.
            const std::optional<DeviceReport> report = ReadDeviceReport(*record, kind);
            if (!report) return;
            screen->AddOtherDevice(*report);
        }
        screen->lastListedSender_ = DeviceDrmListActivity::ListedReport{sender, std::string(endpoint)};
        return;
    }
    const std::optional<DeviceReport> report = ReadDeviceReport(*record, kind);
    if (!report) return;
    int32_t isNew = 0;
    if (addEntry != nullptr) {
        addEntry(userData, report->address.c_str(), report->manufacturer.c_str(), report->model.c_str(),
                 report->location.c_str(), report->name.c_str(), report->endpoint.c_str(), &isNew);
    }
    if (isNew != 1) return;
    if (!screen->queue_.empty()) {
        // Where the answer came in: whether this computer reaches the device directly is asked
        // when its row is chosen.
        DeviceEntry& entry = screen->queue_.back().entry;
        entry.arrivalIfAddr = record->arrival_if_addr;
        entry.answeredUnicast = record->answered_unicast != 0;
    }
    // Entry and row are queued under one hold of the lock, so a Scan takes both or neither.
    if (screen->addRowHook != nullptr) {
        screen->addRowHook(userData, report->model.c_str(), report->mac.c_str(), report->address.c_str(),
                           report->name.c_str(), report->location.c_str());
    }
    screen->WakeForQueuedRows();
}

}  // namespace ORVAN_UXClass
