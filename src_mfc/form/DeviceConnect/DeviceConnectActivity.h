// The connect screen (activity 1003): prepares the connection to the device and counts down
// while it waits for the link to report itself ready; then opens the screen that asked for the
// connection (the navigator's pending id), or gives up on the connect-error screen.
#pragma once

#include <array>
#include <cstdint>

#include "DeviceConnect/countdown_screen.h"

namespace ORVAN_UXClass {

class DeviceConnectActivity final : public CountdownScreen {
  public:
    DeviceConnectActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);

    // Readiness words of the link, -1 while not known; the connection is up once words 4 to 6
    // (counting from 1) are 1. Whatever carries the connection writes them.
    std::array<int32_t, 6> linkConditions{-1, -1, -1, -1, -1, -1};

  protected:
    ReadinessWords Readiness() const override;
    void ResetProgress() override;
};

}  // namespace ORVAN_UXClass
