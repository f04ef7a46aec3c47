// The welcome screen (activity 1000): Quit closes the program, Test goes back to the device
// list. The second time in a run that it becomes current, it closes the program by itself.
#pragma once

#include <cstdint>
#include <memory>

#include "AppDelegate.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

// Set once the welcome screen has been shown; never cleared while the program runs.
extern int32_t welcome_shown;

class WelcomeActivity final : public ORVAN_UXViewController {
  public:
    WelcomeActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);
    ~WelcomeActivity() override;

    // Adds the Quit and Test buttons.
    void CreateView() override;
    void OnActivate() override;
    void OnBack() override;

    static int OnQuitClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);
    static int OnTestClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);

    ORVAN_UXHolder<ORVAN_UXBitmap> background;
    ORVAN_UXHolder<ORVAN_UXButton> quitButton;
    ORVAN_UXHolder<ORVAN_UXButton> testButton;
    int32_t leaving = 0;  // the screen has asked for the next one
};

// The navigator's factory for activity 1000: construction, then CreateView, then a cleared
// leaving flag.
std::unique_ptr<ORVAN_UXViewController> MakeWelcomeActivity(orvan::wnd::Window* view,
                                                            ORVAN_UXObjectjList* objectList,
                                                            AppDelegate* delegate);

}  // namespace ORVAN_UXClass
