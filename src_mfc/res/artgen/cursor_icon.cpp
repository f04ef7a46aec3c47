#include "cursor_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include "painting.h"
#include "palette.h"
#include "symbols.h"

namespace orvan::art {

namespace {

QPainterPath Finger(double left, double right, double top, double bottom) {
    const double r = (right - left) / 2;
    QPainterPath path;
    path.moveTo(left, bottom);
    path.lineTo(left, top + r);
    path.arcTo(QRectF(left, top, 2 * r, 2 * r), 180, -180);
    path.lineTo(right, bottom);
    path.closeSubpath();
    return path;
}

// The hand outline with the index finger's tip at (0.5, 0.5): edges lie on pixel centres so
// the 1-px outline stays sharp.
QPainterPath HandShape() {
    QPainterPath hand = Finger(-2.5, 2.5, 0.5, 16);
    hand = hand.united(Finger(2.5, 6.5, 9.5, 18));
    hand = hand.united(Finger(6.5, 10.5, 10.5, 19));
    hand = hand.united(Finger(10.5, 14.5, 12.5, 20));
    hand = hand.united(RoundedPath(QRectF(-2.5, 14.5, 17, 14), 5, 4 | 8));
    QPainterPath thumbLine;
    thumbLine.moveTo(-4.75, 16.5);
    thumbLine.lineTo(-1, 23);
    QPainterPathStroker stroker;
    stroker.setWidth(5.5);
    stroker.setCapStyle(Qt::RoundCap);
    hand = hand.united(stroker.createStroke(thumbLine));
    return hand.simplified();
}

}  // namespace

QImage PaintHandCursor(int size, int hotSpotX, int hotSpotY) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Prepare(p);
    p.translate(hotSpotX, hotSpotY);

    const QPainterPath hand = HandShape();
    // A soft shadow keeps the white hand visible on white screens.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawPath(hand.translated(1, 1));
    p.setBrush(kWhite);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(hand);
    // Creases between the curled fingers.
    p.setPen(QPen(kGrey500, 1));
    p.drawLine(QPointF(2.5, 13.5), QPointF(2.5, 16));
    p.drawLine(QPointF(6.5, 13.5), QPointF(6.5, 17));
    p.drawLine(QPointF(10.5, 15.5), QPointF(10.5, 18));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage PaintAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Prepare(p);
    p.scale(size / 256.0, size / 256.0);

    const QRectF tile(12, 10, 232, 232);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(tile.translated(0, 4), 52, 52);

    QLinearGradient body(tile.topLeft(), tile.bottomRight());
    body.setColorAt(0, Mix(kBlueLight, kWhite, 0.1));
    body.setColorAt(1, kBlueDeep);
    p.setBrush(body);
    p.drawRoundedRect(tile, 52, 52);
    QLinearGradient sheen(tile.topLeft(), tile.center());
    sheen.setColorAt(0, WithAlpha(kWhite, 40));
    sheen.setColorAt(1, WithAlpha(kWhite, 0));
    p.setBrush(sheen);
    p.drawRoundedRect(tile, 52, 52);

    DrawProductMark(p, tile.adjusted(34, 30, -30, -34), kWhite, kBlueDark);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace orvan::art
