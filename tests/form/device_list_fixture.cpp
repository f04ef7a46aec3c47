#include "device_list_fixture.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"
#include "orvan_ux/ux_messages.h"

namespace form_test {

using ORVAN_UXClass::DeviceDrmListActivity;
using ORVAN_UXClass::DeviceListPlatform;

std::string Scope(std::string_view kind, std::string_view value) {
    return std::string("drm://") + DRM_PROBE_VENDOR_SCOPE_AUTHORITY + "/" + std::string(kind) + "/" +
           std::string(value);
}

std::unique_ptr<drm_probe_device> Record(const std::string& ip, const std::vector<std::string>& scopes,
                                         const std::string& endpoint) {
    auto record = std::make_unique<drm_probe_device>();
    std::memset(record.get(), 0, sizeof *record);
    record->sender.sin_family = AF_INET;
    inet_pton(AF_INET, ip.c_str(), &record->sender.sin_addr);
    record->device_type = DRM_PROBE_TYPE_TRANSMITTER;
    endpoint.copy(record->endpoint_address, DRM_PROBE_ENDPOINT_SIZE - 1);
    for (const std::string& scope : scopes) {
        if (record->scope_count == DRM_PROBE_MAX_SCOPES) break;
        scope.copy(record->scopes[record->scope_count++], DRM_PROBE_SCOPE_SIZE - 1);
    }
    return record;
}

FakeProbeClient::~FakeProbeClient() {
    StopThread();
}

DeviceListPlatform FakeProbeClient::Platform() {
    DeviceListPlatform platform{
        .set_probe_port = [this](uint16_t value) { port = value; },
        .set_probe_callback =
            [this](drm_probe_callback cb, drm_probe_add_entry_hook hook, void* data) {
                callback = cb;
                addEntry = hook;
                userData = data;
            },
        .set_extra_interface = [this](uint32_t address) { extraInterface = address; },
        .listen_start =
            [this] {
                ++starts;
                if (!startSucceeds) return 1;
                started = true;
                if (next_) {
                    run_ = true;
                    thread_ = std::thread([this] {
                        for (int i = 0; run_; ++i) {
                            Deliver(*next_(i));
                            ++delivered_;
                        }
                    });
                }
                return 0;
            },
        .scan =
            [this] {
                ++scans;
                return started ? 0 : 1;
            },
        .listen_stop =
            [this] {
                ++stops;
                if (onStop) onStop();
                StopThread();
                started = false;
            },
        .listen_is_started = [this] { return started ? 1 : 0; },
        .link_local_present = [this] { return linkLocalPresent; },
        .link_local_text = [this] { return linkLocalText; },
        .link_local_added_address = [this] { return linkLocalAdded; },
        .link_local_generation = [this] { return linkLocalGeneration; },
        .set_link_local_listener =
            [this](void (*listener)(void*), void* data) {
                linkLocalListener = listener;
                linkLocalListenerData = data;
            },
        .reaches_directly =
            [this](uint32_t device, uint32_t arrival) {
                std::lock_guard held(reachMutex);
                directChecks.emplace_back(device, arrival);
                return !unreachable.contains(device);
            },
        .reach =
            [this](uint32_t device, uint32_t arrival) {
                std::lock_guard held(reachMutex);
                reachRequests.emplace_back(device, arrival);
            },
        .set_reach_listener =
            [this](void (*listener)(const device_reach_result&, void*), void* data) {
                std::lock_guard held(reachMutex);
                reachListener = listener;
                reachListenerData = data;
            },
        .no_rights_text = [](const std::string& device) { return device + " cannot be reached without rights"; },
        .check_scan_targets = {},  // bound below when offered
        .set_scan_targets = {},
        .scan_targets_path = {},
        .rights_hint = [this] { return rightsHint; },
    };
    if (offersScanTargets) {
        platform.check_scan_targets = [](const std::string& targets) -> std::string {
            std::istringstream words(targets);
            for (std::string word; words >> word;) {
                if (word.find_first_not_of("0123456789./-") != std::string::npos) {
                    return "not an address, network or range: " + word;
                }
            }
            return {};
        };
        platform.set_scan_targets = [this](const std::string& targets) { scanTargetsSet.push_back(targets); };
    }
    platform.scan_targets_path = scanTargetsPath;
    return platform;
}

void FakeProbeClient::Deliver(const drm_probe_device& record, int32_t kind) {
    // The listener hands over a record it may reuse afterwards; the receiver gets its own copy.
    auto copy = std::make_unique<drm_probe_device>(record);
    if (drm_probe_callback receiver = callback.load())
        receiver(copy.get(), kind, addEntry.load(), userData.load());
}

void FakeProbeClient::RunListener(std::function<std::unique_ptr<drm_probe_device>(int)> next) {
    next_ = std::move(next);
}

void FakeProbeClient::StopThread() {
    run_ = false;
    if (thread_.joinable()) thread_.join();
}

DeviceListTest::DeviceListTest() {
    window_.AddBitmap(400, 1, 54);
    window_.AddBitmaps({4621, 4622, 4623, 4624}, 54, 17);
    window_.AddBitmaps({4631, 4632, 4633, 4634}, 84, 17);
    window_.AddBitmaps({4721, 4722, 4723, 4724}, 151, 48);
    window_.AddCursor(500);
    delegate_.view = &window_;
    delegate_.objectList = std::make_unique<ORVAN_UXClass::ORVAN_UXObjectjList>(&window_);
    delegate_.client_width = 960;
    delegate_.client_height = 540;
}

DeviceListTest::~DeviceListTest() {
    screen_.reset();
}

DeviceDrmListActivity& DeviceListTest::Open() {
    screen_ = std::make_unique<DeviceDrmListActivity>(&window_, delegate_.objectList.get(), &delegate_,
                                                      probe_.Platform());
    return *screen_;
}

DeviceDrmListActivity& DeviceListTest::OpenWithNativeListCalls() {
    sendingView_ = std::make_unique<SendMessageWindow>(window_);
    screen_ = std::make_unique<DeviceDrmListActivity>(sendingView_.get(), delegate_.objectList.get(),
                                                      &delegate_, probe_.Platform());
    return *screen_;
}

int DeviceListTest::PaintOnRequest() {
    if (sendingView_) sendingView_->Pump();
    const std::vector<orvan::fake::PostedMessage> posted = window_.PostedMessages();
    int repaints = 0;
    for (; handled_ < posted.size(); ++handled_) {
        if (posted[handled_].message != ORVAN_UXClass::MSG_ACTIVITY_REPAINT) continue;
        ++repaints;
        if (screen_) {
            orvan::fake::FakeDeviceContext dc(window_);
            screen_->OnPaint(&dc, true, false);
        }
    }
    return repaints;
}

std::vector<std::vector<std::wstring>> DeviceListTest::Rows() const {
    const auto list = window_.ListControl(ORVAN_UXClass::kDeviceListControlId);
    return list ? list->rows : std::vector<std::vector<std::wstring>>{};
}

std::vector<std::string> DeviceListTest::EntryAddresses() const {
    std::vector<std::string> addresses;
    for (const auto& entry : screen_->deviceEntries) addresses.push_back(entry.address);
    return addresses;
}

void DeviceListTest::Click(int32_t x, int32_t y) {
    delegate_.objectList->OnLButtonDown(orvan::wnd::MK_LBUTTON, {x, y});
    delegate_.objectList->OnLButtonUp(0, {x, y});
}

void DeviceListTest::ClickRow(int32_t row) {
    int64_t result = 0;
    screen_->OnListClick(row, &result);
}

void DeviceListTest::Show(const std::string& ip, const std::string& model) {
    probe_.Deliver(*Record(ip, {Scope("hardware", model), Scope("name", "cam"), Scope("location", "lab")}));
    PaintOnRequest();
}

}  // namespace form_test
