#pragma once

#include "platform/DbResult.h"
#include "platform/Query.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace rt {

// Internal to the database layer: one prepared statement with its values bound,
// finalised when it goes out of scope. Every SQLite call's code is checked and turned
// into a DbResult carrying SQLite's message.
class SqlStatement {
public:
    SqlStatement() = default;
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Prepares exactly one statement and binds `query.values` to its markers; the number
    // of values must equal the number of markers.
    DbResult prepare(sqlite3* db, const Query& query);
    // Makes the prepared statement ready to run again with other values, as many as it
    // has markers.
    DbResult rebind(const QVariantList& values);

    // One step: true with a row to read, false when done or failed (then `result` says
    // which). `result` is left untouched on a row.
    bool next(DbResult& result);
    // Steps to the end, for statements that return no rows.
    DbResult run();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    sqlite3_stmt* handle() const { return m_stmt; }

    // The failure SQLite last reported on `db`.
    static DbResult lastError(sqlite3* db);

private:
    DbResult bindAll(const QVariantList& values);
    DbResult bind(int index, const QVariant& value);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace rt
