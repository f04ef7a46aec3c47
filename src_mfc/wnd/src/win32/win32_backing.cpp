#include "win32_backing.h"

#include <algorithm>
#include <cstring>

namespace orvan::wnd::win32 {

namespace {

HBITMAP CreateTopDownDib(HDC dc, int32_t width, int32_t height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
}

}  // namespace

Backing::Backing() {
    dc_ = CreateCompatibleDC(nullptr);
    original_font_ = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc_, TRANSPARENT);
    Resize(1, 1);
}

Backing::~Backing() {
    if (original_bitmap_ != nullptr) SelectObject(dc_, original_bitmap_);
    if (original_font_ != nullptr) SelectObject(dc_, original_font_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Backing::Resize(int32_t width, int32_t height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == width_ && height == height_) return;
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(dc_, width, height, &bits);
    if (bitmap == nullptr || bits == nullptr) return;  // keep the old picture rather than none
    GdiFlush();
    std::memset(bits, 0xFF, static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(uint32_t));
    const int32_t keepWidth = std::min(width, width_);
    for (int32_t y = 0; y < std::min(height, height_); ++y) {
        std::memcpy(bits + static_cast<size_t>(y) * width, bits_ + static_cast<size_t>(y) * width_,
                    static_cast<size_t>(keepWidth) * sizeof(uint32_t));
    }
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (original_bitmap_ == nullptr) {
        original_bitmap_ = previous;
    } else {
        DeleteObject(bitmap_);
    }
    bitmap_ = bitmap;
    bits_ = bits;
    width_ = width;
    height_ = height;
}

COLORREF Backing::Pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();  // GDI may still hold drawing back
    const uint32_t rgb = bits_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF;
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

void Backing::ShowOn(HDC target, const RECT& rect) const {
    BitBlt(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dc_, rect.left,
           rect.top, SRCCOPY);
}

}  // namespace orvan::wnd::win32
