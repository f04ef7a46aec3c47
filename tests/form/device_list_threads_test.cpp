// The device list with reports arriving on a listener thread while the user-interface thread
// paints, scans, clicks and finally destroys the screen.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "device_rows/SecureWebModelList.h"
#include "device_rows/local_text.h"
#include "device_list_fixture.h"

namespace form_test {
namespace {

using namespace std::chrono_literals;

// Report i comes from one of 600 addresses; an address always announces the same model, half of
// them a secure one, so a row can be checked against its entry.
std::unique_ptr<drm_probe_device> Numbered(int i) {
    const int device = i % 600;
    const std::string ip = "10.0." + std::to_string(device / 200) + "." + std::to_string(device % 200 + 1);
    const std::string model = device % 2 == 0 ? "SLV-IPC4210" : "PLAIN-" + std::to_string(device);
    return Record(ip, {Scope("hardware", model), Scope("name", "n" + std::to_string(device))});
}

TEST_F(DeviceListTest, RowsAndEntriesStayParallelWhileReportsRaceWithScansAndClicks) {
    probe_.RunListener(&Numbered);
    OpenWithNativeListCalls();
    int checked = 0;
    // Rounds go on until rows have been checked at least once: a busy machine may run the
    // listener's whole share in one slice while this thread sleeps (seen under Wine), and only
    // a list that never shows a row within the deadline is a fault.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    for (int round = 0; round < 400 || probe_.Delivered() < 5000 ||
                        (checked == 0 && std::chrono::steady_clock::now() < deadline);
         ++round) {
        PaintOnRequest();
        const auto rows = Rows();
        const auto& entries = Screen().deviceEntries;
        ASSERT_EQ(rows.size(), entries.size()) << "round " << round;
        std::set<std::string> addresses;
        for (size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i][2], ORVAN_UXClass::WideFromLocal(entries[i].address)) << "row " << i;
            ASSERT_EQ(rows[i][0], entries[i].model) << "row " << i;
            ASSERT_TRUE(addresses.insert(entries[i].address).second) << entries[i].address << " listed twice";
        }
        if (!rows.empty()) {
            const int32_t last = static_cast<int32_t>(rows.size() - 1);
            ClickRow(last);
            ClickWebGui();
            const std::string scheme =
                ORVAN_UXClass::IsSecureWebModel(entries[last]) ? "https://" : "http://";
            ASSERT_EQ(window_.OpenedUrls().back(), scheme + entries[last].address);
            ++checked;
        }
        if (round % 7 == 6) {
            ClickScan();
            ASSERT_TRUE(Rows().empty());
            ASSERT_TRUE(Screen().deviceEntries.empty());
        }
        std::this_thread::sleep_for(200us);
    }
    EXPECT_GT(checked, 0);
}

TEST_F(DeviceListTest, DestroyingTheScreenWhileReportsArriveFinishes) {
    probe_.RunListener(&Numbered);
    OpenWithNativeListCalls();
    while (probe_.Delivered() < 200) {  // the window's thread runs its message loop meanwhile
        PaintOnRequest();
        std::this_thread::sleep_for(1ms);
    }
    int deliveredWhenStopping = 0;
    probe_.onStop = [&] { deliveredWhenStopping = probe_.Delivered(); };

    // A destructor that waited for a listener which waits for this thread would never return.
    std::atomic<bool> closed{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 300 && !closed; ++i) std::this_thread::sleep_for(100ms);
        if (!closed) {
            ADD_FAILURE() << "the screen's destruction hangs";
            std::abort();
        }
    });
    Close();
    closed = true;
    watchdog.join();

    EXPECT_GE(deliveredWhenStopping, 200);
    EXPECT_EQ(probe_.stops, 1);
    EXPECT_EQ(probe_.callback.load(), nullptr);
}

}  // namespace
}  // namespace form_test
