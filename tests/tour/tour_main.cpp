// The window tour: a test program, not the finder. It runs the finder's own shell, navigator and
// screens in a real window, and lets a script steer it through standard input (tour_control.h)
// while the script clicks with the mouse and takes screenshots. Nothing of this reaches the
// finder: it gains no option and no environment hook.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "activity_table.h"
#include "finder_start.h"
#include "line_input.h"
#include "tour_control.h"

namespace {

// Often enough that a script never waits long for an answer; cheap for the UI thread.
constexpr uint32_t kControlPollMs = 20;

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<TourControl> control;
    LineInput input(STDIN_FILENO);
    bool quitOnEnd = true;
    return RunFinder(argc, argv, [&](orvan::wnd::Application& app, CORVANCmsApp& theApp) {
        control = std::make_unique<TourControl>(*theApp.MainFrame(), ORVAN_UXClass::ProductActivities(), stdout);
        control->AnnounceTable();
        app.StartPoll(kControlPollMs, [&] {
            control->Poll();
            for (const std::string& line : input.ReadLines()) control->Run(line);
            // A script that went away without saying quit must not leave the window behind.
            if (input.Ended() && quitOnEnd) {
                quitOnEnd = false;
                control->Run("quit");
            }
        });
    });
}
