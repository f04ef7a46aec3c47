// What the device list tests run on: the recording fake window, a navigator without screens, and
// a stand-in for the probe client that opens no socket. Reports are crafted records handed to the
// screen's registered callback, on the test thread or on a listener thread of the stand-in.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "AppDelegate.h"
#include "DeviceDrmListActivity/DeviceDrmListActivity.h"
#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "orvan_test/fake_window.h"
#include "send_message_window.h"

namespace form_test {

// "drm://<vendor authority>/<kind>/<value>", the value as given (already percent-encoded).
std::string Scope(std::string_view kind, std::string_view value);

// A report record from ip with the scopes and endpoint address (each cut to its field).
std::unique_ptr<drm_probe_device> Record(
    const std::string& ip, const std::vector<std::string>& scopes,
    const std::string& endpoint = "urn:uuid:5d1b9c36-0f5e-4c1e-9a7b-0a1b2c3d4e5f");

// The probe client as the screen sees it: keeps the registration, counts starts, scans and stops,
// and, once RunListener was called, delivers reports from a thread of its own while started.
class FakeProbeClient {
  public:
    ~FakeProbeClient();

    ORVAN_UXClass::DeviceListPlatform Platform();

    // Hands a report to the registered receiver, as the listener thread does.
    void Deliver(const drm_probe_device& record, int32_t kind = DRM_PROBE_REPORT_MATCH);
    // From the next start on, a listener thread delivers next(0), next(1), ... until stopped.
    void RunListener(std::function<std::unique_ptr<drm_probe_device>(int)> next);
    // Reports the listener thread has delivered so far.
    int Delivered() const { return delivered_.load(); }

    // The registration.
    std::atomic<drm_probe_callback> callback{nullptr};
    std::atomic<drm_probe_add_entry_hook> addEntry{nullptr};
    std::atomic<void*> userData{nullptr};
    uint16_t port = 0;
    uint32_t extraInterface = 0;

    int starts = 0;
    int scans = 0;
    int stops = 0;
    bool startSucceeds = true;
    std::atomic<bool> started{false};
    // Runs when the screen stops the listener, before the listener thread is waited for.
    std::function<void()> onStop;

    // Single-address probes: offered only when set before the screen opens. A target is a word of
    // digits, dots, '/' and '-'; anything else is refused, naming it.
    bool offersScanTargets = false;
    std::string scanTargetsPath;
    std::vector<std::string> scanTargetsSet;

    int32_t linkLocalPresent = 0;
    std::string linkLocalText;
    uint32_t linkLocalAdded = 0;
    uint32_t linkLocalGeneration = 0;
    // The screen's link-local listener, as the core would call it.
    void (*linkLocalListener)(void*) = nullptr;
    void* linkLocalListenerData = nullptr;

    // Reaching: devices (network byte order) not reached directly, the checks and requests made,
    // and the screen's listener, as the reach worker would call it.
    std::set<uint32_t> unreachable;
    std::vector<std::pair<uint32_t, uint32_t>> directChecks;  // (device, arrival interface address)
    std::vector<std::pair<uint32_t, uint32_t>> reachRequests;
    void (*reachListener)(const device_reach_result&, void*) = nullptr;
    void* reachListenerData = nullptr;
    std::mutex reachMutex;

    std::wstring rightsHint;

  private:
    void StopThread();

    std::function<std::unique_ptr<drm_probe_device>(int)> next_;
    std::thread thread_;
    std::atomic<bool> run_{false};
    std::atomic<int> delivered_{0};
};

// A navigator on the fake window (960 by 540) with the device list's bitmaps declared.
class DeviceListTest : public ::testing::Test {
  protected:
    DeviceListTest();
    ~DeviceListTest() override;

    ORVAN_UXClass::DeviceDrmListActivity& Open();
    // The screen on a view whose list calls from other threads wait for this thread's pump, as
    // calls to the native list view do; PaintOnRequest pumps.
    ORVAN_UXClass::DeviceDrmListActivity& OpenWithNativeListCalls();
    void Close() { screen_.reset(); }
    ORVAN_UXClass::DeviceDrmListActivity& Screen() { return *screen_; }

    // What the view does with the messages posted since the last call: a repaint request paints
    // the screen. Returns how many repaint requests there were.
    int PaintOnRequest();
    // The rows of the list control as the fake holds them.
    std::vector<std::vector<std::wstring>> Rows() const;
    // The addresses of deviceEntries, in order.
    std::vector<std::string> EntryAddresses() const;
    int32_t Selected() const { return delegate_.device->selected_device; }
    bool WebGuiEnabled() { return Screen().webGuiButton->enabled; }

    // A press and release on a control, through the object list.
    void Click(int32_t x, int32_t y);
    void ClickScan() { Click(480, 22); }
    void ClickWebGui() { Click(550, 22); }
    void ClickRow(int32_t row);

    // A report from ip with a hardware scope (model), a name and a location, delivered and shown.
    void Show(const std::string& ip, const std::string& model);

    orvan::fake::FakeWindow window_;
    FakeProbeClient probe_;
    ORVAN_UXClass::AppDelegate delegate_{{}};

  private:
    std::unique_ptr<SendMessageWindow> sendingView_;
    std::unique_ptr<ORVAN_UXClass::DeviceDrmListActivity> screen_;
    size_t handled_ = 0;
};

}  // namespace form_test
