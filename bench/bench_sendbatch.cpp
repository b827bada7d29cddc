// Times the out-box batch: 1,000 waiting messages sent by the sending window
// (frmSendMessages::SendOutBoxMessages with -1) to the loopback service program, beside
// a minimal client in the same run that makes the same exchanges (connect, the same
// request bytes, read the reply, close; then the credits request) with one SQLite commit
// per message, on a copy of the same database. Checks that every message is in the sent
// box once and that both sent the same requests.
//
// Every commit waits for the disk, whose speed changes with what else the machine does:
// the two run by turns over several rounds (each on fresh databases), and the median of
// the rounds' ratios is the figure.
//
// Two settings of the batch:
// - at its plainest (the default): offscreen, nothing docked, the batch called directly;
// - as a user meets it (--real-window): the program's own X platform on a virtual X
//   server that the benchmark starts itself (no window manager), the out-box list
//   docked and shown with the messages, the batch started by its toolbar's Send button,
//   no accessibility bus. The server's processor time is reported too: what the window
//   costs is shared between the two processes.
// --docked docks the list offscreen, to tell the window system's share from the list's.
// --shot FILE keeps a picture of the screen halfway through the first docked batch.
// --other-files N (5,000 unless given; 0 leaves it out): each round also runs the batch on
// a copy of its database in a program folder that holds N other files, as exports gather
// there, and the batch's rate there is set against its rate in the folder as installed.
// Run: build/bench/bench_sendbatch [--messages N] [--rounds N] [--real-window | --docked]
//      [--shot FILE] [--other-files N]
#include "BenchSupport.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlMainOutbox.h"
#include "app/mdlSettings.h"
#include "messages/frmMessage_OutBox.h"
#include "platform/App.h"
#include "platform/Clock.h"
#include "platform/Cp1253.h"
#include "platform/DbDates.h"
#include "platform/ListView.h"
#include "platform/Toolbar.h"
#include "sending/frmSendMessages.h"
#include "sending/mdlInternet.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

bool flag(int argc, char* argv[], const char* name)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec)) /
           1e3;
}

// How often the process gave up the processor to wait (for the network, the disk, the
// X server): unlike times, a count that the machine's load hardly changes.
long waits()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

struct Run {
    double wallMs = 0;
    double cpuMs = 0;
    double serverCpuMs = 0; // the X server's, in the real window
    long waits = 0;
    bool ok = true;
};

const bench::VirtualDisplay* g_display = nullptr;

template <class Work> Run measured(Work work)
{
    QElapsedTimer clock;
    clock.start();
    const double cpu = cpuMs();
    const double serverCpu = g_display ? g_display->cpuMs() : 0;
    const long waitsBefore = waits();
    Run run;
    run.ok = work();
    QCoreApplication::processEvents();
    run.cpuMs = cpuMs() - cpu;
    run.serverCpuMs = g_display ? g_display->cpuMs() - serverCpu : 0;
    run.waits = waits() - waitsBefore;
    run.wallMs = double(clock.nsecsElapsed()) / 1e6;
    return run;
}

// What the minimal client needs of one out-box row.
struct Waiting {
    qint64 id = 0;
    QString title, text, originator, phonelist;
    bool flash = false;
};

QString columnText(sqlite3_stmt* stmt, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? QString::fromUtf8(text) : QString();
}

bool step(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "minimal client: %s\n", sqlite3_errmsg(db));
    return false;
}

void bindText(sqlite3_stmt* stmt, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// One exchange as plainly as it can be made: the reply is read until it holds the
// closing tag or the server closes.
qint32 exchange(const QByteArray& request, quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(10000))
        return mdlInternet::NoReply;
    socket.write(request);
    QByteArray reply;
    while (!reply.contains("</result>") && socket.waitForReadyRead(30000))
        reply += socket.readAll();
    reply += socket.readAll();
    socket.abort();
    return mdlInternet::ReadReply(rt::cp1253::toUnicode(reply));
}

