#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/TextFile.h"
#include "tests/support/Account.h"

#include <QColor>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Runs a helper program to its end, or until the limit passes (then it is killed).
bool runToEnd(QProcess& process, int limitMs)
{
    if (process.state() == QProcess::Starting && !process.waitForStarted(10000))
        return false;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    limit.start(limitMs);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The visible top-level windows titled "Vantrel", as "id x y width height".
QStringList vantrelWindows(bool waitForOne)
{
    QProcess xdotool;
    QStringList args{QStringLiteral("search")};
    if (waitForOne)
        args << QStringLiteral("--sync");
    args << QStringLiteral("--onlyvisible") << QStringLiteral("--name")
         << QStringLiteral("^Vantrel$") << QStringLiteral("getwindowgeometry")
         << QStringLiteral("--shell") << QStringLiteral("%@");
    xdotool.start(QStringLiteral("xdotool"), args);
    if (!runToEnd(xdotool, 60000))
        return {};
    QStringList windows;
    QString id, x, y, w, h;
    for (const QString& line :
         QString::fromLocal8Bit(xdotool.readAllStandardOutput()).split('\n')) {
        const QString value = line.section('=', 1);
        if (line.startsWith(QLatin1String("WINDOW=")))
            id = value;
        else if (line.startsWith(QLatin1String("X=")))
            x = value;
        else if (line.startsWith(QLatin1String("Y=")))
            y = value;
        else if (line.startsWith(QLatin1String("WIDTH=")))
            w = value;
        else if (line.startsWith(QLatin1String("HEIGHT="))) {
            h = value;
            windows << QStringList{id, x, y, w, h}.join(' ');
        }
    }
    return windows;
}

} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QProcess m_program;

private slots:
    void cleanupTestCase()
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished(5000);
        }
    }

    void installedProgramShowsItsMainWindow()
    {
        QVERIFY(m_folder.isValid());
        const QString source = qEnvironmentVariable("VANTREL_SOURCE_DIR");
        const QString build = qEnvironmentVariable("VANTREL_BUILD_DIR");
        QVERIFY(!source.isEmpty() && !build.isEmpty());

        // The installation's own recipe, on the build at hand.
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("BUILD_DIR"), build);
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral("bash"),
                      {QStringLiteral("-c"),
                       QStringLiteral("source \"$1\" && lay_out_program_folder \"$2\""),
                       QStringLiteral("install"), source + QStringLiteral("/scripts/lib.sh"),
                       m_folder.path()});
        QVERIFY2(runToEnd(install, 60000), install.readAll().constData());

        // A user who has agreed to the terms and filled in the account.
        rt::App::setPath(m_folder.path());
        testsupport::Account{.originator = QStringLiteral("Vantrel"),
                             .host = QStringLiteral("127.0.0.1"),
                             .port = 8080,
                             .user = QStringLiteral("χρήστης"),
                             .password = QStringLiteral("κωδικός")}
            .apply();
        QVERIFY(mdlSettings::SaveSettings());
        QVERIFY(
            rt::WriteLines(m_folder.filePath(QStringLiteral("Vantrel.INI")),
                           {QStringLiteral("Disclaimer = 0"), QStringLiteral("WindowState = 0")}));
        rt::App::setPath(QString());

        m_program.setWorkingDirectory(m_folder.path());
        m_program.setProcessChannelMode(QProcess::ForwardedChannels);
        m_program.start(m_folder.filePath(QStringLiteral("Vantrel")), QStringList());
        QVERIFY(m_program.waitForStarted(10000));
        QVERIFY(!vantrelWindows(true).isEmpty());
        // The splash carries the program's name as well and leaves after three seconds.
        waitMs(4000);
        QCOMPARE(m_program.state(), QProcess::Running);
        const QStringList windows = vantrelWindows(false);
        QCOMPARE(windows.size(), 1);
        const QStringList geometry = windows.first().split(' ');
        const QRect place(geometry.at(1).toInt(), geometry.at(2).toInt(), geometry.at(3).toInt(),
                          geometry.at(4).toInt());
        QVERIFY2(place.width() >= 600 && place.height() >= 400, qPrintable(windows.first()));

        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        const QImage shot = screen.copy(place);
        QVERIFY(shot.save(QStringLiteral(VANTREL_SCREENSHOT)));
        // A drawn window, not an empty area: menus, panel menu, logo and labels.
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 3) {
            for (int x = 0; x < shot.width(); x += 3)
                colours.insert(shot.pixel(x, y));
        }
        QVERIFY2(colours.size() > 50, qPrintable(QString::number(colours.size())));
        QVERIFY(QFile::exists(m_folder.filePath(QStringLiteral("IMPORTANT.TXT"))));

        // Exit (Ctrl+Q) ends the process at once and writes nothing.
        const QByteArray ini = readAll(m_folder.filePath(QStringLiteral("Vantrel.INI")));
        const QString id = geometry.at(0);
        QProcess keys;
        keys.start(QStringLiteral("xdotool"),
                   {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id,
                    QStringLiteral("key"), QStringLiteral("ctrl+q")});
        QVERIFY(runToEnd(keys, 20000));
        QVERIFY(runToEnd(m_program, 20000));
        QCOMPARE(readAll(m_folder.filePath(QStringLiteral("Vantrel.INI"))), ini);
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
