// Base of the connect and settings-transfer screens: a countdown on window timer 1000 that waits
// for the device to be ready, then moves on to the screen that asked for it, or gives up, drops
// the connection and shows the connect-error screen. Each screen says which words it waits for
// and what it does on a step that is not yet the last.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "AppDelegate.h"
#include "DeviceConnect/service_screen.h"
#include "corvaniot_network.h"
#include "orvan_ux/ux_countdown.h"
#include "orvan_ux/ux_holder.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

// The words a countdown step checks: all of them 1 means ready.
class ReadinessWords {
  public:
    ReadinessWords(std::initializer_list<int32_t> words);
    std::span<const int32_t> span() const { return {words_.data(), count_}; }

  private:
    std::array<int32_t, 5> words_{};
    size_t count_ = 0;
};

class CountdownScreen : public ORVAN_UXViewController {
  public:
    using TimerStep = void (CountdownScreen::*)();

    CountdownScreen(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate);
    ~CountdownScreen() override;

    // Runs timerStep when one is armed, whatever the timer.
    void OnTimer(uint32_t timerId) override;
    // Fresh countdowns and words, the labels, the connection prepared, the first step at once.
    void OnActivate() override;
    // Stops the countdown; a screen replaced before it finished drops the connection.
    void OnDeactivate() override;
    // Stops the countdown, drops the connection and, once per visit, asks for PrevTarget().
    void OnBack() override;

    ORVAN_UXHolder<ORVAN_UXBitmap> background;
    ORVAN_UXHolder<ORVAN_UXButton> prevButton;
    ORVAN_UXHolder<ORVAN_UXLabel> nameLabel;
    ORVAN_UXHolder<ORVAN_UXLabel> countdownLabel;
    ORVAN_UXHolder<ORVAN_UXLabel> deviceLabel;
    ORVAN_UXHolder<ORVAN_UXLabel> channelLabel;
    ORVAN_UXHolder<ORVAN_UXLabel> spareLabel;
    int32_t done = 0;     // finished: success, failure or Prev
    int32_t leaving = 0;  // the one navigation request of this visit has been posted
    TimerStep timerStep = nullptr;
    UXCountdown countdown;
    corvaniot_network* record = nullptr;

  protected:
    // The words that must all be 1 for the success path, as they stand before this step's work.
    virtual ReadinessWords Readiness() const = 0;
    // A step that is not the success path: the screen's own work (reading, writing stages).
    virtual void Progress() {}
    // Sets the screen's words and stages back to their state before the first step.
    virtual void ResetProgress() = 0;
    // Where Prev leads; asked only while no request has been posted.
    virtual int32_t PrevTarget();

    // Posts the navigation request for id unless one was posted already.
    void Request(int32_t id);

  private:
    void CountdownStep();
    void StopTimer();
    void ShowCountdown(int32_t seconds);
};

}  // namespace ORVAN_UXClass
