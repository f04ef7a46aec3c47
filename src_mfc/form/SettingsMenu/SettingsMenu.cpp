#include "SettingsMenu/SettingsMenu.h"

#include "orvan_ux/ux_conventions.h"

namespace ORVAN_UXClass {

namespace {

constexpr uint32_t kIdlePeriodMs = 1000;

}  // namespace

void IdleTimerStep(orvan::wnd::Window* view) {
    if (view == nullptr) return;
    view->KillTimer(UX_COUNTDOWN_TIMER_ID);
    view->SetTimer(UX_COUNTDOWN_TIMER_ID, kIdlePeriodMs);
}

SettingsMenu::SettingsMenu(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate,
                           int32_t id)
    : ManagementScreen(view, objectList, delegate, id), row(*FindSettingsMenu(id)) {
    AddBackgroundAndPrev(row.background);
}

SettingsMenu::~SettingsMenu() {
    objectList->RemoveAll();
}

void SettingsMenu::OnTimer(uint32_t /*timerId*/) {
    if (timerStep != nullptr) timerStep(view);
}

void SettingsMenu::OnActivate() {
    leaving = 0;
    if (timerStep != nullptr) return;
    timerStep = &IdleTimerStep;
    if (view != nullptr) view->SetTimer(UX_COUNTDOWN_TIMER_ID, 0);
}

void SettingsMenu::OnDeactivate() {
    StopTimer();
    ManagementScreen::OnDeactivate();
}

void SettingsMenu::OnBack() {
    if (!StartLeaving()) return;
    StopTimer();
    drop_connection(record);
    Request(delegate->home_activity_id);
}

void SettingsMenu::StopTimer() {
    if (timerStep == nullptr) return;
    if (view != nullptr) view->KillTimer(UX_COUNTDOWN_TIMER_ID);
    timerStep = nullptr;
}

}  // namespace ORVAN_UXClass
