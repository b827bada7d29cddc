// Times the organiser's and the member list's large operations on an address book of
// 50,000 members (or --members N) with the accessibility bridge on, as for a user of a
// screen reader, against the same operations with it off, in one run.
//
// The benchmark starts a virtual X server and a session bus of its own, with the
// accessibility bus of a desktop session behind it, and a screen reader stand-in
// (screen_reader.py: it listens for the events a screen reader listens for and reads
// every object that takes the focus or the selection, with its place in its list). Each
// round runs the steps in a fresh program process of its own on the program's X platform,
// once with the bridge off (no bus to find) and once with it on, by turns; the main
// window is active and the control the user would use has the keyboard. A step's time is
// the work with the event loop's turn that follows (as in the other benchmarks); its
// processor time also covers the next 300 ms, in which the program answers the screen
// reader's questions about the change. The medians over the rounds and their ratios are
// printed.
//
// With the bridge on, the screen reader stand-in then reads the member list as a user
// would check it (its row count, its first row's name, the rows shown selected and the
// object that last took the focus), and the benchmark fails when that differs from what
// the list holds.
//
// Run: build/bench/bench_accessible [--members N] [--rounds N] [--window organiser|list]
#include "BenchSupport.h"
#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_List.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/TreeView.h"

#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <unistd.h>
#include <vector>

using bench::kSubgroupsEach;
using bench::kTopGroups;
using Shape = bench::AddressBookShape;

namespace {

const char* argument(int argc, char* argv[], const char* name, const char* fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    }
    return fallback;
}

// ---- one program process: the steps of one window

// Lets the program answer what the screen reader asks about the last change.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
}

// One line "step<TAB>name<TAB>wall ms<TAB>processor ms" for the runner.
void step(const char* name, const std::function<void()>& work)
{
    const double cpu = bench::ownCpuMs();
    const double wall = bench::timed(work);
    settle();
    std::printf("step\t%s\t%.1f\t%.1f\n", name, wall, bench::ownCpuMs() - cpu);
    std::fflush(stdout);
}

// The main window shown and active, as the user has it.
frmMain& activeMainWindow()
{
    frmMain& main = rt::Forms::get<frmMain>();
    main.setGeometry(40, 40, 1100, 760);
    main.show();
    main.activateWindow();
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(10000);
    while (!main.isActiveWindow() && limit.isActive())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    if (!main.isActiveWindow())
        std::fprintf(stderr, "the main window did not become active\n");
    return main;
}

