// Times the organiser's save pass at 50,000 and at 100,000 members in one run: its cost
// should grow in proportion to the members it writes.
//
// Each measurement runs in a fresh program process of its own (the same address book as
// bench_organiser, offscreen), the two sizes by turns over several rounds; the medians
// and their ratio (100,000 against 50,000) are printed, in time and in processor time.
// Beside them, as the floor of what "in proportion" gives on this machine, the plain
// SQLite read of every member at both sizes: the caches of the machine make even that
// grow a little more than twice.
//
// The saves: every member rewritten (each copied to a group first), and a top-level
// group with its 9 subgroups deleted (its members, and the rows that name those groups,
// written again).
//
// Run: build/bench/bench_save [--rounds N] [--small N] [--large N]
#include "BenchSupport.h"
#include "addressbook/frmGroup_Organize.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/TreeView.h"

#include <QApplication>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using Shape = bench::AddressBookShape;

namespace {

bool isChild(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--child") == 0)
            return true;
    }
    return false;
}

// One line "result<TAB>name<TAB>ms<TAB>processor ms" for the runner.
void result(const char* name, double ms, double cpu)
{
    std::printf("result\t%s\t%.1f\t%.1f\n", name, ms, cpu);
    std::fflush(stdout);
}

int child(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::readMemberCount(argc, argv);
    bench::printBoxesAndErrors(rt::mb::Yes);
    QTemporaryDir folder;
    QString path;
    if (!bench::openAddressBook(folder, {Shape::Groups::TwoLevels, Shape::Names::Numbered}, &path))
        return 1;
    bench::registerControlLibrary(folder.path());
    int rows = 0;
    const double read = bench::rawRead(path, "SELECT * FROM members", &rows);
    result("plain SQLite read of every member (the floor)", read, read);

    frmMain& main = rt::Forms::get<frmMain>();
    main.resize(1100, 760);
    main.show();
    frmGroup_Organize& w = rt::Forms::get<frmGroup_Organize>();
    w.show();
    QCoreApplication::processEvents();
    rt::TreeView* tree = w.Groups();
    const rt::Node root = tree->Nodes().Item(QStringLiteral("GRP_0"));
    auto save = [&](const char* name) {
        const double cpu = bench::ownCpuMs();
        bool saved = false;
        const double ms = bench::timed([&] { saved = w.SaveChanges(); });
        if (!saved)
            std::fprintf(stderr, "the save failed\n");
        result(name, ms, bench::ownCpuMs() - cpu);
        return saved;
    };

    tree->setSelectedItem(tree->Nodes().Item(QStringLiteral("GRP_1")));
    w.DeleteGroup();
    if (!save("save: a top-level group and its 9 subgroups deleted"))
        return 1;

    tree->setSelectedItem(root);
    emit tree->NodeClick(root);
    for (rt::ListItem row : w.Members()->ListItems())
        row.setSelected(true);
    w.CopyMembersToGroup(0, QStringLiteral("GRP_0"), QStringLiteral("GRP_11"));
    if (!save("save: every member rewritten"))
        return 1;
    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
    return 0;
}

struct Measure {
    QString name;
    std::vector<double> ms[2], cpu[2]; // [0] the small book, [1] the large one
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool runOnce(int members, int size, QList<Measure>& measures)
{
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--child"), QStringLiteral("--members"), QString::number(members)});
    if (!program.waitForStarted(10000) || !program.waitForFinished(600000) ||
        program.exitCode() != 0)
        return false;
    int index = 0;
    for (const QByteArray& line : program.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.value(0) != "result" || fields.size() != 4)
            continue;
        if (index == measures.size())
            measures.append(Measure{QString::fromUtf8(fields[1]), {}, {}});
        Measure& m = measures[index++];
        m.ms[size].push_back(fields[2].toDouble());
        m.cpu[size].push_back(fields[3].toDouble());
    }
    return true;
}

int runner(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = bench::option(argc, argv, "--rounds", 5);
    const int small = bench::option(argc, argv, "--small", 50000);
    const int large = bench::option(argc, argv, "--large", 100000);
    std::printf("the organiser's save at %d and %d members, %d rounds by turns, medians\n\n", small,
                large, rounds);
    QList<Measure> measures;
    for (int round = 0; round < rounds; ++round) {
        for (const int size : {round % 2, 1 - round % 2}) {
            if (!runOnce(size == 0 ? small : large, size, measures)) {
                std::fprintf(stderr, "a run at %d members failed\n", size == 0 ? small : large);
                return 1;
            }
        }
    }
    std::printf("%-52s %9d %9d %6s %9s %9s %6s\n", "", small, large, "ratio", "CPU", "CPU",
                "ratio");
    for (const Measure& m : measures) {
        const double a = median(m.ms[0]), b = median(m.ms[1]);
        const double ca = median(m.cpu[0]), cb = median(m.cpu[1]);
        std::printf("%-52s %9.1f %9.1f %6.2f %9.1f %9.1f %6.2f\n", qPrintable(m.name), a, b,
                    a > 0 ? b / a : 0, ca, cb, ca > 0 ? cb / ca : 0);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    return isChild(argc, argv) ? child(argc, argv) : runner(argc, argv);
}
