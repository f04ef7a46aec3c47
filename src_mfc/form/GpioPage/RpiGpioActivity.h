// The GPIO page (activity 701): 32 pins in four columns of eight, each with a CLR and a SET box
// showing the pin's state from the connected-device record. Choosing one turns it into a one-shot
// command that the settings-write screen sends; Prev drops the connection and returns to the start
// screen.
#pragma once

#include <array>
#include <cstdint>

#include "ManagementScreen/ManagementScreen.h"

namespace ORVAN_UXClass {

class RpiGpioActivity final : public ManagementScreen {
  public:
    static constexpr int32_t kActivityId = 701;
    // Pin p's command code is kPinCommandBase + p; its argument 0 clears, 1 sets.
    static constexpr int32_t kPinCommandBase = 1000;

    RpiGpioActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);
    ~RpiGpioActivity() override;

    void OnBack() override;

    // Click callbacks of the boxes; arg1 is the pin.
    static int OnClrClicked(ORVAN_UXViewController* userData, int64_t pin, int64_t arg2);
    static int OnSetClicked(ORVAN_UXViewController* userData, int64_t pin, int64_t arg2);

    ORVAN_UXHolder<ORVAN_UXLabel> title;
    std::array<ORVAN_UXHolder<ORVAN_UXLabel>, kGpioPinCount> gpioLabels;
    std::array<ORVAN_UXHolder<ORVAN_UXLabel>, kGpioPinCount> clrLabels;
    std::array<ORVAN_UXHolder<ORVAN_UXRadio>, kGpioPinCount> clrRadios;
    std::array<ORVAN_UXHolder<ORVAN_UXLabel>, kGpioPinCount> setLabels;
    std::array<ORVAN_UXHolder<ORVAN_UXRadio>, kGpioPinCount> setRadios;

  private:
    void BuildPin(int32_t pin, orvan::wnd::Point at);
    // Shows value (0 CLR, 1 SET) as pin's choice and asks for it to be written.
    void Choose(int64_t pin, int32_t value);
};

}  // namespace ORVAN_UXClass
