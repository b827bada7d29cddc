#include "app/MainWindowPictures.h"

#include "app/DrawnPictures.h"

#include <QCursor>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace MainWindowPictures {

using drawnpictures::amber;
using drawnpictures::blue;
using drawnpictures::canvas;
using drawnpictures::envelope;
using drawnpictures::green;
using drawnpictures::ink;
using drawnpictures::paper;
using drawnpictures::red;

namespace {

constexpr int side = 32;

void person(QPainter& p, const QPointF& at, double scale, const QColor& colour)
{
    p.setPen(QPen(ink, 1.2));
    p.setBrush(colour);
    p.drawEllipse(QPointF(at.x(), at.y() - 6 * scale), 4.5 * scale, 4.5 * scale);
    QPainterPath body;
    body.moveTo(at.x() - 8 * scale, at.y() + 10 * scale);
    body.cubicTo(at.x() - 8 * scale, at.y() - 1 * scale, at.x() + 8 * scale, at.y() - 1 * scale,
                 at.x() + 8 * scale, at.y() + 10 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

void sheet(QPainter& p, const QRectF& r, int lines)
{
    p.setPen(QPen(ink, 1.2));
    p.setBrush(paper);
    p.drawRect(r);
    p.setPen(QPen(QColor(130, 140, 160), 1));
    for (int i = 0; i < lines; ++i) {
        const double y = r.top() + 6 + i * 4;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void arrowRight(QPainter& p, const QPointF& from, double length, const QColor& colour)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, QPointF(from.x() + length, from.y()));
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    QPolygonF head;
    head << QPointF(from.x() + length + 5, from.y()) << QPointF(from.x() + length - 1, from.y() - 5)
         << QPointF(from.x() + length - 1, from.y() + 5);
    p.drawPolygon(head);
}

void gear(QPainter& p, const QPointF& c, double outer, double inner)
{
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i * M_PI) / teeth;
        const double a1 = ((i + 1) * M_PI) / teeth;
        const double r = (i % 2 == 0) ? outer : outer - 3.5;
        const QPointF p0(c.x() + r * std::cos(a0), c.y() + r * std::sin(a0));
        const QPointF p1(c.x() + r * std::cos(a1), c.y() + r * std::sin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    path.addEllipse(c, inner, inner);
    path.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(ink, 1.2));
    p.setBrush(QColor(150, 160, 175));
    p.drawPath(path);
}

QPixmap members()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    sheet(p, QRectF(14.5, 3.5, 15, 20), 4);
    person(p, QPointF(11, 17), 1.1, blue);
    return pixmap;
}

QPixmap groups()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    person(p, QPointF(9, 15), 0.8, green);
    person(p, QPointF(23, 15), 0.8, amber);
    person(p, QPointF(16, 19), 1.0, blue);
    return pixmap;
}

QPixmap outbox()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    envelope(p, QRectF(2.5, 8.5, 20, 14), 1.3);
    arrowRight(p, QPointF(16, 24), 8, green);
    return pixmap;
}

QPixmap sent()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    envelope(p, QRectF(2.5, 6.5, 22, 15), 1.3);
    p.setPen(QPen(green, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPolygonF tick;
    tick << QPointF(17, 23) << QPointF(21, 27) << QPointF(29, 17);
    p.drawPolyline(tick);
    return pixmap;
}

QPixmap saved()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.3));
    p.setBrush(blue);
    QPainterPath disk;
    disk.moveTo(4.5, 4.5);
    disk.lineTo(24.5, 4.5);
    disk.lineTo(27.5, 7.5);
    disk.lineTo(27.5, 27.5);
    disk.lineTo(4.5, 27.5);
    disk.closeSubpath();
    p.drawPath(disk);
    p.setBrush(paper);
    p.drawRect(QRectF(8.5, 4.5, 14, 8));
    p.setBrush(QColor(220, 224, 232));
    p.drawRect(QRectF(8.5, 17.5, 15, 10));
    p.setBrush(ink);
    p.drawRect(QRectF(17.5, 6, 3, 5));
    return pixmap;
}

