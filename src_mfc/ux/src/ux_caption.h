// Caption placement shared by the controls: measure the text, then place it inside a rectangle
// with truncating integer division.
#pragma once

#include <cstdint>
#include <string>

#include "orvan_ux/ux_rect.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

inline constexpr int32_t UX_ALIGN_LEFT = 0;
inline constexpr int32_t UX_ALIGN_CENTRE = 1;
inline constexpr int32_t UX_ALIGN_RIGHT = 2;

// Draws text vertically centred in rect moved by (dx, dy); horizontally at the left edge, against
// the right edge or centred (any alignment other than left or right). A null dc draws nothing.
void DrawCaption(orvan::wnd::DeviceContext* dc, const ORVAN_UXRect& rect, int32_t dx, int32_t dy,
                 const std::wstring& text, orvan::wnd::COLORREF color, int32_t alignment = UX_ALIGN_CENTRE);

}  // namespace ORVAN_UXClass
