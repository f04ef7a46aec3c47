// Values every screen shares (hover cursor, placeholder callback arguments, the standard button
// and radio bitmap sets, the Prev button, backgrounds) and descriptors built from them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "orvan_ux/ux_callback.h"
#include "orvan_ux/ux_descriptors.h"

namespace ORVAN_UXClass {

inline constexpr int32_t UX_HOVER_CURSOR_ID = 500;
// Arguments of callbacks whose screen needs none.
inline constexpr int64_t UX_NO_ARG1 = 123;
inline constexpr int64_t UX_NO_ARG2 = 456;
// Window timer of the countdown screens.
inline constexpr uint32_t UX_COUNTDOWN_TIMER_ID = 1000;

// Standard push button: normal, hover, pressed, disabled; 114 by 30 pixels.
inline constexpr std::array<int32_t, 4> UX_PUSH_BUTTON_BITMAPS{621, 622, 623, 624};
inline constexpr int32_t UX_PUSH_BUTTON_WIDTH = 114;
inline constexpr int32_t UX_PUSH_BUTTON_HEIGHT = 30;
// Standard radio box: the checked set, then the unchecked set; 30 by 30 pixels.
inline constexpr std::array<int32_t, 8> UX_RADIO_BITMAPS{631, 632, 633, 634, 635, 636, 637, 638};

inline constexpr int32_t UX_PREV_X = 10;
inline constexpr int32_t UX_PREV_Y = 10;

// Backgrounds are 622 by 430 pixels, added first at (0, 0).
inline constexpr int32_t UX_BACKGROUND_WIDTH = 622;
inline constexpr int32_t UX_BACKGROUND_HEIGHT = 430;

// A callback with the placeholder arguments.
ORVAN_UXCallbackSlot UXNoArgCallback(ORVAN_UXCallback function);

// A standard push button with a black caption at (x, y); every callback slot carries the
// placeholder arguments, only onClick has a function.
ORVAN_UXButtonDesc UXStandardButtonDesc(std::wstring text, int32_t x, int32_t y, ORVAN_UXCallback onClick);

// A standard radio box with a black caption at (x, y); every callback slot carries the
// placeholder arguments, only onClick has a function.
ORVAN_UXRadioDesc UXStandardRadioDesc(std::wstring text, int32_t x, int32_t y, ORVAN_UXCallback onClick);

// A label with a black caption on white.
ORVAN_UXLabelDesc UXStandardLabelDesc(std::wstring text, int32_t x, int32_t y, int32_t width, int32_t height);

// The "Prev" button at (10, 10) that runs the screen's OnBack.
ORVAN_UXButtonDesc UXPrevButtonDesc();

// A background picture at (0, 0) with only a normal bitmap.
ORVAN_UXBitmapDesc UXBackgroundDesc(int32_t bitmapId);

}  // namespace ORVAN_UXClass
