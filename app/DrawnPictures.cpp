#include "app/DrawnPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace drawnpictures {

QPixmap canvas(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void person(QPainter& p, const QPointF& at, double scale, const QColor& colour)
{
    p.setPen(QPen(ink, 1.0));
    p.setBrush(colour);
    p.drawEllipse(QPointF(at.x(), at.y() - 3.2 * scale), 2.4 * scale, 2.4 * scale);
    QPainterPath body;
    body.moveTo(at.x() - 4.3 * scale, at.y() + 5 * scale);
    body.cubicTo(at.x() - 4.3 * scale, at.y() - 0.5 * scale, at.x() + 4.3 * scale,
                 at.y() - 0.5 * scale, at.x() + 4.3 * scale, at.y() + 5 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

void envelope(QPainter& p, const QRectF& r, double penWidth)
{
    p.setPen(QPen(ink, penWidth));
    p.setBrush(paper);
    p.drawRect(r);
    QPolygonF flap;
    flap << r.topLeft() << QPointF(r.center().x(), r.center().y() + 1) << r.topRight();
    p.drawPolyline(flap);
}

} // namespace drawnpictures
