#pragma once

#include "platform/DbResult.h"
#include "platform/Query.h"
#include "platform/Recordset.h"

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

namespace rt {

class SqlConnection;

// The program's database: one SQLite file, opened shared and read-write.
//
// open() never creates a file. It fails only when the file is missing, cannot be opened
// or is not a database (an empty file is not one either); a database lacking a table
// opens and the first statement that uses the table fails.
//
// Every connection compares with the program's own LIKE (Unicode case folding,
// accent-sensitive, `%` and `_`, optional ESCAPE; see Like.h) and offers the collation
// GREEK (Greek alphabetical order, letter case ignored):
//     "SELECT * FROM members WHERE LastName LIKE ? ESCAPE '!' ORDER BY LastName COLLATE GREEK"
//
// Statements run in autocommit mode unless a Transaction is open. A database locked by
// another connection (another program writing at that moment) is waited for, a few
// seconds at most (lockWaitMs()); a lock held longer fails the statement with SQLITE_BUSY
// (isLockTimeout). While a statement waits, the windows repaint and the pointer is the
// hourglass, and nothing else of the program runs (LockWait.h).
class Database {
public:
    Database();
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens `path`, closing whatever this object had open. On failure it stays closed
    // and the result carries the SQLite result code and message.
    DbResult open(const QString& path);
    bool isOpen() const;
    // Recordsets still open afterwards read as empty and refuse writes.
    void close();
    // The absolute path of the open file; empty when closed.
    QString path() const;

    // Runs one statement (INSERT, UPDATE, DELETE, BEGIN ...); rowsAffected in the result.
    DbResult execute(const Query& query);
    // Runs one statement once for each row of values: `row` fills the (emptied) list and
    // returns true, or returns false when there are no more rows. The statement is
    // prepared once, so writing many rows costs one preparation, whatever their number.
    // Stops at the first failure; rowsAffected in the result counts every row's.
    DbResult executeEach(const QString& sql, const std::function<bool(QVariantList& values)>& row);

    // Runs a query into a recordset; check isOpen() or status() on the result.
    Recordset openRecordset(const Query& query, RecordsetType type);

    // How long each statement waits for a lock held by another connection; a few seconds
    // unless set. Applies to the open file; 0 when closed.
    int lockWaitMs() const;
    void setLockWaitMs(int ms);

private:
    friend class Transaction;
    std::shared_ptr<SqlConnection> m_connection;
};

// Whether the statement failed because another connection held the lock past the wait:
// the same statement may succeed once that lock is let go.
bool isLockTimeout(const DbResult& result);

} // namespace rt
