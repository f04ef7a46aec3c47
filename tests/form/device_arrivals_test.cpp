// Devices on their way from the listener thread to the list: which reports queue a device or note
// one sharing a listed address, the one repaint request that brings a batch over, and the bound on
// the devices held.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeviceDrmListActivity/device_arrivals.h"
#include "DeviceDrmListActivity/device_list_rows.h"
#include "device_list_fixture.h"
#include "device_rows/device_bound.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "orvan_test/fake_window.h"
#include "orvan_ux/ux_messages.h"

namespace form_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ORVAN_UXClass::DeviceArrivals;
using ORVAN_UXClass::QueuedDevice;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// The arrivals with hooks that do what the screen's do, counting the reports that got as far as
// them (the owner's lock is left out: one thread runs here).
class DeviceArrivalsTest : public ::testing::Test {
  protected:
    static void AddEntry(void* data, const char* address, const char*, const char* model, const char*, const char*,
                         const char* endpoint, int32_t* isNew) {
        auto* self = static_cast<DeviceArrivalsTest*>(data);
        ++self->entriesOffered_;
        if (self->arrivals_.Add(address, Wide(model), endpoint)) *isNew = 1;
    }
    static void AddRow(void* data, const char* model, const char* mac, const char* address, const char* name,
                       const char* location) {
        static_cast<DeviceArrivalsTest*>(data)->arrivals_.SetRow(
            address, ORVAN_UXClass::DeviceRowTexts(model, mac, address, name, location));
    }
    // A report of the device with endpoint "urn:uuid:<name>" from ip.
    void Receive(const std::string& ip, int32_t kind = DRM_PROBE_REPORT_HELLO, const std::string& name = "one") {
        arrivals_.Receive(*Record(ip, {Scope("hardware", "CAM-9"), Scope("name", name)}, "urn:uuid:" + name), kind,
                          &AddEntry, &AddRow, this);
    }
    // The addresses taken, each checked to carry the row of its own report.
    std::vector<std::string> Take() {
        std::vector<std::string> addresses;
        for (const QueuedDevice& device : arrivals_.TakeQueued()) {
            EXPECT_TRUE(device.row.has_value()) << device.entry.address;
            if (device.row) {
                EXPECT_EQ((*device.row)[ORVAN_UXClass::kIpColumn], Wide(device.entry.address));
                EXPECT_EQ((*device.row)[ORVAN_UXClass::kModelColumn], device.entry.model);
            }
            addresses.push_back(device.entry.address);
        }
        return addresses;
    }
    size_t Repaints() const {
        size_t count = 0;
        for (const auto& posted : window_.PostedMessages()) count += posted.message == ORVAN_UXClass::MSG_ACTIVITY_REPAINT;
        return count;
    }

    orvan::fake::FakeWindow window_;
    DeviceArrivals arrivals_{&window_};
    int entriesOffered_ = 0;
};

TEST_F(DeviceArrivalsTest, OneRepaintRequestBringsOverEveryDeviceQueuedBeforeIt) {
    Receive("10.0.0.3");
    Receive("10.0.0.1");
    Receive("10.0.0.2");
    EXPECT_EQ(Repaints(), 1u) << "the first device asks; the others ride along";
    EXPECT_THAT(Take(), ElementsAre("10.0.0.3", "10.0.0.1", "10.0.0.2"));
    EXPECT_THAT(Take(), IsEmpty()) << "a stale repaint finds nothing";
    Receive("10.0.0.4");
    EXPECT_EQ(Repaints(), 2u) << "after the paint took the queue, a new device asks again";
}

TEST_F(DeviceArrivalsTest, AListedSenderIsNotReadAgainUntilForgottenOrCleared) {
    Receive("10.0.0.1");
    Take();
    const struct {
        const char* what;
        int32_t kind;
    } repeats[] = {{"hello", DRM_PROBE_REPORT_HELLO}, {"match", DRM_PROBE_REPORT_MATCH}, {"bye", DRM_PROBE_REPORT_BYE},
                   {"an unknown kind", 7}};
    for (const auto& repeat : repeats) {
        SCOPED_TRACE(repeat.what);
        Receive("10.0.0.1", repeat.kind);
        EXPECT_EQ(entriesOffered_, 1);
    }
    Receive("10.0.0.2", DRM_PROBE_REPORT_BYE);
    EXPECT_EQ(entriesOffered_, 1) << "a bye never lists a device";

    arrivals_.Forget("10.0.0.1");  // its row could not be shown
    Receive("10.0.0.1");
    EXPECT_EQ(entriesOffered_, 2);
    EXPECT_THAT(Take(), ElementsAre("10.0.0.1"));

    arrivals_.Clear();  // Scan
    Receive("10.0.0.1");
    EXPECT_THAT(Take(), ElementsAre("10.0.0.1"));
}

