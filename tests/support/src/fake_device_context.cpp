// Recording device context: each drawing call becomes one line of the window's log.
#include <string>

#include "fake_window_state.h"
#include "orvan_test/fake_text.h"
#include "orvan_test/fake_window.h"

namespace orvan::fake {

namespace {

std::string At(int32_t x, int32_t y) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}
std::string By(int32_t width, int32_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace

FakeDeviceContext::FakeDeviceContext(FakeWindow& window) : FakeDeviceContext(window.state_, false) {}

FakeDeviceContext::FakeDeviceContext(std::shared_ptr<FakeWindowState> state, bool counted)
    : state_(std::move(state)), counted_(counted) {
    if (!counted_) return;
    std::lock_guard guard(state_->mutex);
    ++state_->openDCs;
}

FakeDeviceContext::~FakeDeviceContext() {
    if (!counted_) return;
    std::lock_guard guard(state_->mutex);
    --state_->openDCs;
}

void FakeDeviceContext::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                                   const wnd::Bitmap& source, int32_t srcX, int32_t srcY, int32_t srcWidth,
                                   int32_t srcHeight) {
    std::string line = "StretchBlt bitmap " + std::to_string(source.ResourceId()) + " at " + At(x, y) + " " +
                       By(width, height);
    // The source is only spelled out when it is not the whole bitmap.
    if (srcX != 0 || srcY != 0 || srcWidth != source.Width() || srcHeight != source.Height()) {
        line += " from " + At(srcX, srcY) + " " + By(srcWidth, srcHeight);
    }
    std::lock_guard guard(state_->mutex);
    state_->Record(true, std::move(line));
}

void FakeDeviceContext::FillSolidRect(int32_t x, int32_t y, int32_t width, int32_t height,
                                      wnd::COLORREF color) {
    std::lock_guard guard(state_->mutex);
    state_->Record(true,
                   "FillSolidRect " + At(x, y) + " " + By(width, height) + " color " + ColorText(color));
}

wnd::Size FakeDeviceContext::GetTextExtent(const std::wstring& text) {
    std::lock_guard guard(state_->mutex);
    return {static_cast<int32_t>(text.size()) * state_->charWidth, state_->textHeight};
}

void FakeDeviceContext::TextOut(int32_t x, int32_t y, const std::wstring& text, wnd::COLORREF color) {
    std::lock_guard guard(state_->mutex);
    state_->Record(true, "TextOut \"" + Utf8(text) + "\" at " + At(x, y) + " color " + ColorText(color));
}

}  // namespace orvan::fake