// Every waiting message, newest first, through one exchange and one commit each.
bool minimalClient(const QString& path, const mdlInternet::Account& account, quint16 port)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    std::vector<Waiting> waiting;
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT msg_id, msg_title, msg_text, msg_originator, msg_phonelist, "
                       "msg_flash FROM outbox_messages ORDER BY msg_id DESC",
                       -1, &read, nullptr);
    while (sqlite3_step(read) == SQLITE_ROW)
        waiting.push_back(Waiting{sqlite3_column_int64(read, 0), columnText(read, 1),
                                  columnText(read, 2), columnText(read, 3), columnText(read, 4),
                                  sqlite3_column_int(read, 5) != 0});
    sqlite3_finalize(read);

    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* remove = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO sended_messages (msg_date, msg_time, msg_title, msg_text, "
                       "msg_originator, msg_phonelist, msg_flash, msg_SID, msg_Status) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1)",
                       -1, &insert, nullptr);
    sqlite3_prepare_v2(db, "DELETE FROM outbox_messages WHERE msg_id = ?", -1, &remove, nullptr);
    bool ok = insert && remove;
    const bool testMode = mdlInternet::TestModeMarkerPresent();
    for (const Waiting& m : waiting) {
        if (!ok)
            break;
        const QString fields =
            mdlInternet::BuildSendFields(m.originator, m.text, m.phonelist, QVariant(), QVariant(),
                                         m.flash, mdlSettings::Originator, testMode);
        const qint32 result = exchange(rt::cp1253::fromUnicode(mdlInternet::BuildRequest(
                                           QStringLiteral("send.php"), fields, account)),
                                       port);
        if (result < 0) {
            std::fprintf(stderr, "minimal client: result %d\n", result);
            ok = false;
            break;
        }
        const QDateTime now = rt::Now();
        ok = step(db, "BEGIN");
        bindText(insert, 1, rt::dbDate(now.date()).toString());
        bindText(insert, 2, rt::dbTime(now.time()).toString());
        bindText(insert, 3, m.title);
        bindText(insert, 4, m.text);
        bindText(insert, 5, m.originator);
        bindText(insert, 6, m.phonelist);
        sqlite3_bind_int(insert, 7, m.flash ? 1 : 0);
        sqlite3_bind_int(insert, 8, result);
        sqlite3_bind_int64(remove, 1, m.id);
        ok = ok && sqlite3_step(insert) == SQLITE_DONE && sqlite3_step(remove) == SQLITE_DONE &&
             step(db, "COMMIT");
        sqlite3_reset(insert);
        sqlite3_reset(remove);
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(remove);
    sqlite3_close(db);
    // The batch asks for the credits once all are sent: so does the minimal client.
    return ok && exchange(rt::cp1253::fromUnicode(mdlInternet::BuildRequest(
                              QStringLiteral("credits.php"), QString(), account)),
                          port) >= 0;
}

// Every message is in the sent box once, none is left in the out-box.
bool eachSentOnce(const QString& path, int messages)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    auto number = [db](const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        const qint64 n =
            stmt && sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
        sqlite3_finalize(stmt);
        return n;
    };
    const qint64 sent = number("SELECT count(*) FROM sended_messages");
    const qint64 distinct = number("SELECT count(DISTINCT msg_title) FROM sended_messages");
    const qint64 left = number("SELECT count(*) FROM outbox_messages");
    sqlite3_close(db);
    std::printf("  %s: %lld sent rows, %lld distinct messages, %lld left in the out-box\n",
                qPrintable(QFileInfo(path).fileName()), static_cast<long long>(sent),
                static_cast<long long>(distinct), static_cast<long long>(left));
    return sent == messages && distinct == messages && left == 0;
}

