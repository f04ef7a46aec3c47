// Device context of the child view: draws with GDI on the view's backing pixels, inside or outside a
// paint; several may exist at once since each sets its own clip before every call.
#pragma once

#include <functional>

#include "win32_backing.h"

namespace orvan::wnd::win32 {

class Win32DeviceContext final : public DeviceContext {
  public:
    // drawn (optional) learns every rectangle this context changed; clip (when not null, owned by
    // the context from now on) limits drawing, as a paint is limited to the part that needs it.
    Win32DeviceContext(Backing& target, std::function<void(const RECT&)> drawn, HRGN clip = nullptr);
    ~Win32DeviceContext() override;

    void StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& source, int32_t srcX,
                    int32_t srcY, int32_t srcWidth, int32_t srcHeight) override;
    void FillSolidRect(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF color) override;
    Size GetTextExtent(const std::wstring& text) override;
    void TextOut(int32_t x, int32_t y, const std::wstring& text, COLORREF color) override;

  private:
    HDC Begin();
    void Drawn(int32_t x, int32_t y, int32_t width, int32_t height);

    Backing& target_;
    std::function<void(const RECT&)> drawn_;
    HRGN clip_;
};

}  // namespace orvan::wnd::win32
