// Times the groups organiser on an address book of 50,000 members in 500 groups: loading
// the docked window, showing groups, deleting a group with its subgroups,
// copying every member into a group, and the save of each.
// Run: build/bench/bench_organiser
#include "addressbook/frmGroup_Organize.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/App.h"
#include "platform/DatabaseCreation.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/Transaction.h"
#include "platform/TreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr int kMembers = 50000;
constexpr int kTopGroups = 50;
constexpr int kSubgroupsEach = 9; // 50 + 450 = 500 groups

double timed(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    QCoreApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void report(const char* what, double ms)
{
    std::printf("%-58s %9.1f ms\n", what, ms);
}

bool check(const rt::DbResult& result)
{
    if (!result.ok)
        std::fprintf(stderr, "database: %s\n", qPrintable(result.description));
    return result.ok;
}

bool fillAddressBook(rt::Database& db)
{
    rt::Transaction tx(db);
    if (!check(tx.status()))
        return false;
    int id = 0;
    std::vector<int> allGroups;
    for (int g = 0; g < kTopGroups; ++g) {
        const int top = ++id;
        if (!check(db.execute({QStringLiteral("INSERT INTO groups (group_id, group_name, "
                                              "subgroup_of) VALUES (?, ?, 0)"),
                               {top, QStringLiteral("Ομάδα %1").arg(top)}})))
            return false;
        allGroups.push_back(top);
        for (int s = 0; s < kSubgroupsEach; ++s) {
            ++id;
            if (!check(db.execute({QStringLiteral("INSERT INTO groups (group_id, group_name, "
                                                  "subgroup_of) VALUES (?, ?, ?)"),
                                   {id, QStringLiteral("Υποομάδα %1").arg(id), top}})))
                return false;
            allGroups.push_back(id);
        }
    }
    std::mt19937 random(1253);
    for (int m = 1; m <= kMembers; ++m) {
        QVariant memberOf;
        const int groups = static_cast<int>(random() % 4);
        if (groups > 0) {
            QString list = QStringLiteral("\\");
            for (int k = 0; k < groups; ++k)
                list += QString::number(allGroups[random() % allGroups.size()]) + QLatin1Char('\\');
            memberOf = list;
        }
        if (!check(db.execute(
                {QStringLiteral("INSERT INTO members (member_id, LastName, FirstName, Occupation, "
                                "mobile_no, member_of) VALUES (?, ?, ?, ?, ?, ?)"),
                 {m, QStringLiteral("Επώνυμο %1").arg(random() % 100000), QStringLiteral("Όνομα"),
                  QStringLiteral("Επάγγελμα"),
                  QStringLiteral("69%1").arg(m, 8, 10, QLatin1Char('0')), memberOf}})))
            return false;
    }
    return check(tx.commit());
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Every question is answered Yes.
    rt::setMsgBoxHandler([](const QString& text, int, const QString&) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text.left(60)));
        return int(rt::mb::Yes);
    });
    rt::setUntrappedErrorReporter([] { std::fprintf(stderr, "untrapped error\n"); });

    QTemporaryDir folder;
    rt::App::setPath(folder.path());
    const QString path = folder.filePath(QStringLiteral("SMS.mdb"));
    QString error;
    if (!rt::createDatabaseFromSchema(path, QStringLiteral(VANTREL_SCHEMA_FILE), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    rt::Database& db = mdlDataBase::MainDatabase();
    if (!check(db.open(path)) || !fillAddressBook(db))
        return 1;
    std::printf("%d members, %d groups\n\n", kMembers, kTopGroups * (1 + kSubgroupsEach));

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
    report("show the root (all 50,000)", timed([&] {
               tree->setSelectedItem(root);
               emit tree->NodeClick(root);
           }));
    report("delete a top-level group with its 9 subgroups", timed([&] {
               tree->setSelectedItem(top);
               w->DeleteGroup();
           }));
    report("save: 10 groups deleted, their members rewritten", timed([&] { w->SaveChanges(); }));
    report("copy all 50,000 members of the root view to a group", timed([&] {
               tree->setSelectedItem(root);
               emit tree->NodeClick(root);
               for (rt::ListItem row : w->Members()->ListItems())
                   row.setSelected(true);
               w->CopyMembersToGroup(0, QStringLiteral("GRP_0"), other.Key());
           }));
    report("save: 50,000 members rewritten", timed([&] { w->SaveChanges(); }));
    report("close the window", timed([&] { rt::Forms::unload(w); }));
    rt::Forms::discardAll();
    db.close();
    return 0;
}
