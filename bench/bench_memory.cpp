// Follows the program's memory while the user switches docked windows: the program is
// started as installed (control library registered, a complete account, terms agreed) on
// an address book of 20,000 members (or --members N) with sent, saved and out-box
// messages, and the main window's menu commands open one list after another, each
// command run from the event loop as a click would run it. Resident memory (RSS) and
// the heap in use are sampled while the list under study shows.
//   1. the member list, opened --openings times (1,000), the out-box between openings;
//   2. the sent list, the same way;
//   3. the four lists in turn: out-box, sent, saved, member list, --openings / 4 times.
// Run: build/bench/bench_memory [--members N] [--openings N] [--sent N] [--only 1|2|3]
//                                [--keep]
// (QT_QPA_PLATFORM=xcb under Xvfb for the real window; offscreen otherwise.) --keep ends
// the process at once after the last sample, nothing torn down, so that a heap profiler
// (heaptrack) lists as "leaked" what the openings left alive: compare two runs that
// differ only in --openings.
#include "BenchSupport.h"
#include "app/Main.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/App.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "tests/support/RoadFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace {

double residentKiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1024.0;
}

double heapKiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / 1024.0;
}

bool addMessages(int sent)
{
    rt::Database& db = mdlDataBase::MainDatabase();
    for (int n = 1; n <= sent; ++n) {
        const QString date = QStringLiteral("2024-03-%1").arg(1 + n % 28, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1:%2")
                                 .arg(n / 60 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(n % 60, 2, 10, QLatin1Char('0'));
        const QVariant schedule = n % 3 == 0 ? QVariant(date) : QVariant();
        if (!bench::check(db.execute(
                {QStringLiteral("INSERT INTO sended_messages (msg_title, msg_text, "
                                "msg_originator, msg_flash, msg_phonelist, msg_date, msg_time, "
                                "msg_schdate, msg_schtime, msg_SID, msg_Status) "
                                "VALUES (?, ?, 'Shop', ?, ?, ?, ?, ?, ?, ?, 0)"),
                 {QStringLiteral("Ενημέρωση %1").arg(n),
                  QStringLiteral("Καλημέρα σας, η προσφορά %1 ισχύει ως την Κυριακή.").arg(n),
                  n % 5 == 0, QStringLiteral("6900000001,6900000002,6900000003"), date, time,
                  schedule, n % 3 == 0 ? QVariant(time) : QVariant(), 1000 + n}})))
            return false;
    }
    for (int n = 1; n <= 50; ++n) {
        if (!bench::check(db.execute(
                {QStringLiteral("INSERT INTO saved_messages (msg_title, msg_text, msg_originator, "
                                "msg_flash, msg_datecreated, msg_timecreated) "
                                "VALUES (?, ?, 'Shop', 0, '2024-03-01', ?)"),
                 {QStringLiteral("Πρόχειρο %1").arg(n), QStringLiteral("Κείμενο %1").arg(n),
                  QStringLiteral("10:%1").arg(n, 2, 10, QLatin1Char('0'))}})))
            return false;
    }
    for (int n = 1; n <= 20; ++n) {
        if (!bench::check(db.execute(
                {QStringLiteral("INSERT INTO outbox_messages (msg_title, msg_text, "
                                "msg_originator, msg_flash, msg_phonelist, msg_date, msg_time) "
                                "VALUES (?, 'Κείμενο', 'Shop', 0, '6900000001', '2024-03-02', "
                                "'11:00')"),
                 {QStringLiteral("Προς αποστολή %1").arg(n)}})))
            return false;
    }
    return true;
}

// The steps run one per turn of the event loop, as clicks would: what a step leaves for
// later (deferred deletions, layout, painting) happens before the next one.
class Steps {
public:
    void add(std::function<void()> step) { m_steps.push_back(std::move(step)); }
    // A turn of the loop with nothing of ours in it: the window settles and paints.
    void idle(int turns = 2)
    {
        for (int i = 0; i < turns; ++i)
            add([] {});
    }
    void run()
    {
        QTimer timer;
        timer.setInterval(0);
        size_t next = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (next == m_steps.size()) {
                timer.stop();
                QCoreApplication::quit();
                return;
            }
            m_steps[next++]();
        });
        timer.start();
        QCoreApplication::exec();
    }

private:
    std::vector<std::function<void()>> m_steps;
};

struct Samples {
    const char* what;
    std::vector<double> rss = {}, heap = {};
    std::vector<int> widgets = {};
};

