#include "finder_start.h"

#include <cstdio>
#include <string>

#include "activity_table.h"

int RunFinder(int argc, char** argv, const FinderStarted& started) {
    std::string error;
    std::unique_ptr<orvan::wnd::Application> app =
        orvan::wnd::CreateApplication(argc, argv, CORVANCmsApp::kAppId, &error);
    if (!app) {
        std::fputs(error.c_str(), stderr);
        return 1;
    }
    CORVANCmsApp theApp(*app, ORVAN_UXClass::ProductActivities());
    if (!theApp.InitInstance()) return 1;
    if (started) started(*app, theApp);
    return theApp.ExitInstance(theApp.Run());
}
