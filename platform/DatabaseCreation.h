#pragma once

#include <QString>

namespace rt {

// Makes a new database file from a schema script. Only the installation (and test
// fixtures) create databases: the program itself opens an existing file and never
// creates one. Fails when the file already exists.
bool createDatabaseFromSchema(const QString& path, const QString& schemaPath, QString* error = nullptr);
// The same from the script's text.
bool createDatabaseFromSql(const QString& path, const QByteArray& sql, QString* error = nullptr);

} // namespace rt
