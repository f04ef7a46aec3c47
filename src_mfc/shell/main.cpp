// The finder program: one window on the desktop's display.
#include <cstdio>
#include <string>

#include "ORVANCmsApp.h"
#include "activity_table.h"
#include "orvan_wnd/host.h"

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
    return theApp.ExitInstance(theApp.Run());
}
