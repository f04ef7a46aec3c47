// Drawing helpers shared by all pictures: control states and their faces, fonts and
// pixel-snapped text, and the canvas every bitmap starts from.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <array>

namespace orvan::art {

// The four states of every control bitmap set, in resource order.
enum class State { Normal, Hover, Pressed, Disabled };
inline constexpr std::array kStates{State::Normal, State::Hover, State::Pressed, State::Disabled};

// Baked content of a pressed control moves one pixel down and right.
QPointF PressOffset(State state);

// A flat face with a subtle vertical gradient, a 1-px border and an optional 1-px highlight
// just inside the top edge.
struct Face {
    QColor top;
    QColor bottom;
    QColor border;
    QColor highlight = Qt::transparent;
    QColor content;  // colour of symbols and text drawn on the face
};

// Faces of the light push button (black caption drawn over it by the toolkit).
Face LightFace(State state);
// Faces of the blue buttons with baked white content.
Face PrimaryFace(State state);

// Rounded-corner face filling rect (pixel edges; the border lies on the outermost pixels).
// corners selects which corners are rounded: bit 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
inline constexpr int kAllCorners = 0xF;
void PaintFace(QPainter& p, const QRect& rect, double radius, const Face& face, int corners = kAllCorners);
QPainterPath RoundedPath(const QRectF& rect, double radius, int corners = kAllCorners);

// An opaque canvas of the given size filled with backdrop (the colour the bitmap sits on).
QImage Canvas(int width, int height, const QColor& backdrop = Qt::white);
// An antialiased painter for a canvas.
void Prepare(QPainter& p);

// The interface font at a pixel size, hinted for crisp small text.
QFont UiFont(int pixelSize, bool bold = false);

// Draws text centred in box, its baseline on a whole pixel so small text stays sharp.
void DrawCentredText(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
                     const QColor& color);
// Width of text in font, in pixels.
double TextWidth(const QString& text, const QFont& font);
// Draws text starting at x, vertically centred in box, baseline on a whole pixel.
void DrawTextAt(QPainter& p, double x, const QRectF& box, const QString& text, const QFont& font,
                const QColor& color);

// A soft elliptic shadow under an object standing on the ground.
void DrawGroundShadow(QPainter& p, const QPointF& centre, double rx, double ry, int alpha = 40);

}  // namespace orvan::art
