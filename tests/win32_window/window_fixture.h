// A real Win32 frame and child view for the window layer's tests: the application, a frame placed
// as the finder places its own, a handler that records every view event, and a message pump that
// waits for a condition.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "win32_util.h"

namespace win32_test {

using namespace orvan::wnd;

// Records the view's sizes, paints and list notifications; a test may add what a paint draws.
class RecordingView final : public ViewHandler {
  public:
    void OnSize(uint32_t type, int32_t cx, int32_t cy) override { sizes.push_back(Size{cx, cy}); }
    void OnPaint(DeviceContext& dc) override {
        ++paints;
        if (paint) paint(dc);
    }
    bool OnEraseBkgnd(DeviceContext&) override {
        ++erases;
        return false;
    }
    void OnLButtonDown(uint32_t, Point) override {}
    void OnLButtonDblClk(uint32_t, Point) override {}
    void OnMouseMove(uint32_t, Point) override {}
    void OnLButtonUp(uint32_t, Point) override {}
    void OnTimer(uint32_t) override {}
    bool OnSetCursor(std::optional<Point>) override { return false; }
    int64_t OnMessage(uint32_t, int64_t, int64_t) override { return 0; }
    void OnNotify(const ListNotification& notification, int64_t*) override { notes.push_back(notification); }

    std::vector<Size> sizes;
    int paints = 0;
    int erases = 0;
    std::function<void(DeviceContext&)> paint;
    std::vector<ListNotification> notes;
};

// Does at creation what the finder's frame does: the view, no maximise box, no menu, the place
// the metric formula gives.
class PlacingFrame final : public FrameHandler {
  public:
    explicit PlacingFrame(ViewHandler& view) : view_handler_(view) {}
    int32_t OnCreate(FrameWindow& frame) override;
    void OnClose() override { ++closes; }

    Window* view = nullptr;
    ScreenMetrics metrics;
    int32_t left = 0;
    int32_t top = 0;
    int closes = 0;

  private:
    ViewHandler& view_handler_;
};

// Runs messages until done() holds or the time is up; done() once more as the result.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));
// Runs the messages that are waiting now.
void PumpPending();

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    HWND FrameHwnd() const;
    HWND ViewHwnd() const;

    std::unique_ptr<Application> app_;
    RecordingView view_handler_;
    PlacingFrame frame_handler_{view_handler_};
    std::unique_ptr<FrameWindow> frame_;
    Window* view_ = nullptr;
};

}  // namespace win32_test
