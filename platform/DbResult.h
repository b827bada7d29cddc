#pragma once

#include <QString>
#include <QtGlobal>

namespace rt {

// The outcome of a database operation. On failure `number` is an SQLite result code
// (SQLITE_ERROR 1, SQLITE_BUSY 5, SQLITE_READONLY 8, SQLITE_NOTFOUND 12,
// SQLITE_CANTOPEN 14, SQLITE_CONSTRAINT 19, SQLITE_MISMATCH 20, SQLITE_MISUSE 21,
// SQLITE_RANGE 25, SQLITE_NOTADB 26 ...) and `description` is the text for the user
// (fromSqlite) or ours, ready for the program's error box ("Σφάλμα: " number, line feed,
// description).
struct DbResult {
    bool ok = true;
    int number = 0;
    QString description;
    // Rows inserted, changed or deleted by Database::execute (0 elsewhere).
    qint64 rowsAffected = 0;

    explicit operator bool() const noexcept { return ok; }

    static DbResult failure(int number, const QString& description) {
        return DbResult{false, number, description, 0};
    }

    // A failure SQLite reported, with the code it gave. The failures a user can meet
    // (another program holding the database, a read-only or damaged file, a full disk, an
    // I/O error, a file that cannot be opened) are described in Greek; any other keeps
    // the engine's own text.
    static DbResult fromSqlite(int code, const QString& engineText);
};

} // namespace rt