// What a screen reader should read of the list: printed for the runner, which answers
// on standard input once its reader has read it; the program answers the reader's
// questions meanwhile.
void offerCheck(rt::ListView& list)
{
    QJsonObject expected;
    rt::ListItems items = list.ListItems();
    expected[QStringLiteral("rows")] = items.Count();
    expected[QStringLiteral("first")] = items.Count() > 0 ? items.Item(1).Text() : QString();
    int selected = 0;
    QJsonObject firstSelected;
    for (const rt::ListItem item : items) {
        if (!item.Selected())
            continue;
        if (selected++ == 0) {
            firstSelected[QStringLiteral("row")] = item.Index() - 1;
            firstSelected[QStringLiteral("name")] = item.Text();
        }
    }
    expected[QStringLiteral("selected")] = selected;
    expected[QStringLiteral("first_selected")] = firstSelected;
    std::printf("check\t%s\n", QJsonDocument(expected).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    QEventLoop loop;
    QSocketNotifier answer(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&answer, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    loop.exec();
}

void organiserSteps(bool check)
{
    QTemporaryDir folder;
    if (!bench::openAddressBook(folder, {Shape::Groups::TwoLevels, Shape::Names::Numbered}))
        return;
    bench::registerControlLibrary(folder.path());
    activeMainWindow();
    frmGroup_Organize* w = nullptr;
    step("open the organiser (tree, cache, every member)", [&] {
        w = &rt::Forms::get<frmGroup_Organize>();
        w->show();
    });
    rt::TreeView* tree = w->Groups();
    tree->setFocus();
    const rt::Node root = tree->Nodes().Item(QStringLiteral("GRP_0"));
    const rt::Node top = tree->Nodes().Item(QStringLiteral("GRP_1"));
    step("show a top-level group (its and its subgroups' members)", [&] {
        tree->setSelectedItem(top);
        emit tree->NodeClick(top);
    });
    step("show the root (every member)", [&] {
        tree->setSelectedItem(root);
        emit tree->NodeClick(root);
    });
    step("delete a top-level group with its 9 subgroups", [&] {
        tree->setSelectedItem(top);
        w->DeleteGroup();
    });
    w->Members()->setFocus();
    step("find: surnames beginning \"Επώνυμο 1\" (a ninth)", [&] {
        QString last = QStringLiteral("Επώνυμο 1"), first, phone, occupation;
        w->FindMembers(last, first, phone, occupation);
    });
    if (check)
        offerCheck(*w->Members());
    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
}

void memberListSteps(bool check)
{
    QTemporaryDir folder;
    if (!bench::openAddressBook(folder, {Shape::Groups::None, Shape::Names::Syllables}))
        return;
    bench::registerControlLibrary(folder.path());
    frmMain& main = activeMainWindow();
    frmMember_List* w = nullptr;
    step("open the member list (the whole table)", [&] {
        if (main.FreeChildSpace(QStringLiteral("frmMember_List")))
            rt::Forms::get<frmMember_List>().show();
        w = rt::Forms::find<frmMember_List>();
    });
    if (!w)
        return;
    w->Members()->setFocus();
    step("fill: criteria, two groups", [&] {
        w->SetListCriteria(QString(), QString(), QString(), QString(), QStringLiteral("7,250"));
    });
    step("fill: criteria none again (every member)",
         [&] { w->SetListCriteria(QString(), QString(), QString(), QString(), QString()); });
    step("find: surnames beginning \"πα\"", [&] {
        QString last = QStringLiteral("πα"), first, phone, occupation;
        w->FindMembers(last, first, phone, occupation);
    });
    step("delete the members found", [&] { w->DeleteMember(); });
    if (check)
        offerCheck(*w->Members());
    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
}

// The bridge comes on once it has found the accessibility bus through the session bus.
void waitForBridge()
{
    struct Observer : QAccessible::ActivationObserver {
        QEventLoop loop;
        void accessibilityActiveChanged(bool active) override
        {
            if (active)
                loop.quit();
        }
    } observer;
    QAccessible::installActivationObserver(&observer);
    if (!QAccessible::isActive()) {
        QTimer::singleShot(20000, &observer.loop, &QEventLoop::quit);
        observer.loop.exec();
    }
    QAccessible::removeActivationObserver(&observer);
}

int child(int argc, char* argv[])
{
    QApplication app(argc, argv);
    bench::readMemberCount(argc, argv);
    bench::printBoxesAndErrors(rt::mb::Yes);
    const bool wanted = std::strcmp(argument(argc, argv, "--bridge", "off"), "on") == 0;
    if (wanted)
        waitForBridge();
    const bool bridge = QAccessible::isActive();
    if (bridge != wanted) {
        std::fprintf(stderr, "the accessibility bridge is %s, not as asked\n",
                     bridge ? "on" : "off");
        return 1;
    }
    if (std::strcmp(argument(argc, argv, "--child", ""), "organiser") == 0)
        organiserSteps(bridge);
    else
        memberListSteps(bridge);
    return 0;
}

// ---- the runner

struct Step {
    QString name;
    std::vector<double> wall[2], cpu[2]; // [0] bridge off, [1] on
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The screen reader stand-in, in a process of its own on the session bus.
class ScreenReader {
public:
    bool start(const QProcessEnvironment& environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(VANTREL_PYTHON), {QStringLiteral(VANTREL_SCREEN_READER)});
        return m_process.waitForStarted(10000) && line() == "listening";
    }
    ~ScreenReader()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    QJsonObject read(qint64 pid)
    {
        m_process.write("read " + QByteArray::number(pid) + '\n');
        return QJsonDocument::fromJson(line()).object();
    }

private:
    QByteArray line()
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(60000)) {
        }
        return m_process.readLine().trimmed();
    }
    QProcess m_process;
};

// What the reader read against what the list holds; true when they agree.
bool compare(const QJsonObject& expected, const QJsonObject& read)
{
    const QJsonObject first = expected[QStringLiteral("first_selected")].toObject();
    const QJsonArray shown = read[QStringLiteral("selected_rows")].toArray();
    const QJsonArray firstShown = shown.isEmpty() ? QJsonArray() : shown[0].toArray();
    std::printf("  the screen reader read %d rows (the list holds %d), the first \"%s\"; %d "
                "selected (%d), the first of them row %d \"%s\"%s (row %d \"%s\"); last "
                "focus: %s; %d events from the program\n",
                read[QStringLiteral("rows")].toInt(-1), expected[QStringLiteral("rows")].toInt(),
                qPrintable(read[QStringLiteral("first")].toString()),
                read[QStringLiteral("selected")].toInt(-1),
                expected[QStringLiteral("selected")].toInt(), firstShown[0].toInt(-1),
                qPrintable(firstShown[1].toString()),
                firstShown[2].toBool() ? ", shown selected" : ", NOT shown selected",
                first[QStringLiteral("row")].toInt(-1),
                qPrintable(first[QStringLiteral("name")].toString()),
                qPrintable(read[QStringLiteral("focus")].toString(QStringLiteral("none"))),
                read[QStringLiteral("events")].toInt());
    if (read.contains(QStringLiteral("error"))) {
        std::printf("  the screen reader could not read the list: %s\n",
                    qPrintable(read[QStringLiteral("error")].toString()));
        return false;
    }
    const bool firstSelectedAgrees =
        expected[QStringLiteral("selected")].toInt() == 0 ||
        (firstShown[0].toInt(-1) == first[QStringLiteral("row")].toInt() &&
         firstShown[1].toString() == first[QStringLiteral("name")].toString() &&
         firstShown[2].toBool());
    return read[QStringLiteral("rows")] == expected[QStringLiteral("rows")] &&
           read[QStringLiteral("first")] == expected[QStringLiteral("first")] &&
           read[QStringLiteral("selected")] == expected[QStringLiteral("selected")] &&
           firstSelectedAgrees && read[QStringLiteral("events")].toInt() > 0 &&
           !read[QStringLiteral("focus")].toString().isEmpty();
}

