#include "frame_client.h"

#include <algorithm>

namespace orvan::wnd {

Size ClientSizeOfFrame(const ScreenMetrics& metrics, int32_t frameWidth, int32_t frameHeight) {
    const int32_t decorationWidth = 4 * metrics.dlgFrameWidth + 4 * metrics.borderWidth;
    const int32_t decorationHeight =
        4 * metrics.dlgFrameHeight + 4 * metrics.borderHeight + metrics.captionHeight;
    return Size{std::max(1, frameWidth - decorationWidth), std::max(1, frameHeight - decorationHeight)};
}

}  // namespace orvan::wnd