TEST_F(DeviceArrivalsTest, ADeviceSharingAListedAddressIsNamedUntilItsByeAndCountsAgainWhenItReturns) {
    Receive("192.168.1.64", DRM_PROBE_REPORT_HELLO, "first");
    Take();
    const size_t repaintsBefore = Repaints();
    Receive("192.168.1.64", DRM_PROBE_REPORT_HELLO, "twin");
    Receive("192.168.1.64", DRM_PROBE_REPORT_MATCH, "twin");  // the same datagram's next report
    EXPECT_EQ(entriesOffered_, 1) << "one row per address";
    EXPECT_THAT(arrivals_.OthersAt("192.168.1.64"), ElementsAre(L"\tCAM-9\ttwin"));
    EXPECT_EQ(Repaints(), repaintsBefore + 1) << "the status and menu change with it";

    Receive("192.168.1.64", DRM_PROBE_REPORT_BYE, "first");
    EXPECT_EQ(arrivals_.OthersAt("192.168.1.64").size(), 1u) << "the row's own Bye leaves the others alone";
    Receive("192.168.1.64", DRM_PROBE_REPORT_BYE, "twin");
    EXPECT_THAT(arrivals_.OthersAt("192.168.1.64"), IsEmpty());

    // The twin is back: the sender it answered from last must not hide it now.
    Receive("192.168.1.64", DRM_PROBE_REPORT_HELLO, "twin");
    EXPECT_EQ(arrivals_.OthersAt("192.168.1.64").size(), 1u);
    arrivals_.Clear();
    EXPECT_THAT(arrivals_.OthersAt("192.168.1.64"), IsEmpty()) << "a Scan starts over";
}

TEST_F(DeviceArrivalsTest, TheBoundCountsListedQueuedAndSharingDevicesAndIsLoggedOncePerList) {
    ASSERT_EQ(liborvaniot_os_initialize(), 0);  // for the log line
    const auto address = [](size_t n) {
        return "10." + std::to_string(n >> 16) + "." + std::to_string((n >> 8) & 255) + "." + std::to_string(n & 255);
    };
    constexpr size_t kBound = ORVAN_UXClass::kMaxDevicesHeld;
    for (size_t n = 0; n < kBound / 2; ++n) ASSERT_TRUE(arrivals_.Add(address(n), L"m", "urn:uuid:" + address(n)));
    arrivals_.TakeQueued();  // these are listed now
    Receive(address(0), DRM_PROBE_REPORT_HELLO, "twin");  // shares a listed address
    ASSERT_EQ(arrivals_.OthersAt(address(0)).size(), 1u);
    for (size_t n = kBound / 2; n < kBound - 1; ++n) ASSERT_TRUE(arrivals_.Add(address(n), L"m", "urn:uuid:x"));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(arrivals_.Add(address(kBound), L"m", "urn:uuid:x"));
    EXPECT_FALSE(arrivals_.Add(address(kBound + 1), L"m", "urn:uuid:x"));
    Receive(address(1), DRM_PROBE_REPORT_HELLO, "other-twin");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_THAT(arrivals_.OthersAt(address(1)), IsEmpty()) << "no more sharing devices either";
    EXPECT_EQ(arrivals_.TakeQueued().size(), kBound / 2 - 1) << "the devices turned away were not queued";
    const std::string line = "device limit of " + std::to_string(kBound) + " reached";
    size_t lines = 0;
    for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++lines;
    EXPECT_EQ(lines, 1u) << log;

    arrivals_.Clear();
    EXPECT_TRUE(arrivals_.Add(address(kBound), L"m", "urn:uuid:x")) << "a Scan starts a new list";
    liborvaniot_os_finalize();
}

}  // namespace
}  // namespace form_test
