#include "GpioPage/RpiGpioActivity.h"

#include <string>

#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_grid_layout.h"

namespace ORVAN_UXClass {

namespace {

constexpr int32_t kBackground = 2001;
constexpr int32_t kPinsPerColumn = 8;
constexpr int32_t kColumnStep = 200;
constexpr int32_t kLabelHeight = 16;
constexpr int32_t kLeft = 0;
constexpr int32_t kClear = 0;
constexpr int32_t kSet = 1;

// A black, left-aligned label on white.
ORVAN_UXLabel* AddLeftLabel(RpiGpioActivity* screen, ORVAN_UXHolder<ORVAN_UXLabel>& holder, std::wstring text,
                            int32_t x, int32_t y, int32_t width) {
    ORVAN_UXLabel* label = screen->objectList->AddLabel(
        screen, holder, UXStandardLabelDesc(std::move(text), x, y, width, kLabelHeight));
    label->alignment = kLeft;
    return label;
}

ORVAN_UXRadioDesc PinBoxDesc(int32_t pin, int32_t x, int32_t y, ORVAN_UXCallback onClick) {
    ORVAN_UXRadioDesc desc = UXStandardRadioDesc(L"", x, y, nullptr);
    desc.onClick = {onClick, pin, UX_NO_ARG2};
    return desc;
}

}  // namespace

RpiGpioActivity::RpiGpioActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                 AppDelegate* delegate)
    : ManagementScreen(view, objectList, delegate, kActivityId) {
    AddBackgroundAndPrev(kBackground);
    const ORVAN_UXRect prev = prevButton->rect;
    const orvan::wnd::Point titleAt = UXOffsetFrom(prev, {1, 10}, {2, -7});
    AddLeftLabel(this, title, L"GPIO Setting", titleAt.x, titleAt.y, 100);
    const ORVAN_UXGridLayout pins{UXOffsetFrom(prev, {0, 0}, {3, 0}), kColumnStep, prev.height};
    for (int32_t pin = 0; pin < kGpioPinCount; ++pin) BuildPin(pin, pins.ColumnMajor(pin, kPinsPerColumn));

    if (record == nullptr) return;
    for (int32_t pin = 0; pin < kGpioPinCount; ++pin) {
        const int32_t state = record->gpio_state[pin];
        if (state == kClear) SetChecked(*clrRadios[pin], true);
        if (state == kSet) SetChecked(*setRadios[pin], true);
        // A pin in no known state is to be cleared.
        record->gpio_state_set[pin] = state == kSet ? kSet : kClear;
    }
}

RpiGpioActivity::~RpiGpioActivity() {
    objectList->RemoveAll();
}

void RpiGpioActivity::BuildPin(int32_t pin, orvan::wnd::Point at) {
    AddLeftLabel(this, gpioLabels[pin], L"GPIO n", at.x + 10, at.y + 7, 50)
        ->SetText(L"GPIO " + std::to_wstring(pin));
    objectList->AddRadio(this, clrRadios[pin], PinBoxDesc(pin, at.x + 60, at.y, &OnClrClicked));
    AddLeftLabel(this, clrLabels[pin], L"CLR", at.x + 90, at.y + 7, 30);
    objectList->AddRadio(this, setRadios[pin], PinBoxDesc(pin, at.x + 120, at.y, &OnSetClicked));
    AddLeftLabel(this, setLabels[pin], L"SET", at.x + 150, at.y + 7, 30);
}

void RpiGpioActivity::OnBack() {
    // Like the other management screens, Prev leaves for the start screen and closes the
    // connection on the way.
    if (!StartLeaving()) return;
    drop_connection(record);
    Request(delegate->home_activity_id);
}

int RpiGpioActivity::OnClrClicked(ORVAN_UXViewController* userData, int64_t pin, int64_t /*arg2*/) {
    static_cast<RpiGpioActivity*>(userData)->Choose(pin, kClear);
    return 0;
}

int RpiGpioActivity::OnSetClicked(ORVAN_UXViewController* userData, int64_t pin, int64_t /*arg2*/) {
    static_cast<RpiGpioActivity*>(userData)->Choose(pin, kSet);
    return 0;
}

void RpiGpioActivity::Choose(int64_t pin, int32_t value) {
    if (pin < 0 || pin >= kGpioPinCount || !StartLeaving()) return;
    const auto index = static_cast<size_t>(pin);
    SetChecked(*(value == kSet ? setRadios : clrRadios)[index], true);
    SetChecked(*(value == kSet ? clrRadios : setRadios)[index], false);
    if (record != nullptr) {
        record->command_code = kPinCommandBase + static_cast<int32_t>(pin);
        record->command_arg = value;
    }
    HandOver(kSettingsWriteId, kActivityId, kActivityId);
}

}  // namespace ORVAN_UXClass
