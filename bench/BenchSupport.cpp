#include "BenchSupport.h"

#include "app/mdlDataBase.h"
#include "platform/App.h"
#include "platform/ControlFactory.h"
#include "platform/DatabaseCreation.h"
#include "platform/Err.h"
#include "platform/MsgBox.h"
#include "platform/RegistryHive.h"
#include "platform/Transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sqlite3.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bench {

namespace {
int g_members = 50000;
} // namespace

int option(int argc, char* argv[], const char* name, int fallback, int least)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::max(least, std::atoi(argv[i + 1]));
    }
    return fallback;
}

void readMemberCount(int argc, char* argv[])
{
    g_members = option(argc, argv, "--members", g_members);
}

int memberCount()
{
    return g_members;
}

QString syllableWord(std::mt19937& random, int parts)
{
    static const QStringList syllables{"Πα", "πα",  "δο", "Κω", "στα", "ντί", "νου",
                                       "Γε", "ωρ",  "γί", "ου", "Ά",   "λε",  "ξα",
                                       "ά",  "νδρ", "Ελ", "έ",  "νη",  "Μα"};
    QString w;
    for (int i = 0; i < parts; ++i)
        w += syllables[static_cast<int>(random() % syllables.size())];
    return w;
}

bool check(const rt::DbResult& result)
{
    if (!result.ok)
        std::fprintf(stderr, "database: %s\n", qPrintable(result.description));
    return result.ok;
}

namespace {

bool addGroups(rt::Database& db, AddressBookShape::Groups shape)
{
    if (shape == AddressBookShape::Groups::None)
        return true;
    int id = 0;
    for (int g = 0; g < kTopGroups; ++g) {
        const int top = ++id;
        if (!check(db.execute({QStringLiteral("INSERT INTO groups (group_id, group_name, "
                                              "subgroup_of) VALUES (?, ?, 0)"),
                               {top, QStringLiteral("Ομάδα %1").arg(top)}})))
            return false;
        int parent = top;
        for (int s = 0; s < kSubgroupsEach; ++s) {
            ++id;
            const bool deeper = shape == AddressBookShape::Groups::SomeDeeper && s % 3 == 2;
            const int under = deeper ? parent : top;
            if (!check(db.execute({QStringLiteral("INSERT INTO groups (group_id, group_name, "
                                                  "subgroup_of) VALUES (?, ?, ?)"),
                                   {id, QStringLiteral("Υποομάδα %1").arg(id), under}})))
                return false;
            parent = id;
        }
    }
    return true;
}

} // namespace

bool fillAddressBook(rt::Database& db, const AddressBookShape& shape)
{
    rt::Transaction tx(db);
    if (!check(tx.status()))
        return false;
    // The groups get the ids 1 to kGroups in the order they are made.
    if (!addGroups(db, shape.groups))
        return false;

    std::mt19937 random(1253);
    auto word = [&](int parts) { return syllableWord(random, parts); };
    for (int m = 1; m <= memberCount(); ++m) {
        QVariant memberOf;
        const int groups = static_cast<int>(random() % 4); // 0 to 3 groups, 0 is Null
        if (groups > 0) {
            QString list = QStringLiteral("\\");
            for (int k = 0; k < groups; ++k)
                list += QString::number(1 + random() % kGroups) + QLatin1Char('\\');
            memberOf = list;
        }
        QVariantList values{m};
        if (shape.names == AddressBookShape::Names::Syllables) {
            // One statement each, in this order: the draws stay those of every run.
            values << word(4);
            values << word(2);
            values << word(3);
        } else {
            values << QStringLiteral("Επώνυμο %1").arg(random() % 100000) << QStringLiteral("Όνομα")
                   << QStringLiteral("Επάγγελμα");
        }
        values << QStringLiteral("69%1").arg(m, 8, 10, QLatin1Char('0')) << memberOf;
        if (!check(db.execute(
                {QStringLiteral("INSERT INTO members (member_id, LastName, FirstName, Occupation, "
                                "mobile_no, member_of) VALUES (?, ?, ?, ?, ?, ?)"),
                 values})))
            return false;
    }
    return check(tx.commit());
}

bool openDatabase(const QTemporaryDir& folder, QString* path)
{
    rt::App::setPath(folder.path());
    const QString file = folder.filePath(QStringLiteral("SMS.mdb"));
    if (path)
        *path = file;
    QString error;
    if (!rt::createDatabaseFromSchema(file, QStringLiteral(VANTREL_SCHEMA_FILE), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return check(mdlDataBase::MainDatabase().open(file));
}

bool openAddressBook(const QTemporaryDir& folder, const AddressBookShape& shape, QString* path)
{
    return openDatabase(folder, path) && fillAddressBook(mdlDataBase::MainDatabase(), shape);
}

double rawRead(const QString& path, const char* sql, int* rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    sqlite3_stmt* stmt = nullptr;
    QElapsedTimer clock;
    clock.start();
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    QList<QStringList> read;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            row << (text ? QString::fromUtf8(text) : QString());
        }
        read.append(row);
    }
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    *rows = static_cast<int>(read.size());
    return ms;
}

