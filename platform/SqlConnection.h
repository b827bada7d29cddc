#pragma once

#include "platform/DbResult.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QString>
#include <memory>

struct sqlite3;

namespace rt {

// Internal to the database layer: one open SQLite connection with the program's LIKE
// and GREEK collation registered on it. Shared by the Database and its recordsets so
// that a recordset can tell when its database has been closed (it keeps a weak_ptr).
class SqlConnection {
public:
    // How long a statement waits for a lock that another connection holds before it
    // fails with SQLITE_BUSY, unless the connection is told otherwise.
    static constexpr int lockWaitMs = 5000;

    // Opens an existing database file read-write; never creates one. A failure names the
    // file.
    static std::shared_ptr<SqlConnection> open(const QString& path, DbResult& result);

    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    sqlite3* handle() const { return m_db; }
    const QString& path() const { return m_path; }

    int lockWait() const { return m_lockWaitMs; }
    void setLockWait(int ms) { m_lockWaitMs = ms; }

private:
    SqlConnection(sqlite3* db, const QString& path);
    static std::shared_ptr<SqlConnection> openFile(const QString& path, DbResult& result);
    DbResult registerFunctions();
    static int waitForLock(void* connection, int tries);

    sqlite3* m_db;
    QString m_path;
    QCollator m_greek;
    int m_lockWaitMs = lockWaitMs;
    QElapsedTimer m_waitingSince;
};

} // namespace rt
