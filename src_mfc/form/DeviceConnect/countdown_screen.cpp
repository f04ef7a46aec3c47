#include "DeviceConnect/countdown_screen.h"

#include <cstring>
#include <string>

#include "DeviceConnect/service_screen.h"
#include "device_rows/local_text.h"
#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_messages.h"

namespace ORVAN_UXClass {

namespace {

constexpr wchar_t kPlaceholder[] = L"...";

std::wstring DeviceName(const corvaniot_network& record) {
    return WideFromLocal(
        std::string(record.device_name, strnlen(record.device_name, sizeof record.device_name)));
}

}  // namespace

ReadinessWords::ReadinessWords(std::initializer_list<int32_t> words) {
    for (int32_t word : words) {
        if (count_ == words_.size()) break;
        words_[count_++] = word;
    }
}

CountdownScreen::CountdownScreen(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                 AppDelegate* delegate)
    : ORVAN_UXViewController(view, objectList, delegate) {
    AddServiceScreenFrame(this, background, prevButton);
    ORVAN_UXHolder<ORVAN_UXLabel>* const column[] = {&nameLabel, &countdownLabel, &deviceLabel, &channelLabel,
                                                     &spareLabel};
    for (int32_t row = 0; row < static_cast<int32_t>(std::size(column)); ++row) {
        objectList->AddLabel(this, *column[row], ServiceColumnLabelDesc(*prevButton, row, kPlaceholder));
    }
    record = delegate->device.get();
}

CountdownScreen::~CountdownScreen() {
    objectList->RemoveAll();
    spareLabel.Reset();
    channelLabel.Reset();
    deviceLabel.Reset();
    countdownLabel.Reset();
    nameLabel.Reset();
    prevButton.Reset();
    background.Reset();
}

void CountdownScreen::OnTimer(uint32_t) {
    if (timerStep != nullptr) (this->*timerStep)();
}

void CountdownScreen::OnActivate() {
    countdown = UXCountdownFromSeconds(delegate->fail_timeout_s, delegate->success_delay_s);
    if (record != nullptr) nameLabel->SetText(DeviceName(*record));
    ShowCountdown(static_cast<int32_t>(countdown.successTenths / 10));  // whole seconds
    deviceLabel->SetText(L"Device: ...");
    channelLabel->SetText(L"Ch[Setting]:...");
    spareLabel->SetText(L"");
    ResetProgress();
    delegate->prepare_connection(record);
    done = 0;
    if (timerStep == nullptr) {
        timerStep = &CountdownScreen::CountdownStep;
        view->SetTimer(UX_COUNTDOWN_TIMER_ID, 0);
    }
}

void CountdownScreen::OnDeactivate() {
    if (timerStep != nullptr) StopTimer();
    if (done != 1 && record != nullptr) drop_connection(record);
}

void CountdownScreen::OnBack() {
    if (timerStep != nullptr) StopTimer();
    if (record != nullptr) drop_connection(record);
    done = 1;
    if (leaving == 0) Request(PrevTarget());
}

int32_t CountdownScreen::PrevTarget() {
    return delegate->home_activity_id;
}

void CountdownScreen::Request(int32_t id) {
    if (leaving != 0) return;
    leaving = 1;
    view->PostMessage(MSG_ACTIVITY_NAVIGATE, RequesterParam(this), id);
}

void CountdownScreen::CountdownStep() {
    view->KillTimer(UX_COUNTDOWN_TIMER_ID);
    const ReadinessWords readiness = Readiness();
    if (!UXAllReady(readiness.span())) Progress();
    const UXCountdownStep step = UXCountdownAdvance(countdown, readiness.span());
    countdown = step.left;
    ShowCountdown(step.shown);
    switch (step.verdict) {
        case UXCountdownVerdict::Wait:
            view->SetTimer(UX_COUNTDOWN_TIMER_ID, UX_COUNTDOWN_STEP_MS);
            return;
        case UXCountdownVerdict::Succeed:
            StopTimer();
            // Without a record or a screen to go to, the screen stays until Prev.
            if (record == nullptr || delegate->pending_activity_id == 0) return;
            done = 1;
            Request(delegate->pending_activity_id);
            return;
        case UXCountdownVerdict::GiveUp:
            timerStep = nullptr;
            if (record != nullptr) drop_connection(record);
            done = 1;
            Request(kDeviceConnectErrorActivityId);
            return;
    }
}

void CountdownScreen::StopTimer() {
    view->KillTimer(UX_COUNTDOWN_TIMER_ID);
    timerStep = nullptr;
}

void CountdownScreen::ShowCountdown(int32_t seconds) {
    countdownLabel->SetText(std::to_wstring(seconds));
}

}  // namespace ORVAN_UXClass
