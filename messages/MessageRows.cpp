#include "messages/MessageRows.h"

#include "app/mdlDataBase.h"
#include "platform/DbDates.h"
#include "platform/Err.h"

#include <QStringList>

namespace MessageRows {

bool IsMessageTable(const QString& table)
{
    static const QStringList tables = {QStringLiteral("outbox_messages"),
                                       QStringLiteral("saved_messages"),
                                       QStringLiteral("sended_messages")};
    return tables.contains(table);
}

rt::Recordset OpenMessage(const QString& table, qint32 msgId)
{
    if (!IsMessageTable(table))
        rt::Raise(1, QStringLiteral("no such table: ") + table, QStringLiteral("SQLite"));
    // The table name is one of the fixed three; the id is bound.
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE msg_id=?;"), {msgId}},
        rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        rt::Raise(rs.status().number, rs.status().description, QStringLiteral("SQLite"));
    return rs;
}

bool HasColumns(const rt::Recordset& rs, std::initializer_list<const char*> names)
{
    if (rs.eof() || rs.bof())
        return false;
    for (const char* name : names) {
        if (rs.fieldIndex(QLatin1String(name)) < 0)
            return false;
    }
    return true;
}

QString FieldText(const rt::Recordset& rs, const char* name)
{
    return mdlDataBase::NullToEmptyText(rs.field(QLatin1String(name)));
}

QString DateText(const QVariant& stored)
{
    return rt::shortDateFromDb(stored);
}

QString TimeText(const QVariant& stored)
{
    return rt::shortTimeFromDb(stored);
}

} // namespace MessageRows
