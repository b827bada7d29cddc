// The installation's helper: makes an empty database from the schema and lays out
// the first files of a program folder.
#include "app/Installation.h"
#include "platform/ControlFactory.h"
#include "platform/DatabaseCreation.h"
#include "platform/RegistryHive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>


namespace {

int createDatabase(const QString& folder, const QString& schemaPath)
{
    QString error;
    if (!rt::createDatabaseFromSchema(folder + QStringLiteral("/SMS.mdb"), schemaPath, &error)) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    return 0;
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

// The texts of the installation, a first settings file and the hive values of the About
// box; whatever the folder already has stays.
int installFirstFiles(const QString& folder, const QString& textsFolder)
{
    QString error;
    if (!installation::InstallFirstFiles(folder, textsFolder, &error)) {
        QTextStream(stderr) << error << '\n';
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
    if (args.size() >= 4 && args.at(1) == QLatin1String("install"))
        return installFirstFiles(args.at(2), args.at(3));
    QTextStream(stderr) << "usage: vantrel_setup create-database FOLDER SCHEMA | install FOLDER TEXTS\n";
    return 2;
}
