#include "app/Installation.h"
#include "app/frmAbout.h"
#include "app/mdlSettings.h"
#include "platform/App.h"
#include "tests/support/FakePath.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/Seams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using testsupport::FakePath;

namespace {

QString textsFolder() {
    return testsupport::ProgramFolder::sourceDir() + QStringLiteral("/resources/install");
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_installation : public QObject {
    Q_OBJECT
private slots:
    void firstInstallation() {
        testsupport::ProgramFolder folder(false);
        const FakePath path({QStringLiteral("hardinfo")});
        QString error;
        QVERIFY2(installation::InstallFirstFiles(folder.path(), textsFolder(), &error),
                 qPrintable(error));

        for (const QString& name : {installation::TermsFile, installation::NoticeFile,
                                    installation::CopyrightFile, installation::ContactFile})
            QCOMPARE(contents(folder.file(name)),
                     contents(textsFolder() + QLatin1Char('/') + name));
        QVERIFY(installation::Text(installation::TermsFile).size() > 1000);
        QCOMPARE(installation::WebAddress(), QStringLiteral("www.example.org"));
        QCOMPARE(installation::MailAddress(), QStringLiteral("info@example.org"));

        // The first settings file reads back as an empty account with every flag off.
        mdlSettings::Originator = QStringLiteral("x");
        mdlSettings::ServerPort = 1;
        mdlSettings::AvailableSMS = 5;
        mdlSettings::EnableSecurity = mdlSettings::AskOnStartUp = mdlSettings::AskOnSend = 1;
        testsupport::ScriptedMessageBoxes boxes;
        QVERIFY(mdlSettings::LoadSettings());
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(mdlSettings::Originator.isEmpty());
        QVERIFY(mdlSettings::ServerURL.isEmpty());
        QVERIFY(mdlSettings::UserName.isEmpty());
        QVERIFY(mdlSettings::Password.isEmpty());
        QCOMPARE(mdlSettings::ServerPort, quint16(0));
        QCOMPARE(mdlSettings::AvailableSMS, -1);
        QCOMPARE(mdlSettings::EnableSecurity, quint8(0));
        QCOMPARE(mdlSettings::AskOnStartUp, quint8(0));
        QCOMPARE(mdlSettings::AskOnSend, quint8(0));

        QString tool;
        QVERIFY(frmAbout::GetKeyValue(rt::HKEY_LOCAL_MACHINE,
                                      QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                      QStringLiteral("PATH"), tool));
        QCOMPARE(tool, path.path(QStringLiteral("hardinfo")));
    }

    void secondInstallationKeepsWhatIsThere() {
        testsupport::ProgramFolder folder(false);
        const FakePath path({});
        QVERIFY(installation::InstallFirstFiles(folder.path(), textsFolder(), nullptr));
        mdlSettings::UserName = QStringLiteral("user");
        mdlSettings::Password = QStringLiteral("κωδικός");
        mdlSettings::ServerPort = 80;
        QVERIFY(mdlSettings::SaveSettings());
        const QByteArray settings = contents(folder.file(mdlSettings::SettingsFileName));
        QFile terms(folder.file(installation::TermsFile));
        QVERIFY(terms.open(QIODevice::WriteOnly | QIODevice::Truncate));
        terms.write("Οι όροι του παρόχου.\n");
        terms.close();

        QVERIFY(installation::InstallFirstFiles(folder.path(), textsFolder(), nullptr));
        QCOMPARE(contents(folder.file(mdlSettings::SettingsFileName)), settings);
        QCOMPARE(installation::Text(installation::TermsFile),
                 QStringLiteral("Οι όροι του παρόχου."));
        // No system information program here: the hive gets nothing.
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("Vantrel.REG"))));
    }

    void missingFoldersFail() {
        testsupport::ProgramFolder folder(false);
        QString error;
        QVERIFY(!installation::InstallFirstFiles(folder.path(), folder.file(QStringLiteral("no")),
                                                 &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!installation::InstallFirstFiles(folder.file(QStringLiteral("no")), textsFolder(),
                                                 &error));
        QVERIFY(!QFile::exists(folder.file(mdlSettings::SettingsFileName)));
    }
};

QTEST_MAIN(tst_installation)
#include "tst_installation.moc"
