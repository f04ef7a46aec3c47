#include "MainFrame.h"

#include "frame_geometry.h"
#include "liborvaniot_os/liborvaniot_os_stop.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

CMainFrame* g_mainFrame = nullptr;

CMainFrame::CMainFrame(std::span<const ORVAN_UXClass::ActivityEntry> activities, CoreRuntime core)
    : view_(activities), core_(std::move(core)) {
    g_mainFrame = this;
}

CMainFrame::~CMainFrame() {
    if (g_mainFrame == this) g_mainFrame = nullptr;
}

int32_t CMainFrame::OnCreate(orvan::wnd::FrameWindow& frame) {
    frame_ = &frame;
    orvan::wnd::Window* window = frame.CreateView(view_);
    if (window == nullptr) {
        frame_ = nullptr;  // the creation fails and the frame goes away
        return -1;
    }
    view_.Attach(window);
    frame.RemoveMaximizeBox();
    const orvan::wnd::ScreenMetrics metrics = frame.GetScreenMetrics();
    frame.RemoveMenu();
    const FrameRect rect = ComputeFrameRect(metrics);
    frame.MoveWindow(rect.left, rect.top, rect.width, rect.height);
    if (core_.initialize() != 0) {
        // No screen without a runtime: the window closes again through the normal close path.
        if (g_mainFrame != nullptr) g_mainFrame->PostCloseRequest();
    } else {
        view_.SetUp();
    }
    return 0;
}

void CMainFrame::OnClose() {
    if (closed_) return;
    closed_ = true;
    // Workers start winding down while the screen is taken apart.
    liborvaniot_os_raise_stop();
    ORVAN_UXClass::AppDelegate& delegate = view_.Delegate();
    if (ORVAN_UXClass::ORVAN_UXViewController* current = delegate.current_activity) {
        if (current->deactivated == 0) current->OnDeactivate();
        current->MarkDeactivated();
        delegate.current_activity = nullptr;
        // current_activity_id still names the screen's slot, so the release deletes it.
        delegate.release_current_activity();
    }
    core_.finalize();
    // The default close destroys the window; requests still queued for it must find nobody.
    view_.Detach();
}

void CMainFrame::PostCloseRequest() {
    if (frame_ == nullptr) return;
    close_posted_ = true;
    frame_->PostClose();
}

void CMainFrame::CloseOnStopFlag() {
    if (closed_ || close_posted_ || liborvaniot_os_stop_flag.load() == 0) return;
    PostCloseRequest();
}
