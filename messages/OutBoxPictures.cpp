#include "messages/OutBoxPictures.h"

#include "app/DrawnPictures.h"
#include "compose/MessageWindowPictures.h"

#include <QPainter>
#include <QPolygonF>

namespace OutBoxPictures {

using namespace drawnpictures;

namespace {

void badge(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.setPen(QPen(colour.darker(130), 1.0));
    p.setBrush(colour);
    p.drawEllipse(r);
}

void cross(QPainter& p, const QRectF& r, const QColor& colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

} // namespace

QPixmap ItemPicture(int index)
{
    if (index != 1 && index != 2)
        return {};
    QPixmap pixmap = canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    envelope(p, QRectF(0.5, 2.5, 12, 9), 1.1);
    if (index == 1) {
        // Waiting: a small clock.
        badge(p, QRectF(8.5, 8.5, 7, 7), amber);
        p.setPen(QPen(ink, 1.0));
        p.drawLine(QPointF(12, 12), QPointF(12, 9.8));
        p.drawLine(QPointF(12, 12), QPointF(13.8, 12));
    } else {
        badge(p, QRectF(8.5, 8.5, 7, 7), red);
        cross(p, QRectF(10.5, 10.5, 3, 3), paper, 1.3);
    }
    return pixmap;
}

QPixmap ToolbarPicture(const QString& key)
{
    if (key == QLatin1String("btnSend"))
        return MessageWindowPictures::ToolbarPicture(key);
    QPixmap pixmap = canvas(25);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("btnDelete")) {
        envelope(p, QRectF(2.5, 4.5, 15, 11), 1.1);
        cross(p, QRectF(13.5, 13.5, 8, 8), red, 2.6);
    } else if (key == QLatin1String("btnDetails")) {
        envelope(p, QRectF(2.5, 4.5, 15, 11), 1.1);
        badge(p, QRectF(12.5, 11.5, 11, 11), blue);
        p.setPen(QPen(paper, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 16), QPointF(18, 20));
        p.drawPoint(QPointF(18, 13.8));
    } else if (key == QLatin1String("btnExport")) {
        // A page with an arrow leaving it.
        p.setPen(QPen(ink, 1.1));
        p.setBrush(paper);
        p.drawRect(QRectF(3.5, 2.5, 12, 17));
        p.setPen(QPen(blue, 1.2));
        for (int line = 0; line < 4; ++line)
            p.drawLine(QPointF(5.5, 6.5 + 3 * line), QPointF(13.5, 6.5 + 3 * line));
        p.setPen(QPen(green, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 19), QPointF(19, 19));
        QPolygonF head;
        head << QPointF(24, 19) << QPointF(19.5, 14.5) << QPointF(19.5, 23.5);
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        p.drawPolygon(head);
    } else {
        return {};
    }
    return pixmap;
}

} // namespace OutBoxPictures
