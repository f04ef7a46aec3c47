#include "DeviceDrmListActivity/DeviceDrmListActivity.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "DeviceDrmListActivity/device_scan_targets.h"
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
    arrivals_.Clear();
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
        if (selected != nullptr && rows_.EntryAt(row) != nullptr) {
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
        if (OffersScanAddresses() && view->TrackPopupMenu(ListMenuItems(), point) == kMenuScanAddresses) {
            AskScanAddresses();
        }
        return;
    }
    // Rows may arrive and move while the menu is open: what it acts on is taken now.
    const RowTexts texts = rows_.At(row);
    const std::string url = SelectedUrl();
    const std::optional<DeviceEntry> entry = SelectedEntry();
    const std::vector<std::wstring> devicesHere =
        entry ? DevicesAtRow(texts, OtherDevicesAt(entry->address)) : std::vector<std::wstring>();
    const uint32_t command = view->TrackPopupMenu(RowMenuItems(devicesHere.size(), OffersScanAddresses()), point);
    if (command == kMenuOpenWebGui) {
        if (entry) OpenDevice(*entry, url);
    } else if (command == kMenuScanAddresses) {
        AskScanAddresses();
    } else if (const std::optional<std::wstring> text = RowMenuCopyText(command, texts, devicesHere)) {
        CopyText(*text);
    }
}

void DeviceDrmListActivity::OnListCopy(int32_t row) {
    if (row < 0) {
        const int32_t* selected = SelectedDevice();
        row = selected != nullptr ? *selected : -1;
    }
    if (rows_.EntryAt(row) == nullptr) return;
    CopyText(TabSeparatedRow(rows_.At(row)));
}

void DeviceDrmListActivity::CopyText(const std::wstring& text) {
    if (!view->SetClipboardText(text)) {
        liborvaniot_os_debug_printf(kCopyCaller, __LINE__, "%s clipboard,error !!\n", kCopyCaller);
    }
}

void DeviceDrmListActivity::OnListColumnClick(int32_t column) {
    if (!rows_.OrderBy(column)) return;
    {
        ListGuard held(*this, kSortCaller, __LINE__);
        rows_.Resort(SelectedDevice());
    }
    Dump();
}

void DeviceDrmListActivity::OnTimer(uint32_t timerId) {
    if (timerId != kScanTimerId) return;
    if (!scanStatus_.Tick()) return;
    view->KillTimer(kScanTimerId);
    bool nothing = false;
    {
        ListGuard held(*this, kTimerCaller, __LINE__);
        nothing = deviceEntries.empty() && arrivals_.QueueEmpty();
    }
    if (nothing && deviceListView) {
        const std::wstring hint = platform_.rights_hint ? platform_.rights_hint() : std::wstring();
        deviceListView->SetEmptyText(hint.empty() ? NothingFoundText() : NothingFoundText() + L"\n" + hint);
    }
    ShowScanStatus();
}

void DeviceDrmListActivity::ShowScanStatus() {
    const std::wstring text = StatusLine(scanStatus_.Text(deviceEntries.size()), SelectedNote());
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
    return ChosenDeviceNote(WideFromLocal(entry->address), selectedReachable_, OtherDevicesAt(entry->address).size());
}

std::vector<std::wstring> DeviceDrmListActivity::OtherDevicesAt(const std::string& address) {
    ListGuard held(*this, kShowRowsCaller, __LINE__);
    return arrivals_.OthersAt(address);
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
    if (address == nullptr) return;
    const bool added = arrivals_.Add(address, model != nullptr ? WideFromLocal(model) : std::wstring(),
                                     endpointAddress != nullptr ? endpointAddress : "");
    if (added && isNew != nullptr) *isNew = 1;
}

void DeviceDrmListActivity::AddDeviceRow(const char* model, const char* mac, const char* address,
                                         const char* name, const char* location) {
    if (address != nullptr) arrivals_.SetRow(address, DeviceRowTexts(model, mac, address, name, location));
}

void DeviceDrmListActivity::ShowQueuedRows() {
    {
        ListGuard held(*this, kShowRowsCaller, __LINE__);
        std::vector<QueuedDevice> queued = arrivals_.TakeQueued();
        if (queued.empty()) return;
        for (QueuedDevice& device : queued) {
            // A device whose row cannot be shown gets no entry either, so rows and entries stay
            // parallel; a later report of it is then new again.
            std::string address = device.entry.address;
            if (!device.row || rows_.Insert(std::move(device.entry), *device.row, SelectedDevice()) < 0) {
                arrivals_.Forget(address);
                continue;
            }
            scanStatus_.NewDevice();
        }
    }
    ShowScanStatus();
    Dump();
}

int DeviceDrmListActivity::buttonScan_OnClick(ORVAN_UXViewController* userData, int64_t, int64_t) {
    auto* self = static_cast<DeviceDrmListActivity*>(userData);
    if (self == nullptr) return 0;
    self->webGuiButton->SetEnabled(false);
    {
        ListGuard held(*self, kScanCaller, __LINE__);
        if (int32_t* selected = self->SelectedDevice()) *selected = -1;
        if (self->platform_.listen_is_started() == 1) {
            self->rows_.Clear();
            // Rows still on their way belong to the list being emptied.
            self->arrivals_.Clear();
            self->reachText_.clear();
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
    const DeviceEntry* entry = selected != nullptr ? rows_.EntryAt(*selected) : nullptr;
    if (entry == nullptr) return std::nullopt;
    return *entry;
}

void DeviceDrmListActivity::OpenDevice(const DeviceEntry& entry, const std::string& url) {
    if (selectedReachable_ || !platform_.reach || !listLock.exists()) {
        OpenUrl(url);
        return;
    }
    // One reaching at a time; its page opens when it ends.
    if (!reachingUrl_.empty()) return;
    reachingUrl_ = url;
    reachText_ = ReachingNote(WideFromLocal(entry.address));
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
    // The status speaks of the chosen row: another may have been chosen while reaching ran.
    const std::optional<DeviceEntry> chosen = SelectedEntry();
    const bool stillChosen = chosen && chosen->address == deviceText;
    const bool opens = result->outcome == device_reach_outcome::made_reachable ||
                       result->outcome == device_reach_outcome::already_reachable;
    if (opens) {
        if (stillChosen) selectedReachable_ = true;
        OpenUrl(url);
    }
    if (stillChosen) reachText_ = ReachOutcomeNote(*result);
    ShowScanStatus();
    if (result->outcome == device_reach_outcome::no_rights && platform_.no_rights_text) {
        view->ShowNotice(WideFromLocal(platform_.no_rights_text(deviceText)));
    }
}

std::string DeviceDrmListActivity::SelectedUrl() {
    ListGuard held(*this, kOpenUrlCaller, __LINE__);
    const int32_t* selected = SelectedDevice();
    const DeviceEntry* entry = selected != nullptr ? rows_.EntryAt(*selected) : nullptr;
    return entry != nullptr ? DeviceUrl(*entry) : std::string();
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
    if (record == nullptr || userData == nullptr || !DeviceArrivals::Concerns(kind)) return;
    DeviceDrmListActivity* screen = Screen(userData);
    if (!screen->listLock.exists()) return;
    plock_guard held(screen->listLock, kCallbackCaller, __LINE__);
    screen->arrivals_.Receive(*record, kind, addEntry, screen->addRowHook, userData);
}

}  // namespace ORVAN_UXClass
