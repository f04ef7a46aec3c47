// The child view's logic: it owns the navigator, forwards the view's events to the current
// screen and the UX object list, and handles the two private messages.
#pragma once

#include <memory>
#include <span>

#include "AppDelegate.h"
#include "orvan_wnd/host.h"

class CChildView final : public orvan::wnd::ViewHandler {
  public:
    // The navigator (and its connected-device record) is created here.
    explicit CChildView(std::span<const ORVAN_UXClass::ActivityEntry> activities);
    ~CChildView() override;

    // The window this logic serves, once the frame created it.
    void Attach(orvan::wnd::Window* window) { window_ = window; }
    orvan::wnd::Window* GetWindow() const { return window_; }

    // After the core runtime started (and after Attach): object list, home id, and the request
    // for the home screen.
    void SetUp();
    // The window is being destroyed: from now on its events and messages reach nobody.
    void Detach() { window_ = nullptr; }

    ORVAN_UXClass::AppDelegate& Delegate() { return *delegate_; }

    void OnSize(uint32_t type, int32_t cx, int32_t cy) override;
    void OnPaint(orvan::wnd::DeviceContext& dc) override;
    bool OnEraseBkgnd(orvan::wnd::DeviceContext& dc) override;
    void OnLButtonDown(uint32_t flags, orvan::wnd::Point point) override;
    void OnLButtonDblClk(uint32_t flags, orvan::wnd::Point point) override;
    void OnMouseMove(uint32_t flags, orvan::wnd::Point point) override;
    void OnLButtonUp(uint32_t flags, orvan::wnd::Point point) override;
    void OnTimer(uint32_t id) override;
    bool OnSetCursor(std::optional<orvan::wnd::Point> cursorClient) override;
    int64_t OnMessage(uint32_t message, int64_t wparam, int64_t lparam) override;
    void OnNotify(const orvan::wnd::ListNotification& notification, int64_t* result) override;

  private:
    orvan::wnd::Window* window_ = nullptr;
    std::unique_ptr<ORVAN_UXClass::AppDelegate> delegate_;
    bool first_paint_seen_ = false;
};

// The id of the list control whose row clicks reach the current screen.
inline constexpr int32_t kListControlId = 1;
