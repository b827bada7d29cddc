// Times the message window on an address book of 50,000 members (or --members N) in 500 groups:
// loading the docked window, ticking the root, unticking a subgroup, selecting groups, making an
// instant group; beside the plain read of the same rows from SQLite in the same run.
// Run: build/bench/bench_msgwin [--members N]
#include "BenchSupport.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "compose/frmMessage_Edit.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/Recordset.h"
#include "platform/TreeView.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using bench::kSubgroupsEach;
using bench::kTopGroups;
using bench::report;
using bench::timed;
using Shape = bench::AddressBookShape;

namespace {

void tick(rt::Node node, bool on)
{
    node.setChecked(on);
    emit node.view()->NodeCheck(node);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::readMemberCount(argc, argv);
    rt::setMsgBoxHandler([](const QString& text, int, const QString&) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return int(rt::mb::OK);
    });
    rt::setUntrappedErrorReporter([] {});

    QTemporaryDir folder;
    QString path;
    if (!bench::openAddressBook(folder, {Shape::Groups::SomeDeeper, Shape::Names::Syllables},
                                &path))
        return 1;
    rt::Database& db = mdlDataBase::MainDatabase();
    std::printf("%d members, %d groups\n\n", bench::memberCount(),
                kTopGroups * (1 + kSubgroupsEach));

    int rows = 0;
    report("raw SQLite read of the members (C API, to strings)",
           bench::rawRead(path, "SELECT * FROM members ORDER BY lastname;", &rows));
    report("the same through the recordset (snapshot, Greek order)", timed([&] {
               rt::Recordset rs = db.openRecordset(
                   {QStringLiteral("SELECT * FROM members ORDER BY lastname COLLATE GREEK;"), {}},
                   rt::RecordsetType::Snapshot);
               int n = 0;
               for (; !rs.eof(); rs.moveNext())
                   n += rs.field(QStringLiteral("member_of")).isNull() ? 0 : 1;
           }));
    if (rows != bench::memberCount())
        std::fprintf(stderr, "raw read found %d rows\n", rows);

    frmMain& main = rt::Forms::get<frmMain>();
    main.resize(1100, 760);
    main.show();
    QCoreApplication::processEvents();

    std::printf("\n");
    frmMessage_Edit* w = nullptr;
    report("load the docked window (tree, master list, root's members)", timed([&] {
               main.mnNewMessage_Click();
               w = rt::Forms::find<frmMessage_Edit>();
           }));
    if (!w)
        return 1;
    rt::Nodes nodes = w->Groups()->Nodes();
    const rt::Node root = nodes.Item(QStringLiteral("GRP_0"));
    const rt::Node group = nodes.Item(QStringLiteral("GRP_1"));
    const rt::Node subgroup = nodes.Item(QStringLiteral("GRP_2"));

    report("tick the root (every node, every member, the count)", timed([&] { tick(root, true); }));
    report("untick the root", timed([&] { tick(root, false); }));
    report("tick a group with its subgroups", timed([&] { tick(group, true); }));
    report("untick one of its subgroups", timed([&] { tick(subgroup, false); }));
    report("select a group (its members and those below it)",
           timed([&] { emit w->Groups()->NodeClick(group); }));
    report("select the root (every member shown)",
           timed([&] { emit w->Groups()->NodeClick(root); }));
    report("sort the shown list by surname (column click)",
           timed([&] { emit w->Members()->ColumnClick(1); }));
    report("instant group of the members found by a surname prefix", timed([&] {
               w->CreateInstantGroup({QStringLiteral("SELECT * FROM members WHERE LastName LIKE ?"),
                                      {QStringLiteral("Πα%")}});
           }));
    report("close the window", timed([&] { rt::Forms::unload(w); }));
    rt::Forms::discardAll();
    db.close();
    return 0;
}
