#include "app/Pictures.h"

#include "app/DrawnPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace pictures {

using drawnpictures::canvas;

QPixmap Logo(int size)
{
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // The phone.
    p.setPen(QPen(QColor(40, 60, 110), s * 0.04));
    p.setBrush(QColor(70, 110, 180));
    p.drawRoundedRect(QRectF(s * 0.28, s * 0.06, s * 0.44, s * 0.88), s * 0.07, s * 0.07);
    p.setBrush(QColor(220, 235, 250));
    p.drawRect(QRectF(s * 0.34, s * 0.16, s * 0.32, s * 0.52));
    // The envelope in front of it.
    const QRectF envelope(s * 0.08, s * 0.44, s * 0.6, s * 0.38);
    p.setPen(QPen(QColor(150, 90, 20), s * 0.03));
    p.setBrush(QColor(250, 200, 90));
    p.drawRect(envelope);
    QPainterPath flap;
    flap.moveTo(envelope.topLeft());
    flap.lineTo(envelope.center().x(), envelope.top() + envelope.height() * 0.55);
    flap.lineTo(envelope.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    return pixmap;
}

QPixmap Lock(int size)
{
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(90, 90, 100), s * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(s * 0.27, s * 0.08, s * 0.46, s * 0.5), 0, 180 * 16);
    p.drawLine(QPointF(s * 0.27, s * 0.33), QPointF(s * 0.27, s * 0.45));
    p.drawLine(QPointF(s * 0.73, s * 0.33), QPointF(s * 0.73, s * 0.45));
    p.setPen(QPen(QColor(140, 100, 10), s * 0.03));
    p.setBrush(QColor(235, 185, 40));
    p.drawRoundedRect(QRectF(s * 0.15, s * 0.42, s * 0.7, s * 0.5), s * 0.06, s * 0.06);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 0));
    p.drawEllipse(QPointF(s * 0.5, s * 0.62), s * 0.06, s * 0.06);
    p.drawRect(QRectF(s * 0.475, s * 0.64, s * 0.05, s * 0.15));
    return pixmap;
}

} // namespace pictures
