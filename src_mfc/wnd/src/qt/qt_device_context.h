// Device context of the child view: every call draws on the view's backing image with a short-
// lived painter, so a context can be used inside or outside a paint and several may coexist.
#pragma once

#include <QImage>
#include <QRegion>
#include <functional>

#include "orvan_wnd/wnd.h"

namespace orvan::wnd::qt {

class QtDeviceContext final : public DeviceContext {
  public:
    // drawn (optional) learns every rectangle this context changed; clip (when not empty)
    // limits drawing, as a paint is limited to the part that needs it.
    QtDeviceContext(QImage& target, std::function<void(const QRect&)> drawn, QRegion clip = {});

    void StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& source, int32_t srcX,
                    int32_t srcY, int32_t srcWidth, int32_t srcHeight) override;
    void FillSolidRect(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF color) override;
    Size GetTextExtent(const std::wstring& text) override;
    void TextOut(int32_t x, int32_t y, const std::wstring& text, COLORREF color) override;

  private:
    void Begin(class QPainter& painter);
    void Drawn(const QRect& rect);

    QImage& target_;
    std::function<void(const QRect&)> drawn_;
    QRegion clip_;
};

QColor ToQColor(COLORREF color);

}  // namespace orvan::wnd::qt
