// The window tour: a test program, not the finder. It runs the finder's own shell, navigator and
// screens in a real window, and lets a script steer it through standard input (tour_control.h)
// while the script clicks with the mouse and takes screenshots. Nothing of this reaches the
// finder: it gains no option and no environment hook.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "ORVANCmsApp.h"
#include "activity_table.h"
#include "line_input.h"
#include "orvan_wnd/host.h"
#include "tour_control.h"

namespace {

// Often enough that a script never waits long for an answer; cheap for the UI thread.
constexpr uint32_t kControlPollMs = 20;

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::unique_ptr<orvan::wnd::Application> app =
        orvan::wnd::CreateApplication(argc, argv, CORVANCmsApp::kAppId, &error);
    if (!app) {
        std::fputs(error.c_str(), stderr);
        return 1;
    }
    CORVANCmsApp theApp(*app, ORVAN_UXClass::ProductActivities());
    if (!theApp.InitInstance()) return 1;

    TourControl control(*theApp.MainFrame(), ORVAN_UXClass::ProductActivities(), stdout);
    LineInput input(STDIN_FILENO);
    control.AnnounceTable();
    bool quitOnEnd = true;
    app->StartPoll(kControlPollMs, [&] {
        control.Poll();
        for (const std::string& line : input.ReadLines()) control.Run(line);
        // A script that went away without saying quit must not leave the window behind.
        if (input.Ended() && quitOnEnd) {
            quitOnEnd = false;
            control.Run("quit");
        }
    });
    return theApp.ExitInstance(theApp.Run());
}
