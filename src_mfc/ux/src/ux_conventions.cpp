// Descriptors for the controls every screen builds the same way.
#include "orvan_ux/ux_conventions.h"

#include "orvan_ux/ux_view_controller.h"

namespace ORVAN_UXClass {

ORVAN_UXCallbackSlot UXNoArgCallback(ORVAN_UXCallback function) {
    return {function, UX_NO_ARG1, UX_NO_ARG2};
}

namespace {

// A push control (button, radio) as every screen makes it: black text, the hover cursor, a click
// handler and no other reactions; only the bitmaps differ between the kinds.
template <typename PushDesc>
PushDesc StandardPushDesc(std::wstring text, int32_t x, int32_t y, decltype(PushDesc::bitmapIds) bitmapIds,
                          ORVAN_UXCallback onClick) {
    return PushDesc{
        .cursorId = UX_HOVER_CURSOR_ID,
        .x = x,
        .y = y,
        .text = std::move(text),
        .textColor = 0x000000,
        .backColor = 0xFFFFFF,
        .bitmapIds = bitmapIds,
        .onClick = UXNoArgCallback(onClick),
        .onDoubleClick = UXNoArgCallback(nullptr),
        .onPress = UXNoArgCallback(nullptr),
        .onRelease = UXNoArgCallback(nullptr),
    };
}

}  // namespace

ORVAN_UXButtonDesc UXStandardButtonDesc(std::wstring text, int32_t x, int32_t y, ORVAN_UXCallback onClick) {
    return StandardPushDesc<ORVAN_UXButtonDesc>(std::move(text), x, y, UX_PUSH_BUTTON_BITMAPS, onClick);
}

ORVAN_UXRadioDesc UXStandardRadioDesc(std::wstring text, int32_t x, int32_t y, ORVAN_UXCallback onClick) {
    return StandardPushDesc<ORVAN_UXRadioDesc>(std::move(text), x, y, UX_RADIO_BITMAPS, onClick);
}

ORVAN_UXLabelDesc UXStandardLabelDesc(std::wstring text, int32_t x, int32_t y, int32_t width,
                                      int32_t height) {
    return ORVAN_UXLabelDesc{
        .cursorId = UX_HOVER_CURSOR_ID,
        .x = x,
        .y = y,
        .width = width,
        .height = height,
        .text = std::move(text),
        .textColor = 0x000000,
        .backColor = 0xFFFFFF,
    };
}

ORVAN_UXButtonDesc UXPrevButtonDesc() {
    return UXStandardButtonDesc(L"Prev", UX_PREV_X, UX_PREV_Y, &ORVAN_UXViewController::OnPrevClicked);
}

ORVAN_UXBitmapDesc UXBackgroundDesc(int32_t bitmapId) {
    return ORVAN_UXBitmapDesc{
        .cursorId = UX_HOVER_CURSOR_ID,
        .x = 0,
        .y = 0,
        .text = L"",
        .textColor = 0x000000,
        .backColor = 0xFFFFFF,
        .bitmapIds = {bitmapId, 0, 0, 0},
    };
}

}  // namespace ORVAN_UXClass
