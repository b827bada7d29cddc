#pragma once

#include "platform/Recordset.h"

#include <QString>
#include <QVariant>
#include <QtGlobal>

// Reading one row of the three message tables for the message lists' dialogs.
namespace MessageRows {

// The tables a message list may name: "outbox_messages", "saved_messages" and
// "sended_messages". The name goes into the SQL text, so nothing else is accepted.
bool IsMessageTable(const QString& table);

// A read-only snapshot of the row with that msg_id (no row when there is none). An
// unknown table or a database failure raises, for the caller's handler.
rt::Recordset OpenMessage(const QString& table, qint32 msgId);

// True when the recordset is on a row and has every one of the columns.
bool HasColumns(const rt::Recordset& rs, std::initializer_list<const char*> names);

// A column of the row as text; Null gives "".
QString FieldText(const rt::Recordset& rs, const char* name);

// A stored date or time as text, as the lists show unformatted values: the short date
// (dd/MM/yyyy) and the short time (HH:mm); Null gives "".
QString DateText(const QVariant& stored);
QString TimeText(const QVariant& stored);

} // namespace MessageRows
