// The installation's helper: makes an empty database from the schema and lays out
// the first files of a program folder.
#include "platform/ControlFactory.h"
#include "platform/RegistryHive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <sqlite3.h>

namespace {

int createDatabase(const QString& folder, const QString& schemaPath)
{
    QFile schema(schemaPath);
    if (!schema.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "cannot read " << schemaPath << '\n';
        return 1;
    }
    const QByteArray sql = schema.readAll();
    const QByteArray dbPath = QFile::encodeName(folder + QStringLiteral("/SMS.mdb"));
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(dbPath.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        QTextStream(stderr) << "cannot create " << dbPath << '\n';
        sqlite3_close(db);
        return 1;
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        QTextStream(stderr) << "schema failed: " << (error ? error : "") << '\n';
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : 1;
}

// The control library registers itself into the hive of the program folder.
int registerLibrary(const QString& folder)
{
    const QDir dir(folder);
    QString error;
    if (!rt::RegisterServer(dir.absoluteFilePath(QStringLiteral("libtirnaval.so")),
                            dir.absoluteFilePath(rt::RegistryHive::defaultFileName()), &error)) {
        QTextStream(stderr) << "cannot register the control library: " << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() >= 4 && args.at(1) == QLatin1String("create-database"))
        return createDatabase(args.at(2), args.at(3));
    if (args.size() >= 3 && args.at(1) == QLatin1String("register"))
        return registerLibrary(args.at(2));
    if (args.size() >= 3 && args.at(1) == QLatin1String("install"))
        return 0;
    QTextStream(stderr) << "usage: vantrel_setup create-database FOLDER SCHEMA | install FOLDER TEXTS\n";
    return 2;
}
