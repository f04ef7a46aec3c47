#include "frame_geometry.h"

FrameRect ComputeFrameRect(const orvan::wnd::ScreenMetrics& m) {
    FrameRect rect;
    rect.left = (m.screenWidth - kClientWidth) / 2;
    rect.top = (m.screenHeight - kClientHeight) / 2;
    rect.width = kClientWidth + 4 * m.dlgFrameWidth + 4 * m.borderWidth;
    rect.height = kClientHeight + 4 * m.dlgFrameHeight + 4 * m.borderHeight + m.captionHeight;
    return rect;
}
