// Times the member list window and the member export on an address book of 50,000
// members (or --members N): docking the window, a group criterion, the find command, search as you
// type, one new member, deleting half of the members, and preparing the export with its preview.
// Run: build/bench/bench_memberlist [--members N]
#include "BenchSupport.h"
#include "addressbook/frmMember_Export.h"
#include "addressbook/frmMember_List.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/TextBox.h"

#include <QApplication>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

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
    rt::setMsgBoxHandler([](const QString&, int, const QString&) { return int(rt::mb::Yes); });
    rt::setUntrappedErrorReporter(
        [] { std::fprintf(stderr, "error: %s\n", qPrintable(rt::Err().Description)); });

    QTemporaryDir folder;
    if (!bench::openAddressBook(folder, {Shape::Groups::None, Shape::Names::Syllables}))
        return 1;
    rt::Database& db = mdlDataBase::MainDatabase();
    std::printf("%d members\n\n", bench::memberCount());

    frmMain& main = rt::Forms::get<frmMain>();
    main.resize(1100, 760);
    main.show();
    QCoreApplication::processEvents();

    frmMember_List* w = nullptr;
    report("dock the member list (the whole table)", timed([&] {
               if (main.FreeChildSpace(QStringLiteral("frmMember_List")))
                   rt::Forms::get<frmMember_List>().show();
               w = rt::Forms::find<frmMember_List>();
           }));
    if (!w)
        return 1;
    report("criteria: two groups", timed([&] {
               w->SetListCriteria(QString(), QString(), QString(), QString(),
                                  QStringLiteral("7,250"));
           }));
    std::printf("%58s %9d\n", "listed", w->Members()->ListItems().Count());
    report("criteria: none again", timed([&] {
               w->SetListCriteria(QString(), QString(), QString(), QString(), QString());
           }));
    report("find: surname beginning", timed([&] {
               QString last = QStringLiteral("πα"), first, phone, occupation;
               w->FindMembers(last, first, phone, occupation);
           }));
    report("search as you type: a mobile near the end",
           timed([&] { w->txtSearchPhone()->setText(QStringLiteral("00049999")); }));
    report("one new member", timed([&] {
               w->UpdateMember(QString(), QStringLiteral("Νέος"), QString(), QString(),
                               QStringLiteral("6900000000"));
           }));
    report("edit the last member", timed([&] {
               w->UpdateMember(QString::number(bench::memberCount()), QStringLiteral("Άλλος"),
                               QString(), QString(), QStringLiteral("6900000001"));
           }));
    report("select every other member", timed([&] {
               int i = 0;
               for (rt::ListItem item : w->Members()->ListItems())
                   item.setSelected(i++ % 2 == 0);
           }));
    report("delete the selected half", timed([&] { w->DeleteMember(); }));
    std::printf("%58s %9d\n", "left", w->Members()->ListItems().Count());
    report("export: the list with its preview",
           timed([&] { rt::Forms::get<frmMember_Export>().ExportMembers(w->Members()); }));
    report("export: the tab separator (preview rebuilt)",
           timed([&] { rt::Forms::get<frmMember_Export>().optSeperator(1)->click(); }));
    rt::Forms::unload<frmMember_Export>();
    report("export: every member from the table",
           timed([&] { rt::Forms::get<frmMember_Export>().ExportAllMembers(); }));
    report("close the window", timed([&] { rt::Forms::unload(w); }));
    rt::Forms::discardAll();
    db.close();
    return 0;
}
