#include "qt_device_context.h"

#include <QFontMetrics>
#include <QPainter>

#include "qt_resources.h"

namespace orvan::wnd::qt {

QColor ToQColor(COLORREF color) {
    return QColor(static_cast<int>(color & 0xff), static_cast<int>((color >> 8) & 0xff),
                  static_cast<int>((color >> 16) & 0xff));
}

QtDeviceContext::QtDeviceContext(QImage& target, std::function<void(const QRect&)> drawn, QRegion clip)
    : target_(target), drawn_(std::move(drawn)), clip_(std::move(clip)) {}

void QtDeviceContext::Begin(QPainter& painter) {
    // A plain copy: no smoothing when a bitmap is stretched, no antialiased edges on fills.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (!clip_.isEmpty()) painter.setClipRegion(clip_);
}

void QtDeviceContext::Drawn(const QRect& rect) {
    QRect visible = rect.intersected(target_.rect());
    if (!clip_.isEmpty()) visible = clip_.intersected(visible).boundingRect();
    if (drawn_ && !visible.isEmpty()) drawn_(visible);
}

void QtDeviceContext::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& source,
                                 int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight) {
    const auto* bitmap = dynamic_cast<const QtBitmap*>(&source);
    if (bitmap == nullptr || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
    QPainter painter(&target_);
    Begin(painter);
    const QRect to(x, y, width, height);
    painter.drawImage(to, bitmap->Image(), QRect(srcX, srcY, srcWidth, srcHeight));
    painter.end();
    Drawn(to);
}

void QtDeviceContext::FillSolidRect(int32_t x, int32_t y, int32_t width, int32_t height, COLORREF color) {
    if (width <= 0 || height <= 0) return;
    QPainter painter(&target_);
    Begin(painter);
    const QRect rect(x, y, width, height);
    painter.fillRect(rect, ToQColor(color));
    painter.end();
    Drawn(rect);
}

Size QtDeviceContext::GetTextExtent(const std::wstring& text) {
    const QFontMetrics metrics(DefaultGuiFont());
    return Size{metrics.horizontalAdvance(QString::fromStdWString(text)), metrics.height()};
}

void QtDeviceContext::TextOut(int32_t x, int32_t y, const std::wstring& text, COLORREF color) {
    if (text.empty()) return;
    const QString qtext = QString::fromStdWString(text);
    const QFont& font = DefaultGuiFont();
    const QFontMetrics metrics(font);
    QPainter painter(&target_);
    Begin(painter);
    painter.setFont(font);
    painter.setPen(ToQColor(color));
    // (x, y) is the top left of the text cell; the background stays as it is.
    painter.drawText(QPoint(x, y + metrics.ascent()), qtext);
    painter.end();
    Drawn(QRect(x, y, metrics.horizontalAdvance(qtext) + 1, metrics.height()));
}

}  // namespace orvan::wnd::qt