// The service wrote request k of the whole run to request-k.bin. Every run of the batch
// and of the minimal client, in every round, sent the same requests in the same order.
bool sameRequests(const QString& folder, int exchanges, int runs)
{
    auto request = [&](int k) {
        QFile file(QDir(folder).filePath(QStringLiteral("request-%1.bin").arg(k)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (int k = 1; k <= exchanges; ++k) {
        const QByteArray first = request(k);
        for (int run = 1; run < runs; ++run) {
            if (first.isEmpty() || first != request(run * exchanges + k)) {
                std::fprintf(stderr, "request %d of run %d differs\n", k, run + 1);
                return false;
            }
        }
    }
    return true;
}

// The program folder of one round: its database with the waiting messages, and a copy
// of it for the minimal client.
struct Round {
    QTemporaryDir folder;
    QString path;
    QString minimalPath;
    // The same database in a program folder crowded with other files.
    QTemporaryDir crowded;
    QString crowdedPath;
};

bool prepare(Round& round, int messages)
{
    mdlDataBase::MainDatabase().close();
    if (!bench::openDatabase(round.folder, &round.path) ||
        !bench::registerControlLibrary(round.folder.path()))
        return false;
    const QStringList numbers{"6944111111", "6944222222", "2101234567", "6977000000", "6999999999"};
    for (int n = 1; n <= messages; ++n) {
        if (mdlMain::AddOutboxMessage(
                QStringLiteral("Μήνυμα %1").arg(n),
                QStringLiteral("Καλημέρα σας, προσφορά %1 με έκπτωση 10%!").arg(n), QString(),
                numbers.join(u','), QString(), QString(), n % 7 == 0) <= 0)
            return false;
    }
    round.minimalPath = round.folder.filePath(QStringLiteral("minimal.mdb"));
    return QFile::copy(round.path, round.minimalPath);
}

// The crowded program folder: the round's database before anything is sent, the control
// library's registration, and `others` files of the kind a user's exports leave there.
bool prepareCrowded(Round& round, int others)
{
    round.crowdedPath = round.crowded.filePath(QStringLiteral("SMS.mdb"));
    if (!QFile::copy(round.path, round.crowdedPath) ||
        !bench::registerControlLibrary(round.crowded.path()))
        return false;
    for (int n = 1; n <= others; ++n) {
        QFile file(round.crowded.filePath(QStringLiteral("Εξαγωγή μηνυμάτων %1.txt").arg(n)));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

// The program working on another program folder and its database.
bool switchFolder(const QString& folder, const QString& database)
{
    mdlDataBase::MainDatabase().close();
    rt::App::setPath(folder);
    return mdlDataBase::MainDatabase().open(database).ok;
}

// Docks the out-box list with the round's messages, as the main window's out-box command
// does, and lets the window show them.
frmMessage_OutBox* dockOutBox()
{
    rt::Forms::get<frmMain>().mnOutBox_Click();
    auto* outbox = rt::Forms::find<frmMessage_OutBox>();
    if (outbox == nullptr || !outbox->isVisible())
        return nullptr;
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return outbox;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool realWindow = flag(argc, argv, "--real-window");
    const bool docked = realWindow || flag(argc, argv, "--docked");
    bench::VirtualDisplay display;
    if (realWindow) {
        const QByteArray name = display.start();
        if (name.isEmpty()) {
            std::fprintf(stderr, "the virtual X server did not start\n");
            return 1;
        }
        qputenv("DISPLAY", name);
        qputenv("QT_QPA_PLATFORM", "xcb");
        // No accessibility bus: no session bus to ask for one, nor one started for it.
        qunsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vantrel-bench-bus");
        qunsetenv("AT_SPI_BUS_ADDRESS");
        g_display = &display;
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int messages = bench::option(argc, argv, "--messages", 1000);
    const int rounds = bench::option(argc, argv, "--rounds", 3);
    const int others = bench::option(argc, argv, "--other-files", 5000);
    QString shot;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--shot") == 0)
            shot = QString::fromLocal8Bit(argv[i + 1]);
    }
    bench::printBoxesAndErrors();

    mdlSettings::Originator = QStringLiteral("Shop");
    QTemporaryDir folder;
    const QString requests = folder.filePath(QStringLiteral("requests"));
    QDir().mkpath(requests);
    QProcess service;
    const quint16 port = bench::startService(service, QStringLiteral(VANTREL_FAKE_SMS_SERVICE),
                                             {"--seconds", "3600", "--record", requests, "90210"});
    if (port == 0) {
        std::fprintf(stderr, "the loopback service did not start\n");
        return 1;
    }
    mdlSettings::ServerURL = QStringLiteral("127.0.0.1");
    mdlSettings::ServerPort = port;
    mdlSettings::UserName = QStringLiteral("user");
    mdlSettings::Password = QStringLiteral("secret");
    mdlSettings::AskOnSend = 0;
    const mdlInternet::Account account{mdlSettings::ServerURL, port, mdlSettings::UserName,
                                       mdlSettings::Password};

    std::printf("%d out-box messages, the loopback service on port %u, %d rounds\n", messages,
                unsigned(port), rounds);
    std::printf("the batch: %s, platform %s%s, accessibility %s\n\n",
                docked ? "from the docked out-box list's Send button" : "called directly",
                qPrintable(QGuiApplication::platformName()),
                realWindow ? qPrintable(QStringLiteral(" on display ") +
                                        qEnvironmentVariable("DISPLAY") +
                                        QStringLiteral(", no window manager"))
                           : "",
                QAccessible::isActive() ? "on" : "off");
    std::printf("%-30s %9s %11s %8s %11s %13s %10s\n", "", "wall ms", "messages/s", "CPU ms",
                "CPU ms/msg", "X CPU ms/msg", "waits/msg");
    const auto line = [messages](const QString& what, const Run& run) {
        std::printf("%-30s %9.1f %11.1f %8.1f %11.2f %13.2f %10.1f\n", qPrintable(what),
                    run.wallMs, messages / (run.wallMs / 1000), run.cpuMs, run.cpuMs / messages,
                    run.serverCpuMs / messages, double(run.waits) / messages);
    };
    bool ok = true;
    std::vector<double> ratios;
    std::vector<double> crowdedRatios;
    std::vector<double> crowdedCpuRatios;
    for (int r = 1; r <= rounds && ok; ++r) {
        Round round;
        if (!prepare(round, messages) || (others > 0 && !prepareCrowded(round, others)))
            return 1;
        if (r == 1) {
            // The batch shows the connection on the main window's status bar.
            frmMain& main = rt::Forms::get<frmMain>();
            main.resize(1100, 760);
            main.show();
            QCoreApplication::processEvents();
        }
        const auto runMinimal = [&] {
            return measured([&] { return minimalClient(round.minimalPath, account, port); });
        };
        frmMessage_OutBox* outbox = nullptr;
        if (docked && (outbox = dockOutBox()) == nullptr) {
            std::fprintf(stderr, "the out-box list did not dock\n");
            return 1;
        }
        // A picture of the screen halfway through the first round's batch, to look at.
        QTimer halfway;
        if (outbox && r == 1 && !shot.isEmpty()) {
            halfway.setInterval(5);
            QObject::connect(&halfway, &QTimer::timeout, [&] {
                if (outbox->OutList()->ListItems().Count() > messages / 2)
                    return;
                halfway.stop();
                QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
            });
            halfway.start();
        }
        const auto runBatch = [&] {
            return measured([&] {
                if (outbox) {
                    QToolButton* send = outbox->Toolbar()->Button(QStringLiteral("btnSend"));
                    if (send == nullptr || !send->isEnabled())
                        return false;
                    send->click();
                } else {
                    rt::Forms::get<frmSendMessages>().SendOutBoxMessages(-1);
                }
                return !mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages")) &&
                       (!outbox || outbox->OutList()->ListItems().Count() == 0);
            });
        };
        // By turns, so that neither always meets the disk in the same mood.
        Run minimal, batch;
        if (r % 2 == 1) {
            minimal = runMinimal();
            batch = runBatch();
        } else {
            batch = runBatch();
            minimal = runMinimal();
        }
        line(QStringLiteral("round %1: minimal client").arg(r), minimal);
        line(QStringLiteral("round %1: the batch").arg(r), batch);
        ratios.push_back(minimal.wallMs / batch.wallMs);
        ok = minimal.ok && batch.ok && eachSentOnce(round.minimalPath, messages) &&
             eachSentOnce(round.path, messages);
        // The next round docks the list afresh on its own database.
        if (outbox)
            rt::Forms::get<frmMain>().FreeChildSpace(QString());
        if (ok && others > 0) {
            // The same batch, with the program folder full of other files.
            if (!switchFolder(round.crowded.path(), round.crowdedPath)) {
                std::fprintf(stderr, "the crowded folder's database did not open\n");
                return 1;
            }
            if (docked && (outbox = dockOutBox()) == nullptr) {
                std::fprintf(stderr, "the out-box list did not dock\n");
                return 1;
            }
            const Run crowded = runBatch();
            line(QStringLiteral("round %1: batch, %2 other files").arg(r).arg(others), crowded);
            crowdedRatios.push_back(crowded.wallMs / batch.wallMs);
            crowdedCpuRatios.push_back(crowded.cpuMs / batch.cpuMs);
            ok = crowded.ok && eachSentOnce(round.crowdedPath, messages);
            if (outbox)
                rt::Forms::get<frmMain>().FreeChildSpace(QString());
        }
        mdlDataBase::MainDatabase().close();
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("\n%-44s", "batch rate / minimal rate, by round:");
    for (const double ratio : ratios)
        std::printf(" %.2f", ratio);
    std::printf("\n%-44s %.2f   (goal: at least 0.5)\n", "median", ratios[ratios.size() / 2]);
    if (!crowdedRatios.empty()) {
        std::sort(crowdedRatios.begin(), crowdedRatios.end());
        std::printf("batch time with %d other files / as installed, by round:", others);
        for (const double ratio : crowdedRatios)
            std::printf(" %.2f", ratio);
        std::printf("\n%-44s %.2f   (goal: about 1)\n", "median",
                    crowdedRatios[crowdedRatios.size() / 2]);
        std::sort(crowdedCpuRatios.begin(), crowdedCpuRatios.end());
        std::printf("the same in processor time, by round:");
        for (const double ratio : crowdedCpuRatios)
            std::printf(" %.2f", ratio);
        std::printf("\n%-44s %.2f\n", "median", crowdedCpuRatios[crowdedCpuRatios.size() / 2]);
    }
    const bool same = sameRequests(requests, messages + 1, (others > 0 ? 3 : 2) * rounds);
    std::printf("the same %d requests from every run: %s\n", messages + 1, same ? "yes" : "NO");
    service.kill();
    service.waitForFinished();
    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
    return ok && same ? 0 : 1;
}
