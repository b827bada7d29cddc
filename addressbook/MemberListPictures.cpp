#include "addressbook/MemberListPictures.h"

#include "app/DrawnPictures.h"

#include <QPainter>
#include <QPolygonF>

namespace MemberListPictures {

using namespace drawnpictures;

QPixmap MemberPicture()
{
    QPixmap pixmap = canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    person(p, QPointF(8, 9), 1.2, blue.lighter(130));
    return pixmap;
}

QPixmap ToolbarPicture(const QString& key)
{
    QPixmap pixmap = canvas(25);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("btnNew")) {
        person(p, QPointF(11, 14), 1.7, blue.lighter(130));
        p.setPen(QPen(green, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 3), QPointF(19, 11));
        p.drawLine(QPointF(15, 7), QPointF(23, 7));
    } else if (key == QLatin1String("btnEdit")) {
        person(p, QPointF(10, 14), 1.7, blue.lighter(130));
        p.setPen(QPen(ink, 1.0));
        p.setBrush(amber);
        QPolygonF pencil;
        pencil << QPointF(14, 19) << QPointF(21, 6) << QPointF(24, 8) << QPointF(17, 21)
               << QPointF(13.5, 22.5);
        p.drawPolygon(pencil);
    } else if (key == QLatin1String("btnDelete")) {
        person(p, QPointF(11, 14), 1.7, blue.lighter(130));
        p.setPen(QPen(red, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 3), QPointF(23, 10));
        p.drawLine(QPointF(23, 3), QPointF(16, 10));
    } else if (key == QLatin1String("btnCriteria")) {
        // A funnel over the list's lines.
        p.setPen(QPen(ink, 1.0));
        p.setBrush(paper);
        p.drawRect(QRectF(2.5, 3.5, 14, 18));
        p.setPen(QPen(ink.lighter(160), 1.2));
        for (int y = 7; y <= 19; y += 4)
            p.drawLine(QPointF(5, y), QPointF(14, y));
        p.setPen(QPen(ink, 1.0));
        p.setBrush(blue);
        QPolygonF funnel;
        funnel << QPointF(11, 9) << QPointF(24, 9) << QPointF(19, 15) << QPointF(19, 22)
               << QPointF(16, 20) << QPointF(16, 15);
        p.drawPolygon(funnel);
    } else {
        return QPixmap();
    }
    return pixmap;
}

} // namespace MemberListPictures
