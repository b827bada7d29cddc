#include "platform/Err.h"
#include "platform/Shell.h"
#include "tests/support/FakePath.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using testsupport::FakePath;

class tst_shell : public QObject {
    Q_OBJECT

    QList<rt::ShellLaunch> m_launches;

private slots:
    void init() {
        m_launches.clear();
        rt::setShellHandler([this](const rt::ShellLaunch& launch) {
            m_launches.append(launch);
            return true;
        });
    }
    void cleanup() { rt::setShellHandler({}); }

    void oldNamesMapToThisSystem_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("command");
        QTest::newRow("calculator")
            << QStringList{QStringLiteral("xcalc")} << QStringLiteral("calc.exe")
            << QStringList{QStringLiteral("xcalc")};
        QTest::newRow("first choice wins")
            << QStringList{QStringLiteral("xcalc"), QStringLiteral("gnome-calculator")}
            << QStringLiteral("CALC.EXE") << QStringList{QStringLiteral("gnome-calculator")};
        QTest::newRow("editor") << QStringList{QStringLiteral("mousepad")}
                                << QStringLiteral("notepad.exe")
                                << QStringList{QStringLiteral("mousepad")};
        QTest::newRow("terminal editor")
            << QStringList{QStringLiteral("xterm"), QStringLiteral("nano")}
            << QStringLiteral("Notepad")
            << QStringList{QStringLiteral("xterm"), QStringLiteral("-e"), QStringLiteral("nano")};
    }
    void oldNamesMapToThisSystem() {
        QFETCH(QStringList, installed);
        QFETCH(QString, name);
        QFETCH(QStringList, command);
        const FakePath path(installed);
        rt::Shell(name);
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first().kind, rt::ShellLaunch::Program);
        QStringList expected;
        for (const QString& part : command)
            expected << (part.startsWith(QLatin1Char('-')) ? part : path.path(part));
        QCOMPARE(QStringList{m_launches.first().program} + m_launches.first().arguments, expected);
    }

    void missingProgramStartsNothing_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("name");
        QTest::newRow("no calculator")
            << QStringList{QStringLiteral("gedit")} << QStringLiteral("calc.exe");
        QTest::newRow("terminal without nano")
            << QStringList{QStringLiteral("xterm")} << QStringLiteral("notepad.exe");
        QTest::newRow("no such file") << QStringList() << QStringLiteral("/nonexistent/msinfo32");
        QTest::newRow("empty") << QStringList() << QString();
    }
    void missingProgramStartsNothing() {
        QFETCH(QStringList, installed);
        QFETCH(QString, name);
        const FakePath path(installed);
        try {
            rt::Shell(name);
            QFAIL("no error raised");
        } catch (const rt::RuntimeError& error) {
            QCOMPARE(error.number(), 53);
        }
        QVERIFY(m_launches.isEmpty());
    }

    void fileThatIsNoProgram() {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(rt::ResolveProgram(file.fileName()).isEmpty());
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, rt::Shell(file.fileName()));
        QVERIFY(m_launches.isEmpty());
    }

    void programByPath() {
        const FakePath path({QStringLiteral("sysinfo")});
        rt::Shell(path.path(QStringLiteral("sysinfo")));
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first().program, path.path(QStringLiteral("sysinfo")));
    }

    void openAddresses_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("opened");
        QTest::newRow("bare web address")
            << QStringLiteral("www.example.org") << QStringLiteral("http://www.example.org");
        QTest::newRow("full address") << QStringLiteral("https://example.org/a?b=c")
                                      << QStringLiteral("https://example.org/a?b=c");
        QTest::newRow("mail") << QStringLiteral("mailto:info@example.org")
                              << QStringLiteral("mailto:info@example.org");
    }
    void openAddresses() {
        QFETCH(QString, document);
        QFETCH(QString, opened);
        QVERIFY(rt::ShellOpen(document));
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first().kind, rt::ShellLaunch::Document);
        QCOMPARE(m_launches.first().document, opened);
    }

    void emptyAddressOpensNothing() {
        QVERIFY(!rt::ShellOpen(QStringLiteral("   ")));
        QVERIFY(m_launches.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_shell)
#include "tst_shell.moc"
