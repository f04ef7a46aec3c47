#include "backgrounds.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "painting.h"
#include "palette.h"
#include "symbols.h"

namespace orvan::art {

namespace {

// Horizontal centre of the welcome screen's Quit and Test buttons; the title lines up with them.
constexpr double kWelcomeAxis = 265 + 114 / 2.0;
constexpr int kHeroHeight = 250;

}  // namespace

QImage PaintHeaderStrip(QSize size) {
    return Canvas(size.width(), size.height(), kWhite);
}

QImage PaintWelcome(QSize size) {
    QImage image = Canvas(size.width(), size.height());
    QPainter p(&image);
    Prepare(p);

    // Blue band with the product mark and name; the lower part stays white for the buttons.
    const QRectF hero(0, 0, size.width(), kHeroHeight);
    QLinearGradient band(hero.topLeft(), hero.bottomRight());
    band.setColorAt(0, Mix(kBlue, kBlueLight, 0.25));
    band.setColorAt(1, kBlueDeep);
    p.fillRect(hero, band);

    const QPointF markCentre(kWelcomeAxis, 92);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 6; ++i) {
        p.setPen(QPen(WithAlpha(kWhite, 24 - 3 * i), 1));
        p.drawEllipse(markCentre, 56.0 + 44 * i, 56.0 + 44 * i);
    }
    DrawProductMark(p, QRectF(markCentre - QPointF(52, 52), QSizeF(104, 104)), kWhite, kBlueDark);

    const QRectF titleLine(0, 176, 2 * kWelcomeAxis, 30);
    DrawCentredText(p, titleLine, QStringLiteral("Selvani"), UiFont(28, true), kWhite);
    const QRectF subtitleLine(0, 212, 2 * kWelcomeAxis, 16);
    DrawCentredText(p, subtitleLine, QStringLiteral("Device Finder"), UiFont(13),
                    Mix(kWhite, kBlueSoft, 0.5));

    const QRectF tagLine(0, 276, 2 * kWelcomeAxis, 16);
    DrawCentredText(p, tagLine, QStringLiteral("Find cameras, boxes and gateways on your networks"),
                    UiFont(12), kGrey700);
    const QRectF footer(0, size.height() - 24, 2 * kWelcomeAxis, 14);
    DrawCentredText(p, footer, QStringLiteral("Version 1.2.7.0"), UiFont(11), kGrey500);
    return image;
}

QImage PaintFamilyBackground(QSize size, const Family& family) {
    QImage image = Canvas(size.width(), size.height());
    QPainter p(&image);
    Prepare(p);
    const double w = size.width();
    const double h = size.height();

    // Controls sit on white everywhere; the family shows in a thin top rule and a soft corner
    // mark that stays clear of where the screens place their controls.
    p.fillRect(QRectF(0, 0, w, 3), family.tint);
    p.fillRect(QRectF(0, 3, w, 1), Mix(family.tint, kWhite, 0.7));

    const QPointF corner(w, h);
    QRadialGradient wash(corner, 135);
    wash.setColorAt(0, Mix(family.tint, kWhite, 0.86));
    wash.setColorAt(1, kWhite);
    p.setPen(Qt::NoPen);
    p.setBrush(wash);
    p.drawEllipse(corner, 135, 135);

    p.setBrush(Qt::NoBrush);
    for (double r : {70.0, 100.0, 130.0}) {
        p.setPen(QPen(Mix(family.tint, kWhite, 0.78), 1));
        p.drawEllipse(corner, r, r);
    }
    family.glyph(p, QRectF(w - 68, h - 66, 54, 54), Mix(family.tint, kWhite, 0.4), 2.2);
    return image;
}

}  // namespace orvan::art