// One program process; false when it failed or the reader's check did not agree.
bool runOnce(const char* window, bool bridge, const QProcessEnvironment& base,
             const QByteArray& busAddress, ScreenReader& reader, QList<Step>& steps)
{
    QProcessEnvironment environment = base;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
    if (bridge) {
        environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QString::fromLatin1(busAddress));
    } else {
        // No bus to ask for one: the bridge stays off.
        environment.remove(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=/nonexistent/vantrel-bench-bus"));
    }
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--child"), QString::fromLatin1(window),
                   QStringLiteral("--bridge"),
                   bridge ? QStringLiteral("on") : QStringLiteral("off"),
                   QStringLiteral("--members"), QString::number(bench::memberCount())});

    if (!program.waitForStarted(10000))
        return false;
    bool agreed = !bridge;
    int index = 0;
    for (;;) {
        while (!program.canReadLine() && program.waitForReadyRead(600000)) {
        }
        if (!program.canReadLine())
            break;
        const QList<QByteArray> fields = program.readLine().trimmed().split('\t');
        if (fields.value(0) == "step" && fields.size() == 4) {
            if (index == steps.size())
                steps.append(Step{QString::fromUtf8(fields[1]), {}, {}});
            Step& s = steps[index++];
            s.wall[bridge].push_back(fields[2].toDouble());
            s.cpu[bridge].push_back(fields[3].toDouble());
        } else if (fields.value(0) == "check" && fields.size() == 2) {
            agreed = compare(QJsonDocument::fromJson(fields[1]).object(),
                             reader.read(program.processId()));
            program.write("done\n");
        }
    }
    program.waitForFinished(60000);
    return program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0 && agreed;
}

int runner(int argc, char* argv[])
{
    bench::readMemberCount(argc, argv);
    const int rounds = bench::option(argc, argv, "--rounds", 3);
    const QByteArray only = argument(argc, argv, "--window", "");

    bench::VirtualDisplay display;
    // The runner is no client of the server: the server stays until the runner ends it.
    const QByteArray name = display.start(false);
    if (name.isEmpty()) {
        std::fprintf(stderr, "no virtual X server (Xvfb) started\n");
        return 1;
    }
    qputenv("DISPLAY", name);
    bench::SessionBus bus;
    const QByteArray address = bus.start();
    if (address.isEmpty())
        return 1;

    QCoreApplication app(argc, argv);
    QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment readerEnvironment = base;
    readerEnvironment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                             QString::fromLatin1(address));
    ScreenReader reader;
    if (!reader.start(readerEnvironment)) {
        std::fprintf(stderr, "the screen reader stand-in did not start\n");
        return 1;
    }
    std::printf("%d members, display %s, a screen reader on the accessibility bus; %d rounds, "
                "the bridge off and on by turns, medians\n",
                bench::memberCount(), name.constData(), rounds);

    bool ok = true;
    for (const char* window : {"organiser", "list"}) {
        if (!only.isEmpty() && only != window)
            continue;
        QList<Step> steps;
        const double serverBefore = display.cpuMs();
        for (int round = 0; round < rounds; ++round) {
            for (const bool bridge : {round % 2 == 1, round % 2 == 0})
                ok = runOnce(window, bridge, base, address, reader, steps) && ok;
        }
        std::printf("\n== %s (X server: %.0f ms of processor time in all)\n",
                    std::strcmp(window, "list") == 0 ? "the member list" : "the organiser",
                    display.cpuMs() - serverBefore);
        std::printf("%-56s %9s %9s %6s %9s %9s %6s\n", "step", "off ms", "on ms", "ratio",
                    "off CPU", "on CPU", "ratio");
        for (const Step& s : steps) {
            const double off = median(s.wall[0]), on = median(s.wall[1]);
            const double offCpu = median(s.cpu[0]), onCpu = median(s.cpu[1]);
            std::printf("%-56s %9.1f %9.1f %6.2f %9.1f %9.1f %6.2f\n", qPrintable(s.name), off, on,
                        off > 0 ? on / off : 0, offCpu, onCpu, offCpu > 0 ? onCpu / offCpu : 0);
        }
    }
    if (!ok)
        std::printf("\nFAILED: a program ended badly or the screen reader read something else\n");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argument(argc, argv, "--child", nullptr))
        return child(argc, argv);
    return runner(argc, argv);
}
