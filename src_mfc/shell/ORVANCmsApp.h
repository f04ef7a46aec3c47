// The application object: creates the main frame, runs the message loop and closes the window
// when a termination signal asks the runtime to stop.
#pragma once

#include <memory>
#include <span>

#include "AppDelegate.h"
#include "MainFrame.h"
#include "core_runtime.h"
#include "orvan_wnd/host.h"

class CORVANCmsApp {
  public:
    static constexpr const char* kAppId = "ORVANCms.AppID.NoVersion";
    // How often the UI thread looks at the runtime's stop flag.
    static constexpr uint32_t kStopFlagPollMs = 100;

    CORVANCmsApp(orvan::wnd::Application& app, std::span<const ORVAN_UXClass::ActivityEntry> activities,
                 CoreRuntime core = CoreRuntime::Default());
    ~CORVANCmsApp();

    // Creates and shows the main frame; false ends the program at once.
    bool InitInstance();
    // The message loop; its exit code.
    int Run();
    int ExitInstance(int exitCode) { return exitCode; }
    // The About command.
    void OnAppAbout();

    CMainFrame* MainFrame() const { return frame_.get(); }

  private:
    orvan::wnd::Application& app_;
    std::span<const ORVAN_UXClass::ActivityEntry> activities_;
    CoreRuntime core_;
    // The window goes after the frame's logic, whose screens may still use it on the way out.
    std::unique_ptr<orvan::wnd::FrameWindow> window_;
    std::unique_ptr<CMainFrame> frame_;
};
