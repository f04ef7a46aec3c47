// Base of the settings read and write screens: the connect screen's countdown with four link
// words (3 and 4 decide), and a Prev that reconnects to the settings menu the page came from.
#pragma once

#include <array>
#include <cstdint>

#include "DeviceConnect/countdown_screen.h"

namespace ORVAN_UXClass {

class SettingTransferScreen : public CountdownScreen {
  public:
    SettingTransferScreen(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);

    // Readiness words of the link, -1 while not known; the transfer may go on once words 3 and 4
    // (counting from 1) are 1. Whatever carries the connection writes them.
    std::array<int32_t, 4> linkWords{-1, -1, -1, -1};

  protected:
    bool LinkReady() const { return linkWords[2] == 1 && linkWords[3] == 1; }
    // The settings menu the page came from (the navigator's return id), through a new
    // connection; the start screen when there is none.
    int32_t PrevTarget() override;
};

}  // namespace ORVAN_UXClass
