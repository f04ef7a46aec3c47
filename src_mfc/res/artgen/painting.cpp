#include "painting.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

#include "palette.h"

namespace orvan::art {

QPointF PressOffset(State state) {
    return state == State::Pressed ? QPointF(1, 1) : QPointF(0, 0);
}

Face LightFace(State state) {
    switch (state) {
        case State::Hover:
            return {kWhite, Mix(kBlueTint, kWhite, 0.2), Mix(kBlueLight, kWhite, 0.15), kWhite, kInk};
        case State::Pressed:
            return {Mix(kGrey200, kGrey300, 0.35), kGrey100, Mix(kGrey400, kGrey500, 0.4), Qt::transparent,
                    kInk};
        case State::Disabled:
            return {kGrey100, kGrey100, kGrey300, Qt::transparent, kGrey400};
        case State::Normal:
            break;
    }
    return {kWhite, Mix(kGrey100, kGrey200, 0.3), kGrey400, kWhite, kInk};
}

Face PrimaryFace(State state) {
    switch (state) {
        case State::Hover:
            return {Mix(kBlueLight, kWhite, 0.12), kBlueLight, Mix(kBlue, kBlueLight, 0.3),
                    WithAlpha(kWhite, 70), kWhite};
        case State::Pressed:
            return {kBlueDeep, kBlueDark, Mix(kBlueDeep, kInk, 0.3), Qt::transparent, kWhite};
        case State::Disabled:
            return {kGrey200, Mix(kGrey200, kGrey300, 0.3), kGrey300, Qt::transparent, kGrey500};
        case State::Normal:
            break;
    }
    return {Mix(kBlue, kBlueLight, 0.35), kBlue, kBlueDark, WithAlpha(kWhite, 55), kWhite};
}

QPainterPath RoundedPath(const QRectF& r, double radius, int corners) {
    const double tl = (corners & 1) ? radius : 0;
    const double tr = (corners & 2) ? radius : 0;
    const double br = (corners & 4) ? radius : 0;
    const double bl = (corners & 8) ? radius : 0;
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    if (tr > 0) path.arcTo(QRectF(r.right() - 2 * tr, r.top(), 2 * tr, 2 * tr), 90, -90);
    path.lineTo(r.right(), r.bottom() - br);
    if (br > 0) path.arcTo(QRectF(r.right() - 2 * br, r.bottom() - 2 * br, 2 * br, 2 * br), 0, -90);
    path.lineTo(r.left() + bl, r.bottom());
    if (bl > 0) path.arcTo(QRectF(r.left(), r.bottom() - 2 * bl, 2 * bl, 2 * bl), 270, -90);
    path.lineTo(r.left(), r.top() + tl);
    if (tl > 0) path.arcTo(QRectF(r.left(), r.top(), 2 * tl, 2 * tl), 180, -90);
    path.closeSubpath();
    return path;
}

void PaintFace(QPainter& p, const QRect& rect, double radius, const Face& face, int corners) {
    // Border as the outer shape and the face as a shape one pixel inside it: both edges stay
    // on whole pixels, which keeps a 1-px border sharp where a stroked outline would blur.
    const QRectF outer(rect);
    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(face.border);
    p.drawPath(RoundedPath(outer, radius, corners));
    QLinearGradient gradient(inner.topLeft(), inner.bottomLeft());
    gradient.setColorAt(0, face.top);
    gradient.setColorAt(1, face.bottom);
    p.setBrush(gradient);
    p.drawPath(RoundedPath(inner, std::max(0.0, radius - 1), corners));
    if (face.highlight.alpha() > 0) {
        const double inset = (corners & 3) ? radius : 1;
        p.fillRect(QRectF(inner.left() + inset - 1, inner.top(), inner.width() - 2 * inset + 2, 1),
                   face.highlight);
    }
    p.restore();
}

QImage Canvas(int width, int height, const QColor& backdrop) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(backdrop);
    return image;
}

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont UiFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

double TextWidth(const QString& text, const QFont& font) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

namespace {

// Baseline that centres the font's cap height in box, on a whole pixel.
double SnappedBaseline(const QRectF& box, const QFont& font) {
    const QFontMetricsF metrics(font);
    return std::round(box.center().y() + metrics.capHeight() / 2);
}

}  // namespace

void DrawTextAt(QPainter& p, double x, const QRectF& box, const QString& text, const QFont& font,
                const QColor& color) {
    p.save();
    p.setFont(font);
    p.setPen(color);
    p.drawText(QPointF(std::round(x), SnappedBaseline(box, font)), text);
    p.restore();
}

void DrawCentredText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                     const QColor& color) {
    DrawTextAt(p, box.center().x() - TextWidth(text, font) / 2, box, text, font, color);
}

void DrawGroundShadow(QPainter& p, const QPointF& centre, double rx, double ry, int alpha) {
    p.save();
    QRadialGradient gradient(0, 0, 1);
    gradient.setColorAt(0, QColor(0x1D, 0x25, 0x32, alpha));
    gradient.setColorAt(1, QColor(0x1D, 0x25, 0x32, 0));
    p.translate(centre);
    p.scale(rx, ry);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawEllipse(QPointF(0, 0), 1.0, 1.0);
    p.restore();
}

}  // namespace orvan::art
