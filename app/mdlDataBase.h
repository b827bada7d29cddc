#pragma once

#include "platform/Database.h"

#include <QString>
#include <QVariant>

// The one open database of the program and the helpers every window reads and writes
// its optional columns through.
namespace mdlDataBase {

// SMS.mdb of the program folder, opened once at start-up and shared by every window.
rt::Database& MainDatabase();

// Opens SMS.mdb in the program folder; on failure shows the code-0 error box (logged)
// and ends the program. Never creates the file.
void OpenDatabase();

// A Null field reads as "".
QVariant NullToEmpty(const QVariant& value);
// The same, as text.
QString NullToEmptyText(const QVariant& value);
// "" is written as Null.
QVariant EmptyToNull(const QVariant& value);

// True when a loaded form has exactly this name (case-sensitive); never loads one.
bool IsFormLoaded(const QString& name);

} // namespace mdlDataBase