QPixmap settings()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    gear(p, QPointF(16, 16), 13, 4.5);
    return pixmap;
}

QPixmap errorLog()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    sheet(p, QRectF(4.5, 2.5, 19, 26), 5);
    p.setPen(QPen(ink, 1));
    p.setBrush(red);
    p.drawEllipse(QPointF(22, 22), 7.5, 7.5);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 17.5), QPointF(22, 22.5));
    p.drawPoint(QPointF(22, 26));
    return pixmap;
}

QPixmap calculator()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.3));
    p.setBrush(QColor(120, 130, 150));
    p.drawRoundedRect(QRectF(6.5, 2.5, 19, 27), 2, 2);
    p.setBrush(QColor(200, 230, 200));
    p.drawRect(QRectF(9.5, 5.5, 13, 6));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.setBrush(row == 2 && col == 2 ? amber : paper);
            p.drawRect(QRectF(9.5 + col * 4.6, 14 + row * 4.8, 3.4, 3.4));
        }
    }
    return pixmap;
}

QPixmap notepad()
{
    QPixmap pixmap = canvas(side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    sheet(p, QRectF(5.5, 4.5, 20, 25), 5);
    p.setPen(QPen(ink, 1.2));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(9 + i * 4.5, 4.5), 1.4, 2.2);
    p.setPen(QPen(amber.darker(120), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 26), QPointF(28, 12));
    return pixmap;
}

QPixmap newMessage()
{
    QPixmap pixmap = canvas(24, 24);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    envelope(p, QRectF(1.5, 6.5, 16, 11), 1.3);
    p.setPen(QPen(green, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 12), QPointF(19, 22));
    p.drawLine(QPointF(14, 17), QPointF(24, 17));
    return pixmap;
}

QPixmap credits()
{
    QPixmap pixmap = canvas(24, 24);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.1));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(amber);
        p.drawEllipse(QRectF(3.5, 14.5 - i * 4, 14, 6));
    }
    p.setBrush(blue);
    p.drawRoundedRect(QRectF(12.5, 2.5, 10, 8), 2, 2);
    return pixmap;
}

} // namespace

QPixmap PanelPicture(int index)
{
    switch (index) {
    case 1:
        return members();
    case 2:
        return groups();
    case 3:
        return outbox();
    case 4:
        return sent();
    case 5:
        return saved();
    case 6:
        return settings();
    case 7:
        return errorLog();
    case 8:
        return calculator();
    case 9:
        return notepad();
    default:
        return QPixmap();
    }
}

QPixmap ToolbarPicture(const QString& key)
{
    if (key == QLatin1String("btnNewMessage"))
        return newMessage();
    if (key == QLatin1String("btnGetCredits"))
        return credits();
    return QPixmap();
}

QPixmap BuiltInLogo()
{
    QPixmap pixmap = canvas(300, 130);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient shade(0, 0, 0, 130);
    shade.setColorAt(0, QColor(70, 120, 185));
    shade.setColorAt(1, QColor(32, 64, 112));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(0, 0, 300, 130), 16, 16);

    // A speech bubble: what the program carries.
    p.setBrush(QColor(255, 255, 255, 235));
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(20, 24, 74, 56), 12, 12);
    QPolygonF tail;
    tail << QPointF(38, 78) << QPointF(32, 100) << QPointF(56, 78);
    bubble.addPolygon(tail);
    bubble.setFillRule(Qt::WindingFill);
    p.drawPath(bubble.simplified());
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(22);
    small.setBold(true);
    p.setFont(small);
    p.setPen(QColor(32, 64, 112));
    p.drawText(QRectF(20, 24, 74, 56), Qt::AlignCenter, QStringLiteral("SMS"));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(104, 18, 190, 64), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Vantrel"));
    return pixmap;
}

QCursor LinkCursor()
{
    return QCursor(Qt::PointingHandCursor);
}

} // namespace MainWindowPictures
