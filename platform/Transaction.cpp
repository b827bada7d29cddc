#include "platform/Transaction.h"

#include "platform/Database.h"
#include "platform/SqlConnection.h"
#include "platform/StorageSteps.h"

#include <sqlite3.h>

namespace rt {

Transaction::Transaction(Database& db) : m_db(db) {
    reachStorageStep(StorageStep::TransactionBegin);
    m_status = m_db.execute(Query{QStringLiteral("BEGIN IMMEDIATE"), {}});
    m_active = m_status.ok;
}

Transaction::~Transaction() {
    // Nothing more can be reported from here; the failure that brought us here
    // has been.
    if (m_active)
        rollback();
}

DbResult Transaction::commit() {
    if (!m_active)
        return m_status.ok
                   ? DbResult::failure(SQLITE_MISUSE, QStringLiteral("the transaction is over"))
                   : m_status;
    reachStorageStep(StorageStep::BeforeCommit);
    DbResult r = m_db.execute(Query{QStringLiteral("COMMIT"), {}});
    if (r) {
        m_active = false;
        r.rowsAffected = 0;
        reachStorageStep(StorageStep::AfterCommit);
    }
    return r;
}

DbResult Transaction::rollback() {
    if (!m_active)
        return DbResult{};
    m_active = false;
    // Some failures (a full disk, an I/O error) end the transaction inside SQLite
    // already; there is then nothing left to roll back.
    const auto& connection = m_db.m_connection;
    if (!connection || sqlite3_get_autocommit(connection->handle()))
        return DbResult{};
    DbResult r = m_db.execute(Query{QStringLiteral("ROLLBACK"), {}});
    r.rowsAffected = 0;
    return r;
}

} // namespace rt
