#include "platform/Database.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

#include <sqlite3.h>

namespace rt {

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

DbResult Database::open(const QString& path) {
    close();
    DbResult result;
    m_connection = SqlConnection::open(path, result);
    return result;
}

bool Database::isOpen() const {
    return m_connection != nullptr;
}

void Database::close() {
    m_connection.reset();
}

QString Database::path() const {
    return m_connection ? m_connection->path() : QString();
}

DbResult Database::execute(const Query& query) {
    SqlStatement st;
    DbResult r = st.prepare(m_connection ? m_connection->handle() : nullptr, query);
    return r ? st.run() : r;
}

DbResult Database::executeEach(const QString& sql,
                               const std::function<bool(QVariantList& values)>& row)
{
    SqlStatement st;
    QVariantList values;
    qint64 affected = 0;
    for (bool first = true;; first = false) {
        values.clear();
        if (!row(values))
            break;
        DbResult r =
            first ? st.prepare(m_connection ? m_connection->handle() : nullptr, {sql, values})
                  : st.rebind(values);
        if (r)
            r = st.run();
        if (!r)
            return r;
        affected += r.rowsAffected;
    }
    DbResult done;
    done.rowsAffected = affected;
    return done;
}

Recordset Database::openRecordset(const Query& query, RecordsetType type) {
    return Recordset::open(m_connection, query, type);
}

int Database::lockWaitMs() const {
    return m_connection ? m_connection->lockWait() : 0;
}

void Database::setLockWaitMs(int ms) {
    if (m_connection)
        m_connection->setLockWait(ms);
}

bool isLockTimeout(const DbResult& result) {
    return !result.ok && result.number == SQLITE_BUSY;
}

} // namespace rt
