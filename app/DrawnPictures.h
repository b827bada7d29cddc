#pragma once

#include <QColor>
#include <QPixmap>

class QPainter;
class QPointF;
class QRectF;

// What the windows' drawn pictures share: their colours, the transparent canvas and the
// figures that several windows draw alike.
namespace drawnpictures {

inline const QColor ink(40, 52, 84);
inline const QColor paper(250, 250, 246);
inline const QColor blue(52, 101, 164);
inline const QColor green(78, 154, 6);
inline const QColor amber(237, 168, 40);
inline const QColor red(204, 0, 0);

// A transparent pixmap of the given size.
QPixmap canvas(int width, int height);
inline QPixmap canvas(int side)
{
    return canvas(side, side);
}

// A person of the 16 and 25 pixel pictures (head over shoulders), standing at `at`, in
// the given colour; at scale 1 about 9 pixels wide.
void person(QPainter& p, const QPointF& at, double scale, const QColor& colour);

// A closed envelope with its flap, outlined in ink with the given pen width.
void envelope(QPainter& p, const QRectF& r, double penWidth);

} // namespace drawnpictures
