#include "symbols.h"

#include <QConicalGradient>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvan::art {

namespace {

// Maps glyph coordinates (0 to 1 on both axes) into a square centred in box.
class Unit {
  public:
    explicit Unit(const QRectF& box) {
        size_ = std::min(box.width(), box.height());
        origin_ = box.center() - QPointF(size_ / 2, size_ / 2);
    }
    QPointF At(double x, double y) const { return origin_ + QPointF(x * size_, y * size_); }
    double Len(double d) const { return d * size_; }
    QRectF Rect(double x, double y, double w, double h) const {
        return QRectF(At(x, y), QSizeF(Len(w), Len(h)));
    }

  private:
    QPointF origin_;
    double size_ = 0;
};

QPen RoundPen(const QColor& color, double width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

void DrawProductMark(QPainter& p, const QRectF& box, const QColor& fg, const QColor& glass) {
    const Unit u(box);
    const QPointF centre = u.At(0.5, 0.5);
    auto faded = [&fg](double share) {
        QColor c = fg;
        c.setAlphaF(fg.alphaF() * share);
        return c;
    };
    p.save();
    // Radar scope: two range rings and a sweep trailing its leading edge, with one echo.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(faded(0.55), u.Len(0.035)));
    p.drawEllipse(centre, u.Len(0.46), u.Len(0.46));
    p.setPen(QPen(faded(0.35), u.Len(0.03)));
    p.drawEllipse(centre, u.Len(0.33), u.Len(0.33));

    constexpr double kLeadDeg = 40;
    constexpr double kTrailDeg = 75;
    QConicalGradient sweep(centre, kLeadDeg);
    sweep.setColorAt(0, faded(0.75));
    sweep.setColorAt(kTrailDeg / 360.0, faded(0));
    QPainterPath wedge;
    wedge.moveTo(centre);
    wedge.arcTo(QRectF(centre - QPointF(u.Len(0.44), u.Len(0.44)), QSizeF(u.Len(0.88), u.Len(0.88))),
                kLeadDeg, kTrailDeg);
    wedge.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(sweep);
    p.drawPath(wedge);
    const double lead = kLeadDeg * std::numbers::pi / 180;
    p.setPen(RoundPen(fg, u.Len(0.035)));
    p.drawLine(centre, centre + QPointF(std::cos(lead), -std::sin(lead)) * u.Len(0.44));
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    const double echo = (kLeadDeg + 28) * std::numbers::pi / 180;
    p.drawEllipse(centre + QPointF(std::cos(echo), -std::sin(echo)) * u.Len(0.36), u.Len(0.045),
                  u.Len(0.045));

    // The camera lens at the centre of the scope.
    p.setBrush(fg);
    p.drawEllipse(centre, u.Len(0.2), u.Len(0.2));
    p.setBrush(glass);
    p.drawEllipse(centre, u.Len(0.13), u.Len(0.13));
    p.setBrush(faded(0.85));
    p.drawEllipse(centre + QPointF(-u.Len(0.045), -u.Len(0.045)), u.Len(0.035), u.Len(0.035));
    p.restore();
}

void DrawHouseGlyph(QPainter& p, const QRectF& box, const QColor& color) {
    const Unit u(box);
    QPainterPath house;
    house.moveTo(u.At(0.5, 0.06));
    house.lineTo(u.At(0.97, 0.5));
    house.lineTo(u.At(0.84, 0.5));
    house.lineTo(u.At(0.84, 0.94));
    house.lineTo(u.At(0.16, 0.94));
    house.lineTo(u.At(0.16, 0.5));
    house.lineTo(u.At(0.03, 0.5));
    house.closeSubpath();
    house.addRect(u.Rect(0.41, 0.62, 0.18, 0.32));  // the door, cut out by the odd-even fill
    house.setFillRule(Qt::OddEvenFill);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(house);
    p.restore();
}

void DrawSearchGlyph(QPainter& p, const QRectF& box, const QColor& color) {
    const Unit u(box);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(RoundPen(color, u.Len(0.15)));
    p.drawEllipse(u.At(0.41, 0.41), u.Len(0.29), u.Len(0.29));
    p.setPen(RoundPen(color, u.Len(0.19)));
    p.drawLine(u.At(0.64, 0.64), u.At(0.9, 0.9));
    p.restore();
}

void DrawGlobeGlyph(QPainter& p, const QRectF& box, const QColor& color) {
    const Unit u(box);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(RoundPen(color, u.Len(0.11)));
    p.drawEllipse(u.At(0.5, 0.5), u.Len(0.44), u.Len(0.44));
    p.drawEllipse(u.At(0.5, 0.5), u.Len(0.18), u.Len(0.44));
    p.drawLine(u.At(0.08, 0.5), u.At(0.92, 0.5));
    p.restore();
}

void DrawCameraGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen) {
    const Unit u(box);
    p.save();
    p.setPen(RoundPen(color, pen));
    p.setBrush(Qt::NoBrush);
    // Bullet camera on a wall arm, seen from the side.
    p.drawRoundedRect(u.Rect(0.14, 0.22, 0.62, 0.3), u.Len(0.06), u.Len(0.06));
    QPainterPath hood;
    hood.moveTo(u.At(0.76, 0.22));
    hood.lineTo(u.At(0.9, 0.18));
    hood.lineTo(u.At(0.9, 0.52));
    hood.lineTo(u.At(0.76, 0.52));
    p.drawPath(hood);
    p.drawEllipse(u.At(0.83, 0.37), u.Len(0.035), u.Len(0.035));
    QPainterPath arm;
    arm.moveTo(u.At(0.38, 0.52));
    arm.lineTo(u.At(0.38, 0.68));
    arm.lineTo(u.At(0.16, 0.68));
    p.drawPath(arm);
    p.drawLine(u.At(0.16, 0.58), u.At(0.16, 0.8));
    p.restore();
}

void DrawBoxGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen) {
    const Unit u(box);
    p.save();
    p.setPen(RoundPen(color, pen));
    p.setBrush(Qt::NoBrush);
    // Recorder box with two antennas and status lights.
    p.drawRoundedRect(u.Rect(0.08, 0.44, 0.84, 0.32), u.Len(0.06), u.Len(0.06));
    p.drawLine(u.At(0.22, 0.44), u.At(0.15, 0.14));
    p.drawLine(u.At(0.78, 0.44), u.At(0.85, 0.14));
    p.drawLine(u.At(0.5, 0.6), u.At(0.8, 0.6));
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(u.At(0.2, 0.6), u.Len(0.035), u.Len(0.035));
    p.drawEllipse(u.At(0.31, 0.6), u.Len(0.035), u.Len(0.035));
    p.restore();
}

void DrawBoxCameraGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen) {
    const Unit u(box);
    p.save();
    p.setPen(RoundPen(color, pen));
    p.setBrush(Qt::NoBrush);
    // Recorder box carrying a dome camera.
    p.drawRoundedRect(u.Rect(0.08, 0.5, 0.84, 0.3), u.Len(0.06), u.Len(0.06));
    p.drawLine(u.At(0.5, 0.65), u.At(0.8, 0.65));
    QPainterPath dome;
    dome.moveTo(u.At(0.26, 0.5));
    dome.arcTo(u.Rect(0.26, 0.14, 0.48, 0.6), 180, -180);
    p.drawPath(dome);
    p.drawLine(u.At(0.2, 0.5), u.At(0.8, 0.5));
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(u.At(0.5, 0.36), u.Len(0.06), u.Len(0.06));
    p.drawEllipse(u.At(0.2, 0.65), u.Len(0.035), u.Len(0.035));
    p.drawEllipse(u.At(0.31, 0.65), u.Len(0.035), u.Len(0.035));
    p.restore();
}

void DrawRadarGlyph(QPainter& p, const QRectF& box, const QColor& color, double pen) {
    const Unit u(box);
    const QPointF centre = u.At(0.5, 0.5);
    p.save();
    p.setPen(RoundPen(color, pen));
    p.setBrush(Qt::NoBrush);
    for (double r : {0.15, 0.3, 0.45}) p.drawEllipse(centre, u.Len(r), u.Len(r));
    p.drawLine(centre, u.At(0.82, 0.18));
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(u.At(0.68, 0.62), u.Len(0.035), u.Len(0.035));
    p.drawEllipse(u.At(0.3, 0.3), u.Len(0.035), u.Len(0.035));
    p.restore();
}

}  // namespace orvan::art
