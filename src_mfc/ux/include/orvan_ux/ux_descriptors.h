// Descriptor records: what a screen hands to the object list's factories to create a control.
// Flat records with one layout for all four; fields a control does not use are ignored (noted).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "orvan_ux/ux_callback.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

struct ORVAN_UXLabelDesc {
    int32_t cursorId = 500;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::wstring text;
    orvan::wnd::COLORREF textColor = 0;
    orvan::wnd::COLORREF backColor = 0;  // fill colour
};

// Bitmap ids: normal, hover, pressed, disabled; 0 stands for an absent bitmap.
struct ORVAN_UXBitmapDesc {
    int32_t cursorId = 500;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;   // ignored: the size comes from the bitmap
    int32_t height = 0;  // ignored
    std::wstring text;
    orvan::wnd::COLORREF textColor = 0;
    orvan::wnd::COLORREF backColor = 0;  // ignored
    std::array<int32_t, 4> bitmapIds{};
};

struct ORVAN_UXButtonDesc {
    int32_t cursorId = 500;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;   // ignored: the size comes from the normal bitmap
    int32_t height = 0;  // ignored
    std::wstring text;
    orvan::wnd::COLORREF textColor = 0;
    orvan::wnd::COLORREF backColor = 0;  // ignored
    std::array<int32_t, 4> bitmapIds{};  // normal, hover, pressed, disabled
    ORVAN_UXCallbackSlot onClick;
    ORVAN_UXCallbackSlot onDoubleClick;
    ORVAN_UXCallbackSlot onPress;
    ORVAN_UXCallbackSlot onRelease;
};

struct ORVAN_UXRadioDesc {
    int32_t cursorId = 500;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;   // ignored: the size comes from the checked normal bitmap
    int32_t height = 0;  // ignored
    std::wstring text;
    orvan::wnd::COLORREF textColor = 0;
    orvan::wnd::COLORREF backColor = 0;  // ignored
    // Checked normal, hover, pressed, disabled, then the same four for the unchecked look.
    std::array<int32_t, 8> bitmapIds{};
    ORVAN_UXCallbackSlot onClick;
    ORVAN_UXCallbackSlot onDoubleClick;
    ORVAN_UXCallbackSlot onPress;
    ORVAN_UXCallbackSlot onRelease;
};

}  // namespace ORVAN_UXClass
