// The address book's lists and dialogs with real keys, real message boxes and real modal
// loops: after a find, a delete or a paste the keys and the member commands go on from the
// row the user sees; a group chosen by key in the copy dialog counts as one clicked; the
// modeless dialogs come to the user when asked for and never hide a modal dialog.

#include "addressbook/frmCopyToTeam.h"
#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_Criteria.h"
#include "addressbook/frmMember_Edit.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/frmMember_List.h"
#include "addressbook/frmMobileFilter.h"
#include "addressbook/mdlGroups.h"
#include "app/Main.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/ListView.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QWindow>

using testsupport::mainWindow;
using testsupport::RealWindows;

namespace {

// The members in the order both windows list them (by id, and by surname).
const QStringList surnames{QStringLiteral("Αλεξίου"),      QStringLiteral("Βασιλείου"),
                           QStringLiteral("Καραπαπάς"),    QStringLiteral("Λαμπρόπουλος"),
                           QStringLiteral("Παπαγεωργίου"), QStringLiteral("Παπαδάκης"),
                           QStringLiteral("Χατζής")};

bool activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

void pressOn(QWidget* control, int key)
{
    control->setFocus();
    RealWindows::pressKeys(*control->window(), {key});
}

QStringList selectedTexts(rt::ListView* list)
{
    QStringList out;
    for (const rt::ListItem item : list->ListItems()) {
        if (item.Selected())
            out << item.Text();
    }
    return out;
}

rt::ListItem row(rt::ListView* list, const QString& surname)
{
    return list->FindItem(surname);
}

// The docked window's member list, the window opened from the main window's menu.
rt::ListView* openMembers(bool organiser)
{
    if (organiser) {
        mainWindow().mnGroupOrganize_Click();
        frmGroup_Organize* w = rt::Forms::find<frmGroup_Organize>();
        return w ? w->Members() : nullptr;
    }
    mainWindow().mnMemberList_Click();
    frmMember_List* w = rt::Forms::find<frmMember_List>();
    return w ? w->Members() : nullptr;
}

QToolButton* toolbarButton(bool organiser, const QString& key)
{
    rt::Toolbar* toolbar = organiser ? rt::Forms::get<frmGroup_Organize>().Toolbar()
                                     : rt::Forms::get<frmMember_List>().Toolbar();
    return toolbar->Button(key);
}

} // namespace

