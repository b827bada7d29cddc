// Times the groups organiser on an address book of 50,000 members (or --members N) in 500 groups:
// loading the docked window, showing groups, deleting a group with its subgroups, copying every
// member into a group, and the save of each. Run: build/bench/bench_organiser [--members N]
#include "BenchSupport.h"
#include "addressbook/frmGroup_Organize.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
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

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::readMemberCount(argc, argv);
    // Every question is answered Yes.
    rt::setMsgBoxHandler([](const QString& text, int, const QString&) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text.left(60)));
        return int(rt::mb::Yes);
    });
    rt::setUntrappedErrorReporter([] { std::fprintf(stderr, "untrapped error\n"); });

    QTemporaryDir folder;
    if (!bench::openAddressBook(folder, {Shape::Groups::TwoLevels, Shape::Names::Numbered}))
        return 1;
    rt::Database& db = mdlDataBase::MainDatabase();
    std::printf("%d members, %d groups\n\n", bench::memberCount(),
                kTopGroups * (1 + kSubgroupsEach));

    frmMain& main = rt::Forms::get<frmMain>();
    main.resize(1100, 760);
    main.show();
    QCoreApplication::processEvents();

    frmGroup_Organize* w = nullptr;
    report("load the docked window (tree, cache, root's members)", timed([&] {
               w = &rt::Forms::get<frmGroup_Organize>();
               w->show();
           }));
    rt::TreeView* tree = w->Groups();
    const rt::Node root = tree->Nodes().Item(QStringLiteral("GRP_0"));
    const rt::Node top = tree->Nodes().Item(QStringLiteral("GRP_1"));
    const rt::Node other = tree->Nodes().Item(QStringLiteral("GRP_11"));
    report("show a top-level group (its own and its subgroups' members)", timed([&] {
               tree->setSelectedItem(top);
               emit tree->NodeClick(top);
           }));
    report("show the root (every member)", timed([&] {
               tree->setSelectedItem(root);
               emit tree->NodeClick(root);
           }));
    report("delete a top-level group with its 9 subgroups", timed([&] {
               tree->setSelectedItem(top);
               w->DeleteGroup();
           }));
    report("save: 10 groups deleted, their members rewritten", timed([&] { w->SaveChanges(); }));
    report("copy every member of the root view to a group", timed([&] {
               tree->setSelectedItem(root);
               emit tree->NodeClick(root);
               for (rt::ListItem row : w->Members()->ListItems())
                   row.setSelected(true);
               w->CopyMembersToGroup(0, QStringLiteral("GRP_0"), other.Key());
           }));
    report("save: every member rewritten", timed([&] { w->SaveChanges(); }));
    report("close the window", timed([&] { rt::Forms::unload(w); }));
    rt::Forms::discardAll();
    db.close();
    return 0;
}
