// The Qt window layer in a test program: one application for the whole program, and its event
// loop run on the test's thread until a condition holds.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <functional>
#include <string>

#include "orvan_wnd/host.h"

namespace orvan_test {

// Created at the first call, on the display the run gives (offscreen without one); it lives until
// the process ends, and closing a frame does not end it.
inline orvan::wnd::Application& QtTestApplication() {
    static orvan::wnd::Application* app = [] {
        if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "orvan_qt_tests";
        static char* argv[] = {name, nullptr};
        std::string error;
        orvan::wnd::Application* created =
            orvan::wnd::CreateApplication(argc, argv, "ORVANCms.AppID.NoVersion", &error).release();
        QApplication::setQuitOnLastWindowClosed(false);
        return created;
    }();
    return *app;
}

// Runs the event loop until done() or about five seconds have passed: false on the time-out.
inline bool ProcessQtEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace orvan_test