void printSamples(const Samples& s)
{
    std::printf("\n%s\n%10s %12s %12s %9s\n", s.what, "opening", "RSS (KiB)", "heap (KiB)",
                "widgets");
    const size_t n = s.rss.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t opening = i + 1;
        if (opening == 1 || opening == 10 || opening == 50 || opening % 100 == 0 || opening == n)
            std::printf("%10zu %12.0f %12.0f %9d\n", opening, s.rss[i], s.heap[i], s.widgets[i]);
    }
    if (n >= 4) {
        // The second half: what each opening adds once start-up's one-off costs are paid.
        const size_t from = n / 2 - 1, to = n - 1;
        const double openings = double(to - from);
        std::printf("%-36s %8.2f KiB RSS, %8.2f KiB heap\n", "growth per opening, second half",
                    (s.rss[to] - s.rss[from]) / openings, (s.heap[to] - s.heap[from]) / openings);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    rt::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // 20,000 members unless told otherwise.
    bool membersGiven = false;
    for (int i = 1; i < argc; ++i)
        membersGiven = membersGiven || std::strcmp(argv[i], "--members") == 0;
    if (membersGiven)
        bench::readMemberCount(argc, argv);
    else {
        char name[] = "--members", value[] = "20000";
        char* defaults[] = {argv[0], name, value};
        bench::readMemberCount(3, defaults);
    }
    const int openings = bench::option(argc, argv, "--openings", 1000);
    const int sent = bench::option(argc, argv, "--sent", 200, 0);
    const int only = bench::option(argc, argv, "--only", 0, 0);
    bool keep = false;
    for (int i = 1; i < argc; ++i)
        keep = keep || std::strcmp(argv[i], "--keep") == 0;
    bench::printBoxesAndErrors();
    const QString current = QDir::currentPath();

    QTemporaryDir folder;
    if (!bench::openDatabase(folder) || !bench::fillAddressBook(mdlDataBase::MainDatabase(), {}) ||
        !addMessages(sent))
        return 1;
    mdlDataBase::MainDatabase().close();
    if (!bench::registerControlLibrary(folder.path()) ||
        !testsupport::road::writeSettings(folder.path(), QStringLiteral("127.0.0.1"), 80))
        return 1;
    rt::App::setPath(folder.path());
    QDir::setCurrent(folder.path());
    std::printf("%d members, %d sent messages, %d openings, platform %s\n", bench::memberCount(),
                sent, openings, qPrintable(QGuiApplication::platformName()));

    Steps steps;
    steps.add([] { mdlDataBase::Main(); });
    steps.idle(4);
    const auto command = [](const char* name) {
        return [name] {
            if (frmMain* main = rt::Forms::find<frmMain>())
                main->MenuItem(QLatin1String(name))->trigger();
        };
    };
    const auto sample = [](Samples& into) {
        return [&into] {
            into.rss.push_back(residentKiB());
            into.heap.push_back(heapKiB());
            into.widgets.push_back(int(QApplication::allWidgets().size()));
        };
    };
    Samples members{
        "1. the member list, the out-box between openings (sampled while the list shows)"};
    Samples sentList{
        "2. the sent list, the out-box between openings (sampled while the list shows)"};
    Samples round{
        "3. out-box, sent, saved, member list in turn (sampled while the member list shows)"};
    for (int i = 0; i < (only == 0 || only == 1 ? openings : 0); ++i) {
        steps.add(command("mnOutBox"));
        steps.idle();
        steps.add(command("mnMemberList"));
        steps.idle();
        steps.add(sample(members));
    }
    for (int i = 0; i < (only == 0 || only == 2 ? openings : 0); ++i) {
        steps.add(command("mnOutBox"));
        steps.idle();
        steps.add(command("mnSendBox"));
        steps.idle();
        steps.add(sample(sentList));
    }
    for (int i = 0; i < (only == 0 || only == 3 ? openings / 4 : 0); ++i) {
        for (const char* name : {"mnOutBox", "mnSendBox", "mnSavedBox", "mnMemberList"}) {
            steps.add(command(name));
            steps.idle();
        }
        steps.add(sample(round));
    }
    if (!keep)
        steps.add([] { rt::Forms::discardAll(); });
    steps.run();

    for (const Samples* samples : {&members, &sentList, &round}) {
        if (!samples->rss.empty())
            printSamples(*samples);
    }
    if (keep) {
        std::fflush(nullptr);
        _exit(0);
    }
    mdlDataBase::MainDatabase().close();
    QDir::setCurrent(current);
    return 0;
}
