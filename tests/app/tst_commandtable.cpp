#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_Export.h"
#include "addressbook/frmMember_List.h"
#include "app/ChildFormCollection.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "messages/frmMessage_OutBox.h"
#include "platform/Err.h"
#include "platform/ListItem.h"
#include "platform/ListItems.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <memory>

using testsupport::mainWindow;
using testsupport::ScriptedMessageBoxes;

namespace {

QString dockedName()
{
    rt::Form* docked = mdlMain::ChildForms().Item(1);
    return docked ? docked->Name() : QString();
}

void exec(const QString& sql, const QVariantList& values = {})
{
    const rt::DbResult done = mdlDataBase::MainDatabase().execute({sql, values});
    QVERIFY2(done.ok, qPrintable(done.description));
}

int selectedCount(rt::ListView* list)
{
    int n = 0;
    for (const rt::ListItem item : list->ListItems())
        n += item.Selected() ? 1 : 0;
    return n;
}

} // namespace

// The main window's commands as the user gives them: menu items and their shortcuts,
// the panel-menu buttons, on the real windows they open.
class tst_commandtable : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    void panelButton(const char* key)
    {
        mainWindow().VMenu_ButtonClick(QString(), QLatin1String(key));
    }
    void shortcut(const QKeySequence& keys) { QTest::keySequence(&mainWindow(), keys); }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .modals = true}), qPrintable(m_fx.error()));
        exec(QStringLiteral("INSERT INTO groups (group_id, group_name, subgroup_of) "
                            "VALUES (?, ?, 0)"),
             {1, QStringLiteral("Πελάτες")});
        const QString member = QStringLiteral(
            "INSERT INTO members (LastName, FirstName, mobile_no, member_of) VALUES (?, ?, ?, ?)");
        exec(member, {QStringLiteral("Αλεξίου"), QStringLiteral("Μαρία"),
                      QStringLiteral("6911111111"), QStringLiteral("\\1\\")});
        exec(member, {QStringLiteral("Βασιλείου"), QStringLiteral("Κώστας"),
                      QStringLiteral("6922222222"), QVariant()});
        exec(member, {QStringLiteral("Γεωργίου"), QStringLiteral("Νίκος"),
                      QStringLiteral("6933333333"), QStringLiteral("\\1\\")});
        mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
    }
    void cleanup() { m_fx.stop(); }

    void panelButtonsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("window");
        QTest::newRow("members") << "btnMembers"
                                 << "frmMember_List";
        QTest::newRow("groups") << "btnGroups"
                                << "frmGroup_Organize";
        QTest::newRow("out-box") << "btnOutBox"
                                 << "frmMessage_OutBox";
        QTest::newRow("sent") << "btnSendBox"
                              << "frmMessage_Sended";
        QTest::newRow("saved") << "btnSavedMsgs"
                               << "frmMessage_Saved";
    }
    void panelButtonsOpenTheirWindows()
    {
        QFETCH(QString, key);
        QFETCH(QString, window);
        panelButton(qPrintable(key));
        QCOMPARE(dockedName(), window);
        QCOMPARE(mdlMain::ChildForms().Count(), 1);
        // Another list takes the docking space; the first one is unloaded.
        panelButton(key == QLatin1String("btnOutBox") ? "btnSendBox" : "btnOutBox");
        QVERIFY(!mdlDataBase::IsFormLoaded(window));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    // A window opened from the panel menu or a menu takes the keyboard at its first
    // control (the list, for the lists), with real focus in the active main window.
    void aDockedWindowTakesTheKeyboard_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("control");
        QTest::newRow("members") << "btnMembers"
                                 << "Members";
        QTest::newRow("groups") << "btnGroups"
                                << "Groups";
        QTest::newRow("out-box") << "btnOutBox"
                                 << "OutList";
        QTest::newRow("sent") << "btnSendBox"
                              << "SendList";
        QTest::newRow("saved") << "btnSavedMsgs"
                               << "Message";
        QTest::newRow("member list from the menu") << "mnMemberList"
                                                   << "Members";
        QTest::newRow("new message from the menu") << "mnNewMessage"
                                                   << "txtOrig";
    }
    void aDockedWindowTakesTheKeyboard()
    {
        QFETCH(QString, command);
        QFETCH(QString, control);
        mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        if (command.startsWith(QLatin1String("btn")))
            panelButton(qPrintable(command));
        else
            mainWindow().MenuItem(command)->trigger();
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QCOMPARE(focus->objectName(), control);
        QCOMPARE(focus->window(), &mainWindow());
        QVERIFY(mdlMain::ChildForms().Item(1)->isAncestorOf(focus));
        if (control == QLatin1String("Members")) {
            // The arrow keys move in the list at once.
            auto* members = static_cast<rt::ListView*>(focus);
            QTest::keyClick(focus, Qt::Key_Down);
            QTest::keyClick(focus, Qt::Key_Down);
            QCOMPARE(members->SelectedItem().Index(), 3);
            QTest::keyClick(focus, Qt::Key_Up);
            QCOMPARE(members->SelectedItem().Index(), 2);
        }
    }

    void theDockedWindowsCommandLeavesItDocked()
    {
        mainWindow().MenuItem(QStringLiteral("mnOutBox"))->trigger();
        frmMessage_OutBox* first = rt::Forms::find<frmMessage_OutBox>();
        QVERIFY(first);
        QPointer<frmMessage_OutBox> watch(first);
        panelButton("btnOutBox");
        mainWindow().MenuItem(QStringLiteral("mnOutBox"))->trigger();
        QApplication::processEvents();
        QVERIFY(watch);
        QCOMPARE(rt::Forms::find<frmMessage_OutBox>(), first);
        QCOMPARE(dockedName(), QStringLiteral("frmMessage_OutBox"));
    }

    void selectAllFollowsTheDockedList()
    {
        // Nothing docked: the item is disabled and its shortcut does nothing.
        QVERIFY(!mainWindow().MenuItem(QStringLiteral("mn_SelectAll"))->isEnabled());
        shortcut(QKeySequence(QStringLiteral("Ctrl+A")));

        mainWindow().MenuItem(QStringLiteral("mnMemberList"))->trigger();
        frmMember_List* list = rt::Forms::find<frmMember_List>();
        QVERIFY(list);
        rt::ListView* members = list->findChild<rt::ListView*>(QStringLiteral("Members"));
        QVERIFY(members);
        QCOMPARE(members->ListItems().Count(), 3);
        QVERIFY(mainWindow().MenuItem(QStringLiteral("mn_SelectAll"))->isEnabled());
        shortcut(QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(selectedCount(members), 3);
        mainWindow().MenuItem(QStringLiteral("mn_InvertSelection"))->trigger();
        QCOMPARE(selectedCount(members), 0);

        // Cut belongs to the organiser: with the member list docked it is off.
        QVERIFY(!mainWindow().MenuItem(QStringLiteral("mn_Cut"))->isEnabled());
        shortcut(QKeySequence(QStringLiteral("Ctrl+X")));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmGroup_Organize")));
        QCOMPARE(members->ListItems().Count(), 3);
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void exportTakesTheOrganisersMembersOrElseAll_data()
    {
        QTest::addColumn<QString>("docked");
        QTest::addColumn<int>("records");
        QTest::newRow("nothing docked") << "" << 3;
        QTest::newRow("member list") << "mnMemberList" << 3;
        QTest::newRow("a message list") << "mnOutBox" << 3;
        // The organiser shows the members of the group selected at its load.
        QTest::newRow("organiser") << "mnGroupOrganize" << -1;
    }
    void exportTakesTheOrganisersMembersOrElseAll()
    {
        QFETCH(QString, docked);
        QFETCH(int, records);
        if (!docked.isEmpty())
            mainWindow().MenuItem(docked)->trigger();
        if (records < 0) {
            frmGroup_Organize* organiser = rt::Forms::find<frmGroup_Organize>();
            QVERIFY(organiser);
            records = organiser->Members()->ListItems().Count();
        }
        int prepared = -1;
        m_fx.modals().then([&](rt::Form& form) {
            QCOMPARE(form.Name(), QStringLiteral("frmMember_Export"));
            prepared = static_cast<frmMember_Export&>(form).RecordCount();
            rt::Forms::unload(&form);
        });
        mainWindow().MenuItem(QStringLiteral("mnExport"))->trigger();
        QCOMPARE(m_fx.modals().shownNames(), QStringList{QStringLiteral("frmMember_Export")});
        QCOMPARE(prepared, records);
    }

    void deleteMessageOfTheOutBoxAsksFirst()
    {
        exec(QStringLiteral("INSERT INTO outbox_messages (msg_title, msg_text, msg_phonelist) "
                            "VALUES (?, ?, ?)"),
             {QStringLiteral("Α"), QStringLiteral("κείμενο"), QStringLiteral("6911111111")});
        mainWindow().MenuItem(QStringLiteral("mnOutBox"))->trigger();
        frmMessage_OutBox* outbox = rt::Forms::find<frmMessage_OutBox>();
        QVERIFY(outbox);
        QCOMPARE(outbox->OutList()->ListItems().Count(), 1);
        mdlMain::SelectAllListItems(outbox->OutList());
        m_fx.boxes().answer(rt::mb::No);
        mainWindow().MenuItem(QStringLiteral("mn_DeleteMessage"))->trigger();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().at(0).title, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ"));
        QCOMPARE(outbox->OutList()->ListItems().Count(), 1);
        m_fx.boxes().answer(rt::mb::Yes);
        mainWindow().MenuItem(QStringLiteral("mn_DeleteMessage"))->trigger();
        QCOMPARE(outbox->OutList()->ListItems().Count(), 0);
    }
};

QTEST_MAIN(tst_commandtable)
#include "tst_commandtable.moc"
