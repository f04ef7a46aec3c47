#include "win32_device_context.h"

#include "win32_resources.h"

namespace orvan::wnd::win32 {

Win32DeviceContext::Win32DeviceContext(Backing& target, std::function<void(const RECT&)> drawn, HRGN clip)
    : target_(target), drawn_(std::move(drawn)), clip_(clip) {}

Win32DeviceContext::~Win32DeviceContext() {
    if (clip_ != nullptr) DeleteObject(clip_);
}

HDC Win32DeviceContext::Begin() {
    HDC dc = target_.Dc();
    SelectClipRgn(dc, clip_);  // null clears a clip another context left
    return dc;
}

void Win32DeviceContext::Drawn(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!drawn_) return;
    RECT rect{x, y, x + width, y + height};
    const RECT image{0, 0, target_.Width(), target_.Height()};
    IntersectRect(&rect, &rect, &image);
    if (clip_ != nullptr) {
        RECT box{};
        GetRgnBox(clip_, &box);
        IntersectRect(&rect, &rect, &box);
    }
    if (!IsRectEmpty(&rect)) drawn_(rect);
}

void Win32DeviceContext::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& source,
                                    int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight) {
    const auto* bitmap = dynamic_cast<const Win32Bitmap*>(&source);
    if (bitmap == nullptr || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
    HDC dc = Begin();
    // A plain copy of pixels, as the art was drawn for: no blending when stretched.
    SetStretchBltMode(dc, COLORONCOLOR);
    // The resource's rows run bottom up, and so does StretchDIBits' source y.
    const int32_t fromBottom = bitmap->Height() - srcY - srcHeight;
    StretchDIBits(dc, x, y, width, height, srcX, fromBottom, srcWidth, srcHeight, bitmap->Bits(),
                  bitmap->Info(), DIB_RGB_COLORS, SRCCOPY);
    Drawn(x, y, width, height);
}

void Win32DeviceContext::FillSolidRect(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF color) {
    if (width <= 0 || height <= 0) return;
    HDC dc = Begin();
    const RECT rect{x, y, x + width, y + height};
    const COLORREF previous = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
    Drawn(x, y, width, height);
}

Size Win32DeviceContext::GetTextExtent(const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(target_.Dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return Size{size.cx, size.cy};
}

void Win32DeviceContext::TextOut(int32_t x, int32_t y, const std::wstring& text, COLORREF color) {
    if (text.empty()) return;
    HDC dc = Begin();
    SetTextColor(dc, color);
    // (x, y) is the top left of the text cell; the background stays as it is (transparent mode).
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    const Size extent = GetTextExtent(text);
    Drawn(x, y, extent.cx + 1, extent.cy);
}

}  // namespace orvan::wnd::win32
