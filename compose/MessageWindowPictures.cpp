#include "compose/MessageWindowPictures.h"

#include "app/DrawnPictures.h"

#include <QPainter>
#include <QPolygonF>

namespace MessageWindowPictures {

using namespace drawnpictures;

namespace {

const QColor folder(232, 190, 92);
const QColor grey(136, 138, 133);

void folderShape(QPainter& p, bool open)
{
    p.setPen(QPen(ink, 1.0));
    p.setBrush(folder.darker(115));
    p.drawRect(QRectF(1.5, 3.5, 6, 2));
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    if (open) {
        p.setBrush(folder.lighter(115));
        QPolygonF flap;
        flap << QPointF(3.5, 7.5) << QPointF(15.5, 7.5) << QPointF(13.5, 13.5)
             << QPointF(1.5, 13.5);
        p.drawPolygon(flap);
    }
}

void clockFace(QPainter& p, const QRectF& r, const QColor& rim)
{
    p.setPen(QPen(rim, 1.4));
    p.setBrush(paper);
    p.drawEllipse(r);
    const QPointF c = r.center();
    p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x(), r.top() + r.height() * 0.2));
    p.drawLine(c, QPointF(c.x() + r.width() * 0.25, c.y()));
}

void bolt(QPainter& p, const QPointF& at, double scale)
{
    QPolygonF shape;
    shape << QPointF(at.x() + 2 * scale, at.y()) << QPointF(at.x() - 2 * scale, at.y() + 5 * scale)
          << QPointF(at.x() + 0.3 * scale, at.y() + 5 * scale)
          << QPointF(at.x() - 1.5 * scale, at.y() + 10 * scale)
          << QPointF(at.x() + 3 * scale, at.y() + 4 * scale)
          << QPointF(at.x() + 0.8 * scale, at.y() + 4 * scale);
    p.setPen(QPen(ink, 0.8));
    p.setBrush(amber);
    p.drawPolygon(shape);
}

void arrowHead(QPainter& p, const QPointF& tip, double size, bool right, const QColor& colour)
{
    const double back = right ? -size : size;
    QPolygonF head;
    head << tip << QPointF(tip.x() + back, tip.y() - size)
         << QPointF(tip.x() + back, tip.y() + size);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

} // namespace

QPixmap ImageListPicture(int index)
{
    if (index < 1 || index > ImageListCount)
        return {};
    QPixmap pixmap = canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 1: // the whole address book
        person(p, QPointF(5, 9), 1.0, green);
        person(p, QPointF(11, 9), 1.0, amber);
        person(p, QPointF(8, 10.5), 1.05, blue);
        break;
    case 2:
        folderShape(p, false);
        break;
    case 3:
        folderShape(p, true);
        break;
    case 4:
        person(p, QPointF(8, 9.5), 1.35, blue);
        break;
    case 5:
        person(p, QPointF(8, 9.5), 1.35, grey);
        p.setPen(QPen(ink, 1.0));
        p.setBrush(folder);
        p.drawRect(QRectF(10.5, 10.5, 5, 4));
        break;
    case 6: { // text still to write
        p.setPen(QPen(ink, 1.0));
        p.setBrush(paper);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(QPen(blue, 1.4));
        for (int line = 0; line < 3; ++line)
            p.drawLine(QPointF(3.5, 5.5 + 3 * line),
                       QPointF(line == 2 ? 8.5 : 12.5, 5.5 + 3 * line));
        break;
    }
    case 7:
        clockFace(p, QRectF(1.5, 1.5, 13, 13), blue);
        break;
    case 8:
        envelope(p, QRectF(1.5, 4.5, 10, 8), 1.2);
        bolt(p, QPointF(12, 2), 1.0);
        break;
    default:
        break;
    }
    return pixmap;
}

QPixmap ToolbarPicture(const QString& key)
{
    QPixmap pixmap = canvas(25);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("btnInstantGroup")) {
        person(p, QPointF(8, 13), 1.5, green);
        person(p, QPointF(15, 14), 1.6, blue);
        bolt(p, QPointF(19, 2), 1.3);
    } else if (key == QLatin1String("btnSaveMsg")) {
        p.setPen(QPen(ink, 1.3));
        p.setBrush(blue);
        p.drawRoundedRect(QRectF(3.5, 3.5, 18, 18), 2, 2);
        p.setBrush(paper);
        p.drawRect(QRectF(7.5, 3.5, 10, 7));
        p.setBrush(grey.lighter(140));
        p.drawRect(QRectF(6.5, 14.5, 12, 7));
    } else if (key == QLatin1String("btnMsgTimer")) {
        clockFace(p, QRectF(2.5, 2.5, 20, 20), blue);
    } else if (key == QLatin1String("btnSend")) {
        envelope(p, QRectF(2.5, 6.5, 15, 11), 1.2);
        p.setPen(QPen(green, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 19), QPointF(19, 19));
        arrowHead(p, QPointF(24, 19), 4, true, green);
    } else {
        return {};
    }
    return pixmap;
}

QPixmap ExpandPicture(bool opening)
{
    QPixmap pixmap(9, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (opening)
        arrowHead(p, QPointF(7.5, 8), 4.5, true, ink);
    else
        arrowHead(p, QPointF(1.5, 8), 4.5, false, ink);
    return pixmap;
}

} // namespace MessageWindowPictures
