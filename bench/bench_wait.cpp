// Measures the processor time the program spends while the sending window's credits
// request waits 5 s for a service that takes the request and never answers (the
// loopback service program, in a process of its own), beside the same process idling
// 5 s in its event loop, both from the process's own usage counters (getrusage).
// Goal: the wait under 2 % of one core.
// Run: build/bench/bench_wait [--seconds S]
#include "BenchSupport.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlSettings.h"
#include "platform/Err.h"
#include "platform/MsgBox.h"
#include "sending/TCPSender.h"
#include "sending/frmSendMessages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

struct Usage {
    double cpuMs = 0;
    long wakeUps = 0; // the times the process gave the processor up and was woken again
};

Usage usage()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return Usage{(double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e6 +
                  double(u.ru_utime.tv_usec + u.ru_stime.tv_usec)) /
                     1e3,
                 u.ru_nvcsw};
}

struct Measured {
    double wallMs = 0;
    Usage used;
};

template <class Work> Measured measure(Work work)
{
    QElapsedTimer clock;
    clock.start();
    const Usage before = usage();
    work();
    const Usage after = usage();
    return Measured{double(clock.nsecsElapsed()) / 1e6,
                    Usage{after.cpuMs - before.cpuMs, after.wakeUps - before.wakeUps}};
}

void report(const char* what, const Measured& m)
{
    std::printf("%-46s %9.0f %9.1f %9.2f %%  %8ld\n", what, m.wallMs, m.used.cpuMs,
                100.0 * m.used.cpuMs / m.wallMs, m.used.wakeUps);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = bench::option(argc, argv, "--seconds", 5);
    QStringList boxes;
    rt::setMsgBoxHandler([&](const QString& text, int, const QString&) {
        boxes << text;
        return int(rt::mb::OK);
    });
    rt::setUntrappedErrorReporter(
        [] { std::fprintf(stderr, "error: %s\n", qPrintable(rt::Err().Description)); });

    QTemporaryDir folder;
    if (!bench::openDatabase(folder) || !bench::registerControlLibrary(folder.path()))
        return 1;
    QProcess service;
    const quint16 port = bench::startService(service, QStringLiteral(VANTREL_FAKE_SMS_SERVICE),
                                             {"--seconds", "600", "never"});
    if (port == 0) {
        std::fprintf(stderr, "the loopback service did not start\n");
        return 1;
    }
    mdlSettings::Originator = QStringLiteral("Shop");
    mdlSettings::ServerURL = QStringLiteral("127.0.0.1");
    mdlSettings::ServerPort = port;
    mdlSettings::UserName = QStringLiteral("user");
    mdlSettings::Password = QStringLiteral("secret");

    frmMain& main = rt::Forms::get<frmMain>();
    main.resize(1100, 760);
    main.show();
    QCoreApplication::processEvents();

    const int limitMs = seconds * 1000;
    const Measured idle = measure([&] {
        QEventLoop loop;
        QTimer::singleShot(limitMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    });
    const Measured wait = measure([&] {
        frmSendMessages& window = rt::Forms::get<frmSendMessages>();
        window.Sender->setReplyLimitMs(limitMs);
        window.GetCredits();
    });

    std::printf("%-46s %9s %9s %11s  %8s\n", "", "wall ms", "CPU ms", "of a core", "wake-ups");
    report("idle in the event loop (the floor)", idle);
    report("credits request waiting on a silent service", wait);
    std::printf("%-46s %9.1f   (goal: under 2 %% of a core)\n", "wait / idle processor time",
                wait.used.cpuMs / std::max(0.1, idle.used.cpuMs));
    // The wait ends at its limit with no reply: the credits request fails with -31000.
    const bool ended = boxes.size() == 1 && boxes.first().contains(QStringLiteral("-31000")) &&
                       !mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages"));
    std::printf("  the wait ended at its limit with the no-reply error: %s\n",
                ended ? "yes" : "NO");
    service.kill();
    service.waitForFinished();
    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
    return ended ? 0 : 1;
}
