#include "platform/DatabaseCreation.h"

#include <QFile>

#include <sqlite3.h>

namespace rt {

bool createDatabaseFromSchema(const QString& path, const QString& schemaPath, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QFile schema(schemaPath);
    if (!schema.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(schemaPath));
    return createDatabaseFromSql(path, schema.readAll(), error);
}

bool createDatabaseFromSql(const QString& path, const QByteArray& sql, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (QFile::exists(path))
        return fail(QStringLiteral("%1 exists already").arg(path));
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return fail(QStringLiteral("cannot create %1").arg(path));
    }
    char* message = nullptr;
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    const QString text = message ? QString::fromUtf8(message) : QString();
    sqlite3_free(message);
    const bool closed = sqlite3_close(db) == SQLITE_OK;
    if (!ok) {
        QFile::remove(path);
        return fail(QStringLiteral("schema failed: %1").arg(text));
    }
    return closed || fail(QStringLiteral("cannot close %1").arg(path));
}

} // namespace rt