class tst_addressbook_rows : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    // Finds the surnames that begin with the text through the find dialog, typed and
    // pressed as a user does.
    void findSurname(const QString& text)
    {
        mainWindow().mn_FindMembers_Click();
        frmMember_Find* find = rt::Forms::find<frmMember_Find>();
        QVERIFY(find);
        QVERIFY(activate(*find));
        find->Text_0()->setFocus();
        RealWindows::typeText(*find, text);
        pressOn(find->cmdFind(), Qt::Key_Space);
        QVERIFY(!rt::Forms::find<frmMember_Find>());
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .boxes = false}), qPrintable(m_fx.error()));
        testsupport::addGroup(1, QStringLiteral("Φίλοι"), 0);
        testsupport::addGroup(2, QStringLiteral("Συνάδελφοι"), 0);
        testsupport::addGroup(3, QStringLiteral("Σχολείο"), 1);
        for (int i = 0; i < surnames.size(); ++i) {
            // The first and the last are friends, the others colleagues.
            const bool friendOf = i == 0 || i == surnames.size() - 1;
            testsupport::addMember(i + 1, surnames[i], QStringLiteral("Όνομα"), QVariant(),
                                   QStringLiteral("69440000%1").arg(i),
                                   friendOf ? QStringLiteral("\\1\\") : QStringLiteral("\\2\\"));
        }
        mdlDataBase::SwallowNextKey = 0;
        QVERIFY(activate(mainWindow()));
    }
    void cleanup()
    {
        m_fx.stop();
        mdlGroups::ClearSearchCriteria();
    }

    // Find "παπ" while Καραπαπάς is the current row: the first member found becomes the
    // current one, so Διόρθωση opens it and the keys move on from it.
    void findMakesTheFirstFoundRowCurrent_data()
    {
        QTest::addColumn<bool>("organiser");
        QTest::addColumn<int>("key"); // 0: Διόρθωση
        QTest::addColumn<QString>("expected");
        const QString found = QStringLiteral("Παπαγεωργίου");
        QTest::newRow("member list, Διόρθωση") << false << 0 << found;
        QTest::newRow("member list, Down")
            << false << int(Qt::Key_Down) << QStringLiteral("Παπαδάκης");
        QTest::newRow("organiser, Διόρθωση") << true << 0 << found;
        QTest::newRow("organiser, Down")
            << true << int(Qt::Key_Down) << QStringLiteral("Παπαδάκης");
        QTest::newRow("organiser, Up") << true << int(Qt::Key_Up) << QStringLiteral("Λαμπρόπουλος");
    }
    void findMakesTheFirstFoundRowCurrent()
    {
        QFETCH(bool, organiser);
        QFETCH(int, key);
        QFETCH(QString, expected);
        rt::ListView* members = openMembers(organiser);
        QVERIFY(members);
        members->setSelectedItem(row(members, QStringLiteral("Καραπαπάς")));
        members->setFocus();
        findSurname(QStringLiteral("παπ"));
        QCOMPARE(selectedTexts(members),
                 (QStringList{QStringLiteral("Παπαγεωργίου"), QStringLiteral("Παπαδάκης")}));
        QVERIFY(activate(mainWindow()));
        QCOMPARE(QApplication::focusWidget(), members);

        if (key != 0) {
            RealWindows::pressKeys(mainWindow(), {key});
            QCOMPARE(selectedTexts(members), QStringList{expected});
            return;
        }
        RealWindows windows;
        QString edited;
        windows.thenClosed([&edited](QWidget& dialog) {
            edited = static_cast<frmMember_Edit&>(dialog).Text_0()->Text();
            pressOn(static_cast<frmMember_Edit&>(dialog).cmdCancel(), Qt::Key_Space);
        });
        toolbarButton(organiser, QStringLiteral("btnEdit"))->click();
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmMember_Edit")});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(edited, expected);
    }

    // After a delete the row that took the place of the first one deleted (the last row
    // when the deleted ones ended the list) is the current one, selected and in view; the
    // keys move on from it, and a key with nowhere to go leaves it chosen.
    void deleteLeavesTheRowInItsPlaceCurrent_data()
    {
        QTest::addColumn<bool>("organiser");
        QTest::addColumn<QStringList>("deleted");
        QTest::addColumn<int>("key"); // 0: none
        QTest::addColumn<QString>("expected");
        const QStringList middle{QStringLiteral("Καραπαπάς")};
        QTest::newRow("member list, middle")
            << false << middle << 0 << QStringLiteral("Λαμπρόπουλος");
        QTest::newRow("member list, middle, Up")
            << false << middle << int(Qt::Key_Up) << QStringLiteral("Βασιλείου");
        QTest::newRow("member list, two apart, Down")
            << false << QStringList{QStringLiteral("Βασιλείου"), QStringLiteral("Λαμπρόπουλος")}
            << int(Qt::Key_Down) << QStringLiteral("Παπαγεωργίου");
        QTest::newRow("member list, the last, Up")
            << false << QStringList{QStringLiteral("Χατζής")} << int(Qt::Key_Up)
            << QStringLiteral("Παπαγεωργίου");
        QTest::newRow("member list, the first, Home")
            << false << QStringList{QStringLiteral("Αλεξίου")} << int(Qt::Key_Home)
            << QStringLiteral("Βασιλείου");
        QTest::newRow("organiser, middle, Up")
            << true << middle << int(Qt::Key_Up) << QStringLiteral("Βασιλείου");
        QTest::newRow("organiser, the last")
            << true << QStringList{QStringLiteral("Χατζής")} << 0 << QStringLiteral("Παπαδάκης");
    }
    void deleteLeavesTheRowInItsPlaceCurrent()
    {
        QFETCH(bool, organiser);
        QFETCH(QStringList, deleted);
        QFETCH(int, key);
        QFETCH(QString, expected);
        rt::ListView* members = openMembers(organiser);
        QVERIFY(members);
        members->setFocus();
        for (const QString& name : deleted)
            members->setSelectedItem(row(members, name));
        QCOMPARE(selectedTexts(members), deleted);

        RealWindows windows;
        windows.thenClosed([](QWidget& box) { RealWindows::pressKeys(box, {Qt::Key_Return}); });
        toolbarButton(organiser, QStringLiteral("btnDelete"))->click();
        QCOMPARE(windows.boxTexts().size(), 1);
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(members->ListItems().Count(), int(surnames.size() - deleted.size()));
        for (const QString& name : deleted)
            QVERIFY(!row(members, name));

        QVERIFY(activate(mainWindow()));
        QCOMPARE(QApplication::focusWidget(), members);
        if (key != 0)
            RealWindows::pressKeys(mainWindow(), {key});
        QCOMPARE(selectedTexts(members), QStringList{expected});
        QCOMPARE(members->SelectedItem().Text(), expected);
    }

    // Members copied or cut from Φίλοι and pasted into Συνάδελφοι, all with the keys: the
    // pasted rows are chosen in the rebuilt list, the first of them current.
    void pasteLeavesThePastedRowsCurrent_data()
    {
        QTest::addColumn<QStringList>("pasted");
        QTest::addColumn<int>("cutOrCopy");
        QTest::addColumn<int>("key"); // 0: none
        QTest::addColumn<QStringList>("expected");
        const QStringList last{QStringLiteral("Χατζής")};
        QTest::newRow("copied, the last row") << last << int(Qt::Key_C) << 0 << last;
        QTest::newRow("copied, the last row, Up") << last << int(Qt::Key_C) << int(Qt::Key_Up)
                                                  << QStringList{QStringLiteral("Παπαδάκης")};
        const QStringList both{QStringLiteral("Αλεξίου"), QStringLiteral("Χατζής")};
        QTest::newRow("cut, first and last") << both << int(Qt::Key_X) << 0 << both;
    }
    void pasteLeavesThePastedRowsCurrent()
    {
        QFETCH(QStringList, pasted);
        QFETCH(int, cutOrCopy);
        QFETCH(int, key);
        QFETCH(QStringList, expected);
        rt::ListView* members = openMembers(true);
        QVERIFY(members);
        frmGroup_Organize& organiser = rt::Forms::get<frmGroup_Organize>();
        rt::TreeView* groups = organiser.Groups();

        // Down from the root to Φίλοι shows its members.
        groups->setFocus();
        RealWindows::pressKeys(mainWindow(), {Qt::Key_Down});
        QCOMPARE(groups->SelectedItem().Text(), QStringLiteral("Φίλοι"));
        QCOMPARE(members->ListItems().Count(), 2);
        members->setFocus();
        for (const QString& name : pasted)
            members->setSelectedItem(row(members, name));
        RealWindows::pressKeys(mainWindow(), {int(Qt::ControlModifier) | cutOrCopy});
        QCOMPARE(organiser.ClipboardAction(), cutOrCopy == Qt::Key_X ? 2 : 1);

        // End: the last group, Συνάδελφοι; then paste into its list.
        groups->setFocus();
        RealWindows::pressKeys(mainWindow(), {Qt::Key_End});
        QCOMPARE(groups->SelectedItem().Text(), QStringLiteral("Συνάδελφοι"));
        members->setFocus();
        RealWindows::pressKeys(mainWindow(), {int(Qt::ControlModifier) | Qt::Key_V});
        QCOMPARE(organiser.ClipboardAction(), 0);
        QCOMPARE(members->ListItems().Count(), int(5 + pasted.size()));

        QCOMPARE(QApplication::focusWidget(), members);
        if (key != 0)
            RealWindows::pressKeys(mainWindow(), {key});
        QCOMPARE(selectedTexts(members), expected);
        QCOMPARE(members->SelectedItem().Text(), expected.first());
    }

    // The copy dialog with the root as the source has no group chosen; the keys that
    // choose the focused group count as a click on it: OK is enabled and the title names
    // the group.
    void copyDialogTakesAGroupChosenByKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Home") << int(Qt::Key_Home);
        QTest::newRow("Up") << int(Qt::Key_Up);
        QTest::newRow("PageUp") << int(Qt::Key_PageUp);
    }
    void copyDialogTakesAGroupChosenByKey()
    {
        QFETCH(int, key);
        QVERIFY(openMembers(true));
        frmGroup_Organize& organiser = rt::Forms::get<frmGroup_Organize>();
        QCOMPARE(organiser.Groups()->SelectedItem().Text(), QStringLiteral("ΟΜΑΔΕΣ SMS"));
        organiser.Members()->setFocus();

        RealWindows windows;
        bool okBefore = true;
        bool okAfter = false;
        QString focused;
        QString title;
        windows.thenClosed([&](QWidget& shown) {
            auto& dialog = static_cast<frmCopyToTeam&>(shown);
            focused =
                QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            okBefore = dialog.cmdOK()->isEnabled();
            RealWindows::pressKeys(dialog, {key});
            okAfter = dialog.cmdOK()->isEnabled();
            title = dialog.lblTitle()->text();
            RealWindows::pressKeys(dialog, {Qt::Key_Escape});
        });
        RealWindows::pressKeys(mainWindow(), {int(Qt::ControlModifier) | Qt::Key_M});
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmCopyToTeam")});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(focused, QStringLiteral("Groups"));
        QVERIFY(!okBefore);
        QVERIFY(okAfter);
        QCOMPARE(title, QStringLiteral("Μεταφορά μελών στην ομάδα \"Φίλοι\""));
    }

    // The rewrite dialog, open but behind the main window: its command brings it to the
    // front with the keyboard where the user left it.
    void rewriteCommandBringsTheOpenDialogBack()
    {
        mainWindow().mnChangeCompanyCode_Click();
        frmMobileFilter* rewrite = rt::Forms::find<frmMobileFilter>();
        QVERIFY(rewrite);
        QVERIFY(activate(*rewrite));
        rewrite->txtNewCode()->setFocus();
        QVERIFY(activate(mainWindow()));
        QVERIFY(!rewrite->isActiveWindow());

        mainWindow().MenuItem(QStringLiteral("mnChangeCompanyCode"))->trigger();
        QCOMPARE(rt::Forms::find<frmMobileFilter>(), rewrite);
        QVERIFY(QTest::qWaitForWindowActive(rewrite));
        QCOMPARE(QApplication::focusWidget(), rewrite->txtNewCode());
        RealWindows::typeText(*rewrite, QStringLiteral("0945"));
        QCOMPARE(rewrite->txtNewCode()->Text(), QStringLiteral("0945"));
    }

    // The find dialog stays above the other windows, but not above a modal window opened
    // while it is open (the member dialog, the criteria, a question): it leaves the top
    // for as long as the modal window is open.
    void findDialogYieldsToAModalWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("shown");
        QTest::newRow("member dialog")
            << QStringLiteral("btnEdit") << QStringLiteral("frmMember_Edit");
        QTest::newRow("criteria") << QStringLiteral("btnCriteria")
                                  << QStringLiteral("frmMember_Criteria");
        QTest::newRow("delete question")
            << QStringLiteral("btnDelete")
            << QStringLiteral("box: Θέλετε να διαγράψετε το μέλος \"Αλεξίου Όνομα\";");
    }
    void findDialogYieldsToAModalWindow()
    {
        QFETCH(QString, button);
        QFETCH(QString, shown);
        rt::ListView* members = openMembers(false);
        QVERIFY(members);
        members->setSelectedItem(row(members, QStringLiteral("Αλεξίου")));
        mainWindow().mn_FindMembers_Click();
        frmMember_Find* find = rt::Forms::find<frmMember_Find>();
        QVERIFY(find);
        QVERIFY(QTest::qWaitForWindowExposed(find));
        const auto onTop = [find] {
            return find->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
        };
        QVERIFY(onTop());

        RealWindows windows;
        bool onTopMeanwhile = true;
        windows.thenClosed([&](QWidget& modal) {
            onTopMeanwhile = onTop();
            RealWindows::pressKeys(modal, {Qt::Key_Escape});
            if (auto* edit = qobject_cast<frmMember_Edit*>(&modal))
                pressOn(edit->cmdCancel(), Qt::Key_Space); // it has no Escape of its own
        });
        toolbarButton(false, button)->click();
        QCOMPARE(windows.shown(), QStringList{shown});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(!onTopMeanwhile);
        QVERIFY(rt::Forms::find<frmMember_Find>());
        QVERIFY(find->isVisible());
        QVERIFY(onTop());
        QCOMPARE(members->ListItems().Count(), int(surnames.size()));
    }
};

QTEST_MAIN(tst_addressbook_rows)
#include "tst_addressbook_rows.moc"
