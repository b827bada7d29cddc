#include "app/Installation.h"

#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/MsgBox.h"
#include "platform/RegistryHive.h"
#include "platform/Shell.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace installation {

namespace {

QString contact(const QString& key) {
    const QStringList lines = Text(ContactFile).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (mdlSettings::LineKey(line).toUpper() == key)
            return mdlSettings::LineValue(line).toString();
    }
    return {};
}

bool copyTexts(const QDir& folder, const QDir& texts, QString* error) {
    const QStringList names = texts.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (QFileInfo::exists(rt::findFileNoCase(folder.path(), name)))
            continue;
        if (!QFile::copy(texts.filePath(name), folder.filePath(name))) {
            *error = QStringLiteral("cannot copy %1 into %2").arg(name, folder.path());
            return false;
        }
    }
    return true;
}

bool writeFirstSettings(const QString& folder, QString* error) {
    rt::App::setPath(folder);
    if (QFileInfo::exists(rt::App::file(mdlSettings::SettingsFileName)))
        return true;
    mdlSettings::Originator.clear();
    mdlSettings::ServerURL.clear();
    mdlSettings::ServerPort = 0;
    mdlSettings::UserName.clear();
    mdlSettings::Password.clear();
    mdlSettings::AvailableSMS = -1;
    mdlSettings::EnableSecurity = 0;
    mdlSettings::AskOnStartUp = 0;
    mdlSettings::AskOnSend = 0;
    // The installation has no windows: the program's error box becomes the reason.
    QString shown;
    rt::setMsgBoxHandler([&shown](const QString& text, int, const QString&) {
        shown = text;
        return int(rt::mb::OK);
    });
    const bool saved = mdlSettings::SaveSettings();
    rt::setMsgBoxHandler({});
    if (!saved)
        *error = QStringLiteral("cannot write the settings file: ") +
                 QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return saved;
}

bool recordSystemInformation(const QDir& folder, QString* error) {
    const QString program = rt::SystemInformationProgram();
    if (program.isEmpty())
        return true;
    const QString hivePath = folder.filePath(rt::RegistryHive::defaultFileName());
    rt::RegistryHive hive;
    if (!hive.load(hivePath, error))
        return false;
    hive.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                   QStringLiteral("PATH"), program);
    return hive.save(hivePath, error);
}

} // namespace

QString Text(const QString& name) {
    QFile file(rt::App::file(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString WebAddress() {
    return contact(QStringLiteral("WEB"));
}

QString MailAddress() {
    return contact(QStringLiteral("MAIL"));
}

bool InstallFirstFiles(const QString& folder, const QString& textsFolder, QString* error) {
    QString ignored;
    QString& reason = error ? *error : ignored;
    const QDir dir(folder);
    if (!dir.exists()) {
        reason = QStringLiteral("no program folder %1").arg(folder);
        return false;
    }
    const QDir texts(textsFolder);
    if (!texts.exists()) {
        reason = QStringLiteral("no installation texts in %1").arg(textsFolder);
        return false;
    }
    return copyTexts(dir, texts, &reason) && writeFirstSettings(dir.absolutePath(), &reason) &&
           recordSystemInformation(dir, &reason);
}

} // namespace installation
