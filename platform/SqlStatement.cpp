#include "platform/SqlStatement.h"

#include "platform/DbDates.h"
#include "platform/LockWait.h"

#include <QByteArray>
#include <limits>
#include <sqlite3.h>

namespace rt {

SqlStatement::~SqlStatement() {
    // The return code repeats the last step's failure, which was already reported.
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

DbResult SqlStatement::lastError(sqlite3* db) {
    if (!db)
        return DbResult::failure(SQLITE_MISUSE, QStringLiteral("the database is not open"));
    return DbResult::fromSqlite(sqlite3_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

DbResult SqlStatement::prepare(sqlite3* db, const Query& query) {
    // Reading the schema may wait for a lock as a step does.
    const LockWait::Scope waited(db);
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    m_db = db;
    if (!db)
        return lastError(db);

    const QByteArray sql = query.sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_stmt, &tail) != SQLITE_OK)
        return lastError(db);
    if (!m_stmt)
        return DbResult::failure(SQLITE_MISUSE, QStringLiteral("the statement is empty"));

    // Anything after the first statement would be silently dropped by SQLite; refuse it
    // unless it is only blanks, semicolons or comments.
    const char* end = sql.constData() + sql.size();
    while (tail && tail < end) {
        sqlite3_stmt* extra = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &extra, &next);
        if (extra) {
            sqlite3_finalize(extra);
            return DbResult::failure(SQLITE_MISUSE,
                                     QStringLiteral("only one statement may be run at a time"));
        }
        if (rc != SQLITE_OK)
            return lastError(db);
        if (next == tail)
            break;
        tail = next;
    }

    return bindAll(query.values);
}

DbResult SqlStatement::rebind(const QVariantList& values)
{
    if (!m_stmt)
        return DbResult::failure(SQLITE_MISUSE, QStringLiteral("no statement is prepared"));
    // The last run's failure was reported by its step; reset repeats it.
    sqlite3_reset(m_stmt);
    return bindAll(values);
}

DbResult SqlStatement::bindAll(const QVariantList& values)
{
    const int markers = sqlite3_bind_parameter_count(m_stmt);
    if (markers != values.size())
        return DbResult::failure(SQLITE_RANGE,
                                 QStringLiteral("the statement has %1 parameters but %2 values")
                                     .arg(markers)
                                     .arg(values.size()));
    for (int i = 0; i < markers; ++i) {
        const DbResult r = bind(i + 1, values.at(i));
        if (!r)
            return r;
    }
    return DbResult{};
}

DbResult SqlStatement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::ULong:
        case QMetaType::ULongLong: {
            const qulonglong v = value.toULongLong();
            if (v > qulonglong(std::numeric_limits<qint64>::max()))
                return DbResult::failure(
                    SQLITE_MISMATCH,
                    QStringLiteral("value %1 is too large for a column").arg(index));
            rc = sqlite3_bind_int64(m_stmt, index, sqlite3_int64(v));
            break;
        }
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QString:
        case QMetaType::QChar: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, text.constData(), sqlite3_uint64(text.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate:
            return bind(index, dbDate(value.toDate()));
        case QMetaType::QTime:
            return bind(index, dbTime(value.toTime()));
        default:
            return DbResult::failure(
                SQLITE_MISMATCH, QStringLiteral("value %1 has a type the database cannot hold (%2)")
                                     .arg(index)
                                     .arg(QString::fromLatin1(value.typeName())));
        }
    }
    return rc == SQLITE_OK ? DbResult{} : lastError(m_db);
}

bool SqlStatement::next(DbResult& result) {
    if (!m_stmt) {
        result = DbResult::failure(SQLITE_MISUSE, QStringLiteral("no statement is prepared"));
        return false;
    }
    const LockWait::Scope waited(m_db);
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    result = rc == SQLITE_DONE ? DbResult{} : lastError(m_db);
    return false;
}

DbResult SqlStatement::run() {
    DbResult result;
    while (next(result)) {
    }
    if (result)
        result.rowsAffected = sqlite3_changes64(m_db);
    return result;
}

int SqlStatement::columnCount() const {
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString SqlStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QVariant SqlStatement::value(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        const int size = sqlite3_column_bytes(m_stmt, column);
        return QVariant(QString::fromUtf8(text, size));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        const int size = sqlite3_column_bytes(m_stmt, column);
        return QVariant(QByteArray(data, size));
    }
    default:
        return QVariant();
    }
}

} // namespace rt