bool registerControlLibrary(const QString& folder)
{
#ifdef VANTREL_TIRNAVAL_LIBRARY
    QString error;
    if (rt::RegisterServer(QStringLiteral(VANTREL_TIRNAVAL_LIBRARY),
                           QDir(folder).filePath(rt::RegistryHive::defaultFileName()), &error))
        return true;
    std::fprintf(stderr, "control library: %s\n", qPrintable(error));
#else
    Q_UNUSED(folder);
    std::fprintf(stderr, "control library: not built\n");
#endif
    return false;
}

quint16 startService(QProcess& service, const QString& program, const QStringList& arguments)
{
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(program, arguments);
    if (!service.waitForStarted(10000))
        return 0;
    // It prints "port N" once it listens.
    QByteArray line;
    while (!line.endsWith('\n') && service.waitForReadyRead(10000))
        line += service.readLine();
    if (!line.startsWith("port "))
        return 0;
    return static_cast<quint16>(line.mid(5).trimmed().toUInt());
}

namespace {

// Starts the program (found on PATH) with its arguments, in a process group of its own
// when asked, its output and errors dropped when quiet. "{fd}" in an argument stands for
// the writing end of a pipe; the first line the program writes there comes back through
// told (empty when none came in 20 s).
pid_t spawnTelling(std::vector<std::string> args, bool ownGroup, bool quiet, QByteArray* told)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    for (std::string& a : args) {
        const size_t at = a.find("{fd}");
        if (at != std::string::npos)
            a.replace(at, 4, std::to_string(fds[1]));
    }
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (ownGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return -1;
    }
    QByteArray line;
    pollfd wait{fds[0], POLLIN, 0};
    while (!line.endsWith('\n') && poll(&wait, 1, 20000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1)
            break;
        line += c;
    }
    close(fds[0]);
    *told = line.trimmed();
    return pid;
}

// Runs the program to its end, its output dropped; true when it ended with code 0.
bool runToEnd(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

VirtualDisplay::~VirtualDisplay()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

QByteArray VirtualDisplay::start(bool endWithLastClient)
{
    std::vector<std::string> args{"Xvfb", "-displayfd",   "{fd}",      "-screen",
                                  "0",    "1280x1024x24", "-nolisten", "tcp"};
    // The server ends with its last client, also when the benchmark is killed before it
    // can end the server itself.
    if (endWithLastClient)
        args.push_back("-terminate");
    QByteArray number;
    m_pid = spawnTelling(args, false, false, &number);
    return m_pid <= 0 || number.isEmpty() ? QByteArray() : ':' + number;
}

double VirtualDisplay::cpuMs() const
{
    return m_pid > 0 ? processCpuMs(m_pid) : 0;
}

SessionBus::~SessionBus()
{
    if (m_pid > 0) {
        // The launcher, the accessibility bus and its registry started in the group.
        kill(-m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

QByteArray SessionBus::start()
{
    if (!m_folder.isValid())
        return {};
    // The bus's address is this process's session bus from here on, and so also that of
    // everything the bus starts (the launcher, the accessibility bus and its registry
    // find the session through it).
    const QByteArray address =
        "unix:path=" + QFile::encodeName(m_folder.filePath(QStringLiteral("bus")));
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QByteArray told;
    // Quiet: the bus and what it starts report every activation.
    m_pid = spawnTelling({"dbus-daemon", "--session", "--nofork",
                          "--address=" + address.toStdString(), "--print-address={fd}"},
                         true, true, &told);
    if (m_pid <= 0 || told.isEmpty()) {
        std::fprintf(stderr, "session bus: dbus-daemon did not start\n");
        return {};
    }
    // Asking for the accessibility bus's address starts its launcher (the desktop's
    // service file) and the bus, and waits for them.
    if (!runToEnd({"dbus-send", "--bus=" + address.toStdString(), "--print-reply=literal",
                   "--reply-timeout=20000", "--dest=org.a11y.Bus", "/org/a11y/bus",
                   "org.a11y.Bus.GetAddress"})) {
        std::fprintf(stderr, "session bus: no accessibility bus on it\n");
        return {};
    }
    return address;
}

double processCpuMs(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The fields after the command's name in parentheses; utime and stime are the 14th
    // and 15th of the line.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double ownCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec)) /
           1e3;
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    QCoreApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void printBoxesAndErrors(int answer)
{
    rt::setMsgBoxHandler([answer](const QString& text, int, const QString&) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return answer;
    });
    rt::setUntrappedErrorReporter(
        [] { std::fprintf(stderr, "error: %s\n", qPrintable(rt::Err().Description)); });
}

void report(const char* what, double ms)
{
    std::printf("%-58s %9.1f ms\n", what, ms);
}

} // namespace bench
