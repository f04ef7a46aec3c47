// A view handler for the contract's real layers: journals the messages and timer ticks that reach
// the view, and whether each came on the thread that made the handler (the UI thread).
#pragma once

#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "orvan_wnd/host.h"
#include "window_contract.h"

namespace contract {

class RecordingHandler final : public orvan::wnd::ViewHandler {
  public:
    void OnSize(uint32_t, int32_t, int32_t) override {}
    void OnPaint(orvan::wnd::DeviceContext&) override {}
    bool OnEraseBkgnd(orvan::wnd::DeviceContext&) override { return false; }
    void OnLButtonDown(uint32_t, orvan::wnd::Point) override {}
    void OnLButtonDblClk(uint32_t, orvan::wnd::Point) override {}
    void OnMouseMove(uint32_t, orvan::wnd::Point) override {}
    void OnLButtonUp(uint32_t, orvan::wnd::Point) override {}
    void OnTimer(uint32_t id) override {
        std::lock_guard lock(mutex_);
        ticks_.push_back(id);
    }
    bool OnSetCursor(std::optional<orvan::wnd::Point>) override { return false; }
    int64_t OnMessage(uint32_t message, int64_t wparam, int64_t lparam) override {
        std::lock_guard lock(mutex_);
        messages_.push_back({message, wparam, lparam});
        on_ui_thread_ = on_ui_thread_ && std::this_thread::get_id() == ui_thread_;
        return 0;
    }
    void OnNotify(const orvan::wnd::ListNotification&, int64_t*) override {}

    std::vector<Posted> Messages() {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    bool OnUiThreadOnly() {
        std::lock_guard lock(mutex_);
        return on_ui_thread_;
    }
    std::vector<uint32_t> Ticks() {
        std::lock_guard lock(mutex_);
        return ticks_;
    }

  private:
    const std::thread::id ui_thread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::vector<Posted> messages_;
    std::vector<uint32_t> ticks_;
    bool on_ui_thread_ = true;
};

}  // namespace contract
