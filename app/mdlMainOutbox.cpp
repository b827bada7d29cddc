#include "app/mdlMainOutbox.h"

#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/Clock.h"
#include "platform/DbDates.h"
#include "platform/MsgBox.h"
#include "platform/Recordset.h"

#include <QDateTime>
#include <optional>
#include <utility>

namespace mdlMain {

namespace {

const QString LF = QStringLiteral("\n");
const QString sendTitle = QStringLiteral("ΑΠΟΣΤΟΛΗ ΜΗΝΥΜΑΤΟΣ");

struct WriteFailure {
    int number = 0;
    QString description;
    QString source;
};

void refuse(const QString& firstLine)
{
    rt::MsgBox(firstLine + LF + QStringLiteral("Η αποστολή είναι αδύνατη."),
               rt::mb::OKOnly | rt::mb::Exclamation, sendTitle);
}

// The runtime refused a text it could not read as a date or time for a date column.
WriteFailure typeMismatch()
{
    return WriteFailure{13, QStringLiteral("Type mismatch"), rt::App::title()};
}

WriteFailure fromDb(const rt::DbResult& result)
{
    return WriteFailure{result.number, result.description, QStringLiteral("SQLite")};
}

// A non-empty screen text that is not a date (or time) is a failure, never "at once".
bool scheduleValue(const QString& text, QVariant (*convert)(const QString&), QVariant& value)
{
    value = QVariant();
    if (text.isEmpty())
        return true;
    value = convert(text);
    return value.isValid();
}

} // namespace

qint32 AddOutboxMessage(const QString& Title, const QString& Text, const QString& Originator,
                        const QString& PhoneList, const QString& SchDate, const QString& SchTime,
                        bool Flash)
{
    if (Text.isEmpty()) {
        refuse(QStringLiteral("Το μήνυμα που θέλετε να στείλετε δεν περιέχει κέιμενο."));
        return 0;
    }
    if (PhoneList.isEmpty()) {
        refuse(QStringLiteral("Το μήνυμα που θέλετε να στείλετε δεν περιέχει παραλήπτες."));
        return 0;
    }

    const auto write = [&](qint32& id) -> std::optional<WriteFailure> {
        // No existing row is needed to add one: the set starts empty.
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM outbox_messages WHERE msg_id IS NULL"), {}},
            rt::RecordsetType::Dynaset);
        if (!rs.isOpen())
            return fromDb(rs.status());
        if (const rt::DbResult r = rs.addNew(); !r)
            return fromDb(r);
        QVariant schDate, schTime;
        if (!scheduleValue(SchDate, &rt::dbDateFromShort, schDate) ||
            !scheduleValue(SchTime, &rt::dbTimeFromShort, schTime))
            return typeMismatch();
        const QVariant originator = Originator.isEmpty()
                                        ? mdlDataBase::EmptyToNull(mdlSettings::Originator)
                                        : QVariant(Originator);
        const QDateTime now = rt::Now();
        const std::pair<const char*, QVariant> fields[] = {
            {"msg_schdate", schDate},
            {"msg_schtime", schTime},
            {"msg_date", rt::dbDate(now.date())},
            {"msg_time", rt::dbTime(now.time())},
            // An empty title stays an empty text, not Null.
            {"msg_title", QVariant(Title.isNull() ? QStringLiteral("") : Title)},
            {"msg_text", Text},
            {"msg_originator", originator},
            {"msg_phonelist", PhoneList},
            {"msg_flash", Flash},
        };
        for (const auto& [name, value] : fields) {
            if (!rs.setField(QString::fromLatin1(name), value))
                return WriteFailure{3265, QStringLiteral("Item not found in this collection."),
                                    QStringLiteral("SQLite")};
        }
        if (const rt::DbResult r = rs.update(); !r)
            return fromDb(r);
        id = static_cast<qint32>(rs.lastModified());
        return std::nullopt;
    };

    qint32 id = 0;
    if (const std::optional<WriteFailure> failure = write(id)) {
        mdlDialogs::WriteErrorLog(failure->number, failure->source, failure->description);
        rt::MsgBox(QStringLiteral("Σφάλμα: ") + QString::number(failure->number) + LF +
                       failure->description,
                   rt::mb::OKOnly | rt::mb::Critical);
        return 0;
    }
    return id;
}

} // namespace mdlMain
