#include "messages/SavedSentLists.h"

#include "addressbook/mdlGroups.h"
#include "app/DrawnPictures.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "messages/frmMessage_Properties.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/ListItems.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <optional>

namespace savedsent {

using drawnpictures::canvas;

namespace {

void drawEnvelope(QPainter& p, const QRectF& body)
{
    p.setPen(QPen(QColor(60, 70, 110), 1));
    p.setBrush(QColor(250, 246, 225));
    p.drawRect(body);
    const QPointF fold(body.center().x(), body.top() + body.height() * 0.55);
    p.drawLine(body.topLeft(), fold);
    p.drawLine(body.topRight(), fold);
}

void drawClock(QPainter& p, const QRectF& face)
{
    p.setPen(QPen(QColor(40, 70, 140), 1));
    p.setBrush(QColor(225, 235, 255));
    p.drawEllipse(face);
    const QPointF c = face.center();
    p.drawLine(c, QPointF(c.x(), face.top() + 1.5));
    p.drawLine(c, QPointF(face.right() - 1.5, c.y()));
}

void drawPage(QPainter& p, const QRectF& page)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(page);
    p.setPen(QPen(QColor(150, 150, 170), 1));
    for (qreal y = page.top() + 4; y < page.bottom() - 2; y += 3)
        p.drawLine(QPointF(page.left() + 3, y), QPointF(page.right() - 3, y));
}

void drawArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& colour)
{
    p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * 4 + n * 3);
    p.drawLine(to, to - d * 4 - n * 3);
}

[[noreturn]] void raiseDb(const rt::DbResult& result)
{
    rt::Raise(result.number, result.description, QStringLiteral("SQLite"));
}

} // namespace

QPixmap ListPicture(int index)
{
    if (index != 1 && index != 2)
        return QPixmap();
    QPixmap picture = canvas(16);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    drawEnvelope(p, QRectF(1.5, 3.5, 13, 9));
    if (index == 2)
        drawClock(p, QRectF(8.5, 7.5, 7, 7));
    return picture;
}

