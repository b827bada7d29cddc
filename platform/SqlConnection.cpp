#include "platform/SqlConnection.h"

#include "platform/Like.h"
#include "platform/LockWait.h"
#include "platform/SqlStatement.h"
#include "platform/StorageSteps.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringView>
#include <algorithm>
#include <iterator>
#include <sqlite3.h>

namespace rt {

namespace {

QString valueText(sqlite3_value* value) {
    // sqlite3_value_text must come before sqlite3_value_bytes: it may convert the value.
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

// like(pattern, text [, escape]) is what SQLite calls for "text LIKE pattern [ESCAPE e]".
void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    char32_t escape = 0;
    if (argc == 3) {
        const QList<uint> e = valueText(argv[2]).toUcs4();
        if (e.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.first();
    }
    sqlite3_result_int(context, likeMatch(valueText(argv[0]), valueText(argv[1]), escape) ? 1 : 0);
}

int greekCompare(void* collator, int lengthA, const void* a, int lengthB, const void* b) {
    const QStringView left(static_cast<const char16_t*>(a), lengthA / 2);
    const QStringView right(static_cast<const char16_t*>(b), lengthB / 2);
    const int c = static_cast<QCollator*>(collator)->compare(left, right);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Tries for the lock come quickly at first, so that a brief hold costs little, then every
// few hundredths of a second.
int nextTryMs(int tries)
{
    static constexpr int delays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50};
    return delays[std::min(tries, int(std::size(delays)) - 1)];
}

// A failure found before SQLite had a connection to say more about it.
DbResult engineFailure(int code)
{
    return DbResult::fromSqlite(code, QString::fromUtf8(sqlite3_errstr(code)));
}

} // namespace

// Another program may hold the file for a moment (a backup copying it, a second program
// writing): a statement waits for the lock and fails only once the connection's whole
// wait has passed. The user sees the hourglass meanwhile, and the windows keep their
// pictures; nothing else runs (LockWait.h).
int SqlConnection::waitForLock(void* data, int tries)
{
    auto* connection = static_cast<SqlConnection*>(data);
    if (tries == 0) {
        connection->m_waitingSince.start();
        LockWait::begin(connection->m_db);
    }
    const qint64 left = connection->m_lockWaitMs - connection->m_waitingSince.elapsed();
    if (left <= 0)
        return 0;
    reachStorageStep(StorageStep::LockWait);
    LockWait::paintFor(int(std::min<qint64>(nextTryMs(tries), left)));
    return 1;
}

SqlConnection::SqlConnection(sqlite3* db, const QString& path)
    : m_db(db), m_path(path), m_greek(QLocale(QLocale::Greek, QLocale::Greece)) {
    m_greek.setCaseSensitivity(Qt::CaseInsensitive);
}

SqlConnection::~SqlConnection() {
    // close_v2 never fails for an open handle; a statement still alive keeps it until it
    // is finalised.
    sqlite3_close_v2(m_db);
}

std::shared_ptr<SqlConnection> SqlConnection::open(const QString& path, DbResult& result) {
    std::shared_ptr<SqlConnection> connection = openFile(path, result);
    // The user is told which file would not open; the program has only the one.
    if (!result && !path.isEmpty())
        result.description += QStringLiteral("\nΑρχείο: ") +
                              QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return connection;
}

std::shared_ptr<SqlConnection> SqlConnection::openFile(const QString& path, DbResult& result)
{
    // An absolute path keeps SQLite from reading the name as a URI ("file:...?mode=rwc")
    // or as ":memory:", either of which could make a database out of nothing.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        result = engineFailure(SQLITE_CANTOPEN);
        return nullptr;
    }
    if (!info.isFile()) {
        result = engineFailure(SQLITE_CANTOPEN);
        return nullptr;
    }
    // SQLite takes an empty file for an empty database; no program wrote it, so it is
    // no database of ours.
    if (info.size() == 0) {
        result = engineFailure(SQLITE_NOTADB);
        return nullptr;
    }

    sqlite3* db = nullptr;
    const QByteArray name = info.absoluteFilePath().toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        result = db ? SqlStatement::lastError(db) : engineFailure(rc);
        sqlite3_close(db);
        return nullptr;
    }
    std::shared_ptr<SqlConnection> connection(new SqlConnection(db, info.absoluteFilePath()));
    sqlite3_busy_handler(db, waitForLock, connection.get());

    result = connection->registerFunctions();
    if (!result)
        return nullptr;

    // SQLite opens anything lazily; the first read is what tells a database from
    // another file.
    SqlStatement probe;
    result = probe.prepare(db, Query{QStringLiteral("SELECT count(*) FROM sqlite_master"), {}});
    if (result)
        result = probe.run();
    if (!result)
        return nullptr;
    result = DbResult{};
    return connection;
}

DbResult SqlConnection::registerFunctions() {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    for (const int args : {2, 3}) {
        if (sqlite3_create_function_v2(m_db, "like", args, flags, nullptr, likeFunction, nullptr,
                                       nullptr, nullptr) != SQLITE_OK)
            return SqlStatement::lastError(m_db);
    }
    if (sqlite3_create_collation_v2(m_db, "GREEK", SQLITE_UTF16_ALIGNED, &m_greek, greekCompare,
                                    nullptr) != SQLITE_OK)
        return SqlStatement::lastError(m_db);
    return DbResult{};
}

} // namespace rt
