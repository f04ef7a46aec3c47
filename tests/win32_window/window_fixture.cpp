#include "window_fixture.h"

#include <string>

#include "win32_child_view.h"
#include "win32_frame.h"

namespace win32_test {

int32_t PlacingFrame::OnCreate(FrameWindow& frame) {
    view = frame.CreateView(view_handler_);
    if (view == nullptr) return -1;
    frame.RemoveMaximizeBox();
    metrics = frame.GetScreenMetrics();
    frame.RemoveMenu();
    left = (metrics.screenWidth - 960) / 2;
    top = (metrics.screenHeight - 540) / 2;
    frame.MoveWindow(left, top, 960 + 4 * metrics.dlgFrameWidth + 4 * metrics.borderWidth,
                     540 + 4 * metrics.dlgFrameHeight + 4 * metrics.borderHeight + metrics.captionHeight);
    return 0;
}

void PumpPending() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<int64_t>(left.count(), 20)),
                                  QS_ALLINPUT);
        PumpPending();
    }
    return done();
}

void WindowTest::SetUp() {
    int argc = 1;
    char name[] = "orvan_win32_window_tests";
    char* argv[] = {name, nullptr};
    std::string error;
    app_ = CreateApplication(argc, argv, "Orvan.WindowTests", &error);
    ASSERT_NE(app_, nullptr) << error;
    frame_ = app_->CreateFrame(frame_handler_);
    ASSERT_NE(frame_, nullptr);
    view_ = frame_handler_.view;
    frame_->SetTitle(L"Window test");
    frame_->Show();
    PumpPending();
}

void WindowTest::TearDown() {
    frame_.reset();
    PumpPending();
    app_.reset();
}

HWND WindowTest::FrameHwnd() const {
    return static_cast<win32::Win32Frame*>(frame_.get())->Hwnd();
}

HWND WindowTest::ViewHwnd() const {
    return static_cast<win32::Win32ChildView*>(view_)->Hwnd();
}

}  // namespace win32_test
