// Caption placement shared by the controls.
#include "ux_caption.h"

namespace ORVAN_UXClass {

void DrawCaption(orvan::wnd::DeviceContext* dc, const ORVAN_UXRect& rect, int32_t dx, int32_t dy,
                 const std::wstring& text, orvan::wnd::COLORREF color, int32_t alignment) {
    if (!dc) return;
    const orvan::wnd::Size extent = dc->GetTextExtent(text);
    const int64_t left = int64_t{rect.x} + dx;
    int64_t x = left + (int64_t{rect.width} - extent.cx) / 2;
    if (alignment == UX_ALIGN_LEFT) x = left;
    if (alignment == UX_ALIGN_RIGHT) x = left + rect.width - extent.cx;
    const int64_t y = int64_t{rect.y} + dy + (int64_t{rect.height} - extent.cy) / 2;
    dc->TextOut(static_cast<int32_t>(x), static_cast<int32_t>(y), text, color);
}

}  // namespace ORVAN_UXClass
