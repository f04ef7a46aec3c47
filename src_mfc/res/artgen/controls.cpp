#include "controls.h"

#include <QPainter>
#include <cmath>
#include <functional>

#include "palette.h"
#include "symbols.h"

namespace orvan::art {

namespace {

using Glyph = std::function<void(QPainter&, const QRectF&, const QColor&)>;

// A blue button with a glyph followed by a caption, the pair centred on the face.
QImage PaintGlyphButton(QSize size, State state, double radius, int corners, const Glyph& glyph,
                        double glyphSize, double gap, const QString& caption, const QFont& font) {
    QImage image = Canvas(size.width(), size.height());
    QPainter p(&image);
    Prepare(p);
    const Face face = PrimaryFace(state);
    PaintFace(p, QRect(QPoint(0, 0), size), radius, face, corners);

    const QRectF body = QRectF(0, 0, size.width(), size.height()).translated(PressOffset(state));
    const double total = glyphSize + gap + TextWidth(caption, font);
    const double left = std::round(body.center().x() - total / 2);
    const double top = std::round(body.center().y() - glyphSize / 2);
    glyph(p, QRectF(left, top, glyphSize, glyphSize), face.content);
    DrawTextAt(p, left + glyphSize + gap, body, caption, font, face.content);
    return image;
}

}  // namespace

QImage PaintPushButton(QSize size, State state) {
    QImage image = Canvas(size.width(), size.height());
    QPainter p(&image);
    Prepare(p);
    PaintFace(p, QRect(QPoint(0, 0), size), 4, LightFace(state));
    if (state == State::Pressed) {
        // A faint inner shadow along the top edge makes the face read as pushed in.
        p.fillRect(QRectF(2, 1, size.width() - 4, 1), WithAlpha(kInk, 28));
    }
    return image;
}

QImage PaintChoiceBox(QSize size, bool checked, State state) {
    QImage image = Canvas(size.width(), size.height());
    QPainter p(&image);
    Prepare(p);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double outer = 9;

    QColor ring;
    QColor fill;
    QColor dot;
    switch (state) {
        case State::Normal:
            ring = checked ? kBlue : kGrey400;
            fill = kWhite;
            dot = kBlue;
            break;
        case State::Hover:
            ring = kBlueLight;
            fill = kBlueTint;
            dot = kBlueLight;
            break;
        case State::Pressed:
            ring = checked ? kBlueDeep : kBlueDark;
            fill = kBlueSoft;
            dot = kBlueDeep;
            break;
        case State::Disabled:
            ring = kGrey300;
            fill = kGrey100;
            dot = kGrey400;
            break;
    }
    const double ringWidth = checked ? 2 : 1;
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(centre, outer, outer);
    p.setBrush(fill);
    p.drawEllipse(centre, outer - ringWidth, outer - ringWidth);
    if (checked) {
        p.setBrush(dot);
        p.drawEllipse(centre, 4.5, 4.5);
    }
    return image;
}

QImage PaintScanButton(QSize size, State state) {
    return PaintGlyphButton(size, state, 3, kAllCorners, DrawSearchGlyph, 9, 4, QStringLiteral("Scan"),
                            UiFont(10, true));
}

QImage PaintWebGuiButton(QSize size, State state) {
    return PaintGlyphButton(size, state, 3, kAllCorners, DrawGlobeGlyph, 9, 4, QStringLiteral("Web GUI"),
                            UiFont(10, true));
}

QImage PaintHomeTab(QSize size, State state) {
    // The tab hangs on the window's left edge, so only its right corners are rounded.
    constexpr int kRightCorners = 2 | 4;
    return PaintGlyphButton(size, state, 6, kRightCorners, DrawHouseGlyph, 18, 9, QStringLiteral("Home"),
                            UiFont(15, true));
}

}  // namespace orvan::art
