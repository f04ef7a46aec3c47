// The finder's start, shared by its program and the test programs that run it whole: the window
// layer on the desktop's display, the application with the product's screens, the message loop.
#pragma once

#include <functional>

#include "ORVANCmsApp.h"
#include "orvan_wnd/host.h"

// What runs once the main window is up, just before the message loop.
using FinderStarted = std::function<void(orvan::wnd::Application&, CORVANCmsApp&)>;

// Runs the finder until its window closes; gives the process's exit status. A window layer that
// cannot start says why on standard error.
int RunFinder(int argc, char** argv, const FinderStarted& started = {});
