#include "DeviceConnect/service_screen.h"

#include "orvan_ux/ux_conventions.h"

namespace ORVAN_UXClass {

namespace {

constexpr int32_t kColumnGap = 10;
constexpr int32_t kLabelWidth = 100;
constexpr int32_t kLabelHeight = 16;

}  // namespace

void AddServiceScreenFrame(ORVAN_UXViewController* screen, ORVAN_UXHolder<ORVAN_UXBitmap>& background,
                           ORVAN_UXHolder<ORVAN_UXButton>& prevButton) {
    screen->objectList->AddBitmap(screen, background, UXBackgroundDesc(kServiceBackgroundBitmap));
    screen->objectList->AddButton(screen, prevButton, UXPrevButtonDesc());
}

ORVAN_UXLabelDesc ServiceColumnLabelDesc(const ORVAN_UXButton& prevButton, int32_t row, std::wstring text) {
    const int32_t x = prevButton.rect.x + prevButton.GetWidth() + kColumnGap;
    const int32_t y =
        prevButton.rect.y + prevButton.GetHeight() + kColumnGap + row * (kLabelHeight + kColumnGap);
    return UXStandardLabelDesc(std::move(text), x, y, kLabelWidth, kLabelHeight);
}

}  // namespace ORVAN_UXClass