QPixmap ToolbarPicture(const QString& key)
{
    QPixmap picture = canvas(25);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("btnEdit")) {
        drawPage(p, QRectF(3.5, 2.5, 14, 19));
        // A pencil across the page.
        QPainterPath pencil;
        pencil.moveTo(21, 6);
        pencil.lineTo(23, 8);
        pencil.lineTo(12, 19);
        pencil.lineTo(9, 20);
        pencil.lineTo(10, 17);
        pencil.closeSubpath();
        p.setPen(QPen(QColor(120, 80, 20), 1));
        p.setBrush(QColor(240, 190, 60));
        p.drawPath(pencil);
    } else if (key == QLatin1String("btnSend")) {
        drawEnvelope(p, QRectF(2.5, 5.5, 16, 12));
        drawArrow(p, QPointF(13, 21), QPointF(23, 21), QColor(30, 130, 60));
    } else if (key == QLatin1String("btnDelete")) {
        drawEnvelope(p, QRectF(2.5, 4.5, 16, 12));
        p.setPen(QPen(QColor(200, 40, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(22, 22));
        p.drawLine(QPointF(22, 14), QPointF(14, 22));
    } else if (key == QLatin1String("btnDetails")) {
        drawPage(p, QRectF(3.5, 2.5, 14, 19));
        p.setPen(QPen(QColor(30, 60, 140), 1));
        p.setBrush(QColor(60, 110, 210));
        p.drawEllipse(QRectF(12.5, 12.5, 11, 11));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(QPointF(18, 15.5));
        p.drawLine(QPointF(18, 18), QPointF(18, 21));
    } else if (key == QLatin1String("btnExport")) {
        drawPage(p, QRectF(2.5, 2.5, 14, 19));
        drawArrow(p, QPointF(12, 17), QPointF(23, 17), QColor(40, 90, 180));
    } else {
        return QPixmap();
    }
    return picture;
}

rt::ImageList* NewListImages(QObject* parent, int pictures)
{
    auto* images = new rt::ImageList(parent);
    images->setObjectName(QStringLiteral("Images16x16"));
    for (int index = 1; index <= pictures; ++index)
        images->Add(ListPicture(index));
    return images;
}

rt::ListView* NewMessageList(QWidget* parent, const QString& name, rt::ImageList* icons)
{
    auto* list = new rt::ListView(parent);
    list->setObjectName(name);
    list->setMultiSelect(true);
    list->setSmallIcons(icons);
    list->AddColumn(QString(), rt::toTwips(25));
    return list;
}

qint32 MessageId(const rt::ListItem& item)
{
    const QString key = item.Key();
    if (!key.startsWith(QLatin1String("MSG_")))
        return 0;
    bool ok = false;
    const qint32 id = mdlGroups::KeyToId(key).toInt(&ok);
    return ok ? id : 0;
}

rt::ListItem OnlySelectedItem(rt::ListView& list)
{
    rt::ListItem found;
    for (const rt::ListItem item : list.ListItems()) {
        if (!item.Selected())
            continue;
        if (found)
            return rt::ListItem();
        found = item;
    }
    return found;
}

void SelectOnly(rt::ListView& list, const rt::ListItem& item)
{
    for (rt::ListItem other : list.ListItems()) {
        if (other.Selected() && !(other == item))
            other.setSelected(false);
    }
    list.setSelectedItem(item);
}

void ShowMessageDetails(qint32 MsgID, const QString& MsgTable)
{
    try {
        rt::Forms::get<frmMessage_Properties>().ShowDetails(MsgID, MsgTable);
    } catch (const rt::RuntimeError& error) {
        // A dialog that could not be filled is not left behind for the next command.
        rt::Forms::unload<frmMessage_Properties>();
        rt::reportUntrapped(error);
        return;
    }
    if (frmMessage_Properties* dialog = rt::Forms::find<frmMessage_Properties>())
        rt::Forms::showModal(*dialog);
}

void ShowChosenDetails(rt::ListView& list, const QString& MsgTable)
{
    const rt::ListItem selected = list.SelectedItem();
    if (!selected)
        return;
    ShowMessageDetails(MessageId(selected), MsgTable);
}

bool DeleteSelectedMessages(rt::ListView& list, int titleColumn, const QString& deleteStatement)
{
    const int n = mdlGroups::SelectedItemCount(list);
    // With nothing selected there is nothing to name or to delete.
    if (n == 0)
        return false;
    const QString subject = n < 2 ? QStringLiteral("το μήνυμα \"") +
                                        OnlySelectedItem(list).SubItems(titleColumn) +
                                        QStringLiteral("\".")
                                  : QString::number(n) + QStringLiteral(" μηνύματα.");
    const int answer =
        rt::MsgBox(QStringLiteral("Πρόκειτε να διαγράψετε ") + subject + QLatin1Char('\n') +
                       QStringLiteral("Θέλετε να συνεχίσετε;"),
                   rt::mb::YesNo | rt::mb::Question, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ"));
    if (answer == rt::mb::No)
        return false;

    // Shown again however the loop ends.
    struct Shown {
        rt::ListView& list;
        bool wasHidden;
        ~Shown() { list.setHidden(wasHidden); }
    } shown{list, list.isHidden()};
    list.hide();
    rt::ListItems items = list.ListItems();
    rt::Database& db = mdlDataBase::MainDatabase();
    // From the end, so that removing an item does not move the ones still to be seen.
    for (int i = items.Count(); i >= 1; --i) {
        const rt::ListItem item = items.Item(i);
        if (!item.Selected())
            continue;
        const rt::DbResult result = db.execute({deleteStatement, {MessageId(item)}});
        if (!result)
            raiseDb(result);
        items.Remove(i);
    }
    return true;
}

void DeleteSelectedAndUpdate(rt::ListView& list, int titleColumn, const QString& deleteStatement,
                             const std::function<void()>& afterwards)
{
    std::optional<rt::RuntimeError> failure;
    bool deleted = false;
    try {
        deleted = DeleteSelectedMessages(list, titleColumn, deleteStatement);
    } catch (const rt::RuntimeError& error) {
        // The rows deleted before the failure are gone from the list too.
        failure = error;
        deleted = true;
    }
    if (failure) {
        try {
            afterwards();
        } catch (const rt::RuntimeError&) {
        }
        rt::reportUntrapped(*failure);
    } else if (deleted) {
        mdlDialogs::ReportFailure(afterwards);
    }
}

} // namespace savedsent
