// The main frame's logic: placing the window, starting the core runtime and the first screen
// request, and the close path that winds everything down in order.
#pragma once

#include <atomic>
#include <span>

#include "AppDelegate.h"
#include "ChildView.h"
#include "core_runtime.h"
#include "orvan_wnd/host.h"

class CMainFrame final : public orvan::wnd::FrameHandler {
  public:
    // Builds the child view's logic (and with it the navigator) and registers as g_mainFrame.
    CMainFrame(std::span<const ORVAN_UXClass::ActivityEntry> activities, CoreRuntime core);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    int32_t OnCreate(orvan::wnd::FrameWindow& frame) override;
    void OnClose() override;

    // Thread-safe: the frame closes through OnClose on the UI thread.
    void PostCloseRequest();
    // Closes the frame once something (a termination signal) raised the runtime's stop flag.
    void CloseOnStopFlag();

    CChildView& ChildView() { return view_; }
    bool Closed() const { return closed_; }

  private:
    CChildView view_;
    CoreRuntime core_;
    orvan::wnd::FrameWindow* frame_ = nullptr;
    std::atomic<bool> close_posted_{false};
    bool closed_ = false;
};

// The one main frame, while it exists; screens post the close request through it.
extern CMainFrame* g_mainFrame;
