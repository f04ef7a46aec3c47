#include "sensors.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "painting.h"
#include "palette.h"
#include "symbols.h"

namespace orvan::art {

namespace {

// Fills shape as moulded white plastic lit from the upper left, with a thin grey outline.
void Plastic(QPainter& p, const QPainterPath& shape, const QColor& base = kWhite) {
    const QRectF r = shape.boundingRect();
    QLinearGradient light(r.topLeft(), r.bottomRight());
    light.setColorAt(0, Mix(base, kWhite, 0.6));
    light.setColorAt(0.55, base);
    light.setColorAt(1, Mix(base, kGrey300, 0.55));
    p.save();
    p.setPen(QPen(kGrey400, 1));
    p.setBrush(light);
    p.drawPath(shape);
    p.restore();
}

QPainterPath RoundRect(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath Ellipse(const QPointF& c, double rx, double ry) {
    QPainterPath path;
    path.addEllipse(c, rx, ry);
    return path;
}

void Led(QPainter& p, const QPointF& c, const QColor& color, double r = 2.5) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(color, 60));
    p.drawEllipse(c, r + 2, r + 2);
    p.setBrush(color);
    p.drawEllipse(c, r, r);
    p.restore();
}

void Padlock(QPainter& p, const QPointF& c, const QColor& color, bool open) {
    p.save();
    p.setPen(QPen(color, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    const double lift = open ? 2.5 : 0;
    shackle.moveTo(c + QPointF(-2.5, -1));
    shackle.lineTo(c + QPointF(-2.5, -3 - lift));
    shackle.arcTo(QRectF(c + QPointF(-2.5, -5.5 - lift), QSizeF(5, 5)), 180, -180);
    if (!open) shackle.lineTo(c + QPointF(2.5, -1));
    p.drawPath(shackle);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(c + QPointF(-4, -1), QSizeF(8, 6.5)), 1, 1);
    p.restore();
}

void KeyButton(QPainter& p, const QPointF& c, double r) {
    p.save();
    p.setPen(QPen(kGrey400, 1));
    QRadialGradient dome(c - QPointF(r / 3, r / 3), r * 1.4);
    dome.setColorAt(0, kGrey100);
    dome.setColorAt(1, kGrey300);
    p.setBrush(dome);
    p.drawEllipse(c, r, r);
    p.restore();
}

void DrawRemoteControl(QPainter& p, const QRectF& area) {
    const double cx = area.center().x();
    // Key ring and the fob's tab.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGrey400, 3));
    p.drawEllipse(QPointF(cx, area.top() + 18), 15, 15);
    p.setPen(QPen(kGrey200, 1));
    p.drawEllipse(QPointF(cx, area.top() + 18), 15, 15);

    const QRectF body(cx - 29, area.top() + 36, 58, 126);
    Plastic(p, RoundRect(body, 27));
    Plastic(p, RoundRect(QRectF(cx - 7, body.top() - 6, 14, 12), 5));
    Led(p, QPointF(cx, body.top() + 18), kLedGreen, 2);

    const double dx = 12.5;
    const double r = 10;
    const QPointF keys[] = {{cx - dx, body.top() + 44},
                            {cx + dx, body.top() + 44},
                            {cx - dx, body.top() + 71},
                            {cx + dx, body.top() + 71}};
    for (const QPointF& k : keys) KeyButton(p, k, r);
    Padlock(p, keys[0] + QPointF(0, 1), kGrey700, false);
    Padlock(p, keys[1] + QPointF(0, 1.5), kGrey700, true);
    DrawHouseGlyph(p, QRectF(keys[2] - QPointF(4.5, 4.5), QSizeF(9, 9)), kGrey700);
    p.setPen(Qt::NoPen);
    p.setBrush(kLedRed);
    p.drawEllipse(keys[3], 5.5, 5.5);
    DrawCentredText(p, QRectF(keys[3] - QPointF(5, 5), QSizeF(10, 10)), QStringLiteral("!"), UiFont(9, true),
                    kWhite);
    p.setPen(QPen(kGrey300, 1));
    p.drawLine(QPointF(cx - 12, body.bottom() - 16), QPointF(cx + 12, body.bottom() - 16));
}

void DrawSmokeDetector(QPainter& p, const QRectF& area) {
    const QPointF c(area.center().x(), area.top() + 86);
    Plastic(p, Ellipse(c, 58, 58));
    p.setPen(QPen(kGrey200, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 50, 50);
    // Smoke inlets around the middle.
    p.setPen(QPen(kGrey400, 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 24; ++i) {
        const double a = i * 2 * std::numbers::pi / 24;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(c + dir * 30, c + dir * 40);
    }
    Plastic(p, Ellipse(c, 20, 20), kGrey50);
    p.setPen(QPen(kGrey300, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 14, 14);
    Led(p, c + QPointF(0, 30 + 14), kLedRed, 2);
}

void DrawMotionSensor(QPainter& p, const QRectF& area) {
    const double cx = area.center().x();
    const QRectF body(cx - 36, area.top() + 12, 72, 146);
    Plastic(p, RoundRect(body, 14));

    // Faceted lens of the infrared detector.
    const QRectF lens(cx - 25, body.top() + 16, 50, 46);
    QLinearGradient glass(lens.topLeft(), lens.bottomLeft());
    glass.setColorAt(0, QColor(0xE6, 0xE9, 0xF1));
    glass.setColorAt(1, QColor(0xB3, 0xBA, 0xCB));
    QPainterPath dome = RoundRect(lens, 18);
    p.setPen(QPen(kGrey400, 1));
    p.setBrush(glass);
    p.drawPath(dome);
    p.save();
    p.setClipPath(dome);
    p.setPen(QPen(WithAlpha(kWhite, 150), 1));
    for (double x = lens.left() + 8.5; x < lens.right(); x += 8)
        p.drawLine(QPointF(x, lens.top()), QPointF(x, lens.bottom()));
    for (double y = lens.top() + 9.5; y < lens.bottom(); y += 9)
        p.drawLine(QPointF(lens.left(), y), QPointF(lens.right(), y));
    p.fillRect(QRectF(lens.left(), lens.top(), lens.width(), 10), WithAlpha(kWhite, 70));
    p.restore();

    Led(p, QPointF(cx, lens.bottom() + 12), kBlueLight, 2);
    p.setPen(QPen(kGrey300, 1));
    for (int i = 0; i < 3; ++i) {
        const double y = body.bottom() - 30 + 6 * i;
        p.drawLine(QPointF(cx - 14, y), QPointF(cx + 14, y));
    }
}

void DrawSiren(QPainter& p, const QRectF& area) {
    const double cx = area.center().x();
    const QRectF base(cx - 50, area.top() + 100, 100, 58);
    // Strobe dome.
    const QRectF domeBox(cx - 36, area.top() + 44, 72, 72);
    QPainterPath dome;
    dome.moveTo(domeBox.left(), base.top() + 6);
    dome.arcTo(domeBox, 180, -180);
    dome.lineTo(domeBox.right(), base.top() + 6);
    dome.closeSubpath();
    QRadialGradient red(domeBox.center() - QPointF(14, 16), 60);
    red.setColorAt(0, QColor(0xFF, 0xA4, 0xA4));
    red.setColorAt(0.45, kLedRed);
    red.setColorAt(1, QColor(0xB9, 0x1C, 0x1C));
    p.setPen(QPen(QColor(0xA3, 0x1A, 0x1A), 1));
    p.setBrush(red);
    p.drawPath(dome);
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(kWhite, 110));
    p.drawEllipse(domeBox.center() + QPointF(-14, -18), 7, 11);

    Plastic(p, RoundRect(base, 12));
    p.setPen(QPen(kGrey300, 1));
    p.drawLine(QPointF(base.left() + 8, base.top() + 12), QPointF(base.right() - 8, base.top() + 12));
    for (int i = 0; i < 5; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(kGrey400);
        p.drawEllipse(QPointF(cx - 20 + 10 * i, base.top() + 34), 2.2, 2.2);
    }

    // Sound leaving both sides of the dome.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(WithAlpha(kGrey500, 200 - 55 * i), 2.2, Qt::SolidLine, Qt::RoundCap));
        const double r = 47 + 8 * i;
        const QRectF ring(domeBox.center().x() - r, domeBox.center().y() + 8 - r, 2 * r, 2 * r);
        p.drawArc(ring, 150 * 16, 50 * 16);
        p.drawArc(ring, -20 * 16, 50 * 16);
    }
}

void DrawWaterLeak(QPainter& p, const QRectF& area) {
    const double cx = area.center().x();
    // Puddle on the floor under the sensor.
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(kWater, 45));
    p.drawEllipse(QPointF(cx + 6, area.top() + 158), 62, 13);

    const double top = area.top() + 104;
    QPainterPath side;
    side.addRoundedRect(QRectF(cx - 48, top, 96, 44), 20, 16);
    Plastic(p, side, kGrey100);
    Plastic(p, Ellipse(QPointF(cx, top + 16), 48, 17));
    Led(p, QPointF(cx, top + 16), kLedGreen, 2);
    // Contacts that sense water.
    p.setPen(QPen(kGrey500, 1));
    p.setBrush(kGrey300);
    p.drawEllipse(QPointF(cx - 24, top + 36), 3.5, 2.5);
    p.drawEllipse(QPointF(cx + 24, top + 36), 3.5, 2.5);

    // Falling drops.
    auto drop = [&p](const QPointF& tip, double size) {
        QPainterPath d;
        d.moveTo(tip);
        d.cubicTo(tip + QPointF(size * 0.2, size * 0.5), tip + QPointF(size * 0.6, size * 0.75),
                  tip + QPointF(0, size * 1.2));
        d.cubicTo(tip + QPointF(-size * 0.6, size * 0.75), tip + QPointF(-size * 0.2, size * 0.5), tip);
        QLinearGradient g(tip, tip + QPointF(0, size * 1.2));
        g.setColorAt(0, Mix(kWater, kWhite, 0.35));
        g.setColorAt(1, kWater);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(d);
    };
    drop(QPointF(cx - 20, area.top() + 22), 26);
    drop(QPointF(cx + 18, area.top() + 44), 20);
    drop(QPointF(cx - 2, area.top() + 66), 15);
}

void DrawDoorContact(QPainter& p, const QRectF& area) {
    const double cx = area.center().x();
    const QRectF sensor(cx - 38, area.top() + 14, 42, 142);
    const QRectF magnet(cx + 14, area.top() + 40, 22, 90);
    Plastic(p, RoundRect(sensor, 9));
    Plastic(p, RoundRect(magnet, 7));
    Led(p, QPointF(sensor.center().x(), sensor.top() + 16), kLedGreen, 2);
    // Alignment marks facing each other across the gap.
    p.setPen(Qt::NoPen);
    p.setBrush(kGrey400);
    const double y = magnet.center().y();
    QPolygonF toMagnet{QPointF(sensor.right() - 8, y - 5), QPointF(sensor.right() - 3, y),
                       QPointF(sensor.right() - 8, y + 5)};
    QPolygonF toSensor{QPointF(magnet.left() + 7, y - 5), QPointF(magnet.left() + 2, y),
                       QPointF(magnet.left() + 7, y + 5)};
    p.drawPolygon(toMagnet);
    p.drawPolygon(toSensor);
}

struct SensorArt {
    Sensor sensor;
    const char* caption;
    void (*draw)(QPainter&, const QRectF&);
};

constexpr SensorArt kSensorArt[] = {
    {Sensor::RemoteControl, "Remote Control", DrawRemoteControl},
    {Sensor::SmokeDetector, "Smoke Detector", DrawSmokeDetector},
    {Sensor::MotionSensor, "Motion Sensor", DrawMotionSensor},
    {Sensor::Siren, "Siren", DrawSiren},
    {Sensor::WaterLeak, "Water Leak Sensor", DrawWaterLeak},
    {Sensor::DoorContact, "Door / Window Sensor", DrawDoorContact},
};

}  // namespace

QImage PaintSensor(QSize size, Sensor sensor) {
    QImage image = Canvas(size.width(), size.height());
    QPainter p(&image);
    Prepare(p);
    const Face card{kGrey50, kGrey100, kGrey200, Qt::transparent, kGrey700};
    PaintFace(p, QRect(QPoint(0, 0), size), 10, card);

    const QRectF area(10, 20, size.width() - 20, 170);
    DrawGroundShadow(p, QPointF(area.center().x(), area.bottom() - 8), 52, 8, 45);
    for (const SensorArt& art : kSensorArt) {
        if (art.sensor != sensor) continue;
        art.draw(p, area);
        const QRectF captionLine(0, size.height() - 34, size.width(), 16);
        DrawCentredText(p, captionLine, QString::fromLatin1(art.caption), UiFont(11), kGrey700);
    }
    return image;
}

}  // namespace orvan::art
