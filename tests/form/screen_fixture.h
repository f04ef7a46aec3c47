// What the management screen tests run on: the navigator with the program's own activity table,
// the recording fake window with the service screens' bitmaps, and the debug output running, so
// that tracked memory, locks and logged lines behave as in the program. The device list is never
// built here: its probe listener would reach the network.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "corvaniot_network.h"
#include "orvan_test/fake_window.h"

namespace form_test {

// The debug output and its service locks for the lifetime of the object.
class DebugRuntime {
  public:
    DebugRuntime();
    ~DebugRuntime();
    DebugRuntime(const DebugRuntime&) = delete;
    DebugRuntime& operator=(const DebugRuntime&) = delete;
};

// A connection that is open and can be dropped: a named device with a transport.
inline constexpr int32_t kOpenConnection = 7;

class ScreenTest : public ::testing::Test {
  protected:
    ScreenTest();
    ~ScreenTest() override;

    // Handles a navigation request for id as the child view would, after the start request.
    void Open(int32_t id);
    // Handles the last navigation request posted by the current screen.
    void FollowRequest();
    // What a request from elsewhere does: the current screen is replaced by no screen at all.
    void ReplaceFromElsewhere();

    template <class Screen>
    Screen& Current() {
        auto* screen = dynamic_cast<Screen*>(delegate_.current_activity);
        EXPECT_NE(screen, nullptr) << "the current screen is not of the expected kind";
        return *screen;
    }
    ORVAN_UXClass::corvaniot_network& Record() { return *delegate_.device; }
    void OpenConnection();

    // One expiry of timer 1000 delivered to the current screen.
    void Tick();
    // Ticks while timer 1000 runs and no navigation request is posted, up to limit; how many.
    int TickUntilDone(int limit = 100000);
    bool TimerRunning() const { return window_.ActiveTimers().contains(1000); }

    // Activity ids of the navigation requests posted so far (since the last Open).
    std::vector<int64_t> Requests() const;
    // A press and release at (x, y), through the object list.
    void Click(int32_t x, int32_t y);
    // "button "Prev" (10,10) 114x30", "label "..." (134,50) 100x16", "bitmap 2001 (0,0) 622x430":
    // the registered controls in order.
    std::vector<std::string> Layout() const;
    // The current screen's paint, as drawn onto the fake window.
    std::vector<std::string> Paint();

    DebugRuntime runtime_;
    orvan::fake::FakeWindow window_;
    ORVAN_UXClass::AppDelegate delegate_;

  private:
    size_t requestsFrom_ = 0;
};

}  // namespace form_test
