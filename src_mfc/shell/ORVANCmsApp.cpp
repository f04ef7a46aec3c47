#include "ORVANCmsApp.h"

#include <string>

#include "liborvaniot_os/liborvaniot_os_stop.h"
#include "resource_ids.h"

namespace {

// The window title: the first line of the main frame's string.
std::wstring FrameTitle() {
    const wchar_t* text = orvan_res_string(orvan::res::kStringMainFrame);
    if (text == nullptr) return {};
    std::wstring title(text);
    return title.substr(0, title.find(L'\n'));
}

}  // namespace

CORVANCmsApp::CORVANCmsApp(orvan::wnd::Application& app,
                           std::span<const ORVAN_UXClass::ActivityEntry> activities, CoreRuntime core)
    : app_(app), activities_(activities), core_(std::move(core)) {}

CORVANCmsApp::~CORVANCmsApp() {
    frame_.reset();
    window_.reset();
}

bool CORVANCmsApp::InitInstance() {
    frame_ = std::make_unique<CMainFrame>(activities_, core_);
    window_ = app_.CreateFrame(*frame_);
    if (!window_) return false;
    window_->SetTitle(FrameTitle());
    window_->Show();
    // Ctrl+C or SIGTERM raise the stop flag from a signal handler; the window then closes through
    // its normal path, so the runtime still stops cleanly and reports leaks. The stop descriptor
    // wakes the window at once; without one, the flag is polled.
    const auto closeOnStop = [this] {
        if (frame_) frame_->CloseOnStopFlag();
    };
    if (const liborvaniot_os_socket stop = liborvaniot_os_stop_descriptor(); stop != LIBORVANIOT_OS_INVALID_SOCKET) {
        app_.WatchOnce(stop, closeOnStop);
    } else {
        app_.StartPoll(kStopFlagPollMs, closeOnStop);
    }
    return true;
}

int CORVANCmsApp::Run() {
    return app_.Run();
}

void CORVANCmsApp::OnAppAbout() {
    app_.RunAboutDialog();
}
