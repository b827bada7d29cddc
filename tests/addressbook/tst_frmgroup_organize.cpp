#include "addressbook/PhoneField.h"
#include "addressbook/frmCopyToTeam.h"
#include "addressbook/frmGroup_Edit.h"
#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_Edit.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/mdlGroups.h"
#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/Recordset.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "tests/support/Docking.h"
#include "tests/support/Fixture.h"
#include "tests/support/MomentaryLock.h"
#include "tests/support/Seams.h"
#include "tests/support/Views.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

using testsupport::addGroup;
using testsupport::exec;
using testsupport::keysAndIcons;
using testsupport::mainWindow;
using testsupport::ModalScript;
using testsupport::nodeIndex;
using testsupport::ScriptedMessageBoxes;

namespace {

// Every node below the root as "key<parent", in node order.
QStringList treeShape(rt::TreeView* tree)
{
    QStringList out;
    rt::Nodes nodes = tree->Nodes();
    for (int i = 2; i <= nodes.Count(); ++i)
        out << nodes.Item(i).Key() + QLatin1Char('<') + nodes.Item(i).Parent().Key();
    return out;
}

// A left click on the node's text: the tree raises NodeClick.
bool clickNode(rt::TreeView* tree, const QString& key)
{
    const QModelIndex index = nodeIndex(tree, key);
    if (!index.isValid())
        return false;
    tree->scrollTo(index);
    const QRect place = tree->visualRect(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(place.left() + 4, place.center().y()));
    return tree->SelectedItem().Key() == key;
}

void selectRows(rt::ListView* list, const QStringList& keys)
{
    for (rt::ListItem item : list->ListItems())
        item.setSelected(keys.contains(item.Key()));
}

} // namespace

class tst_frmgroup_organize : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    void addMember(int id, const QString& last, const QString& first, const QVariant& memberOf)
    {
        testsupport::addMember(id, last, first, QStringLiteral("Ιδιότητα"),
                               QStringLiteral("69000000%1").arg(id, 2, 10, QLatin1Char('0')),
                               memberOf);
    }
    // One query's rows, each as its columns joined by "|" (Null as "NULL").
    QStringList rows(const QString& sql, const QVariantList& values = {})
    {
        QStringList out;
        rt::Recordset rs =
            mdlDataBase::MainDatabase().openRecordset({sql, values}, rt::RecordsetType::Snapshot);
        if (!rs.isOpen())
            return {QStringLiteral("failed: ") + rs.status().description};
        for (; !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.fieldCount(); ++i)
                fields << (rs.field(i).isNull() ? QStringLiteral("NULL") : rs.field(i).toString());
            out << fields.join(QLatin1Char('|'));
        }
        return out;
    }

    // Groups 1 and 2 at the top, 3 and 4 below 1.
    void addAddressBook()
    {
        addGroup(1, QStringLiteral("Φίλοι"), 0);
        addGroup(2, QStringLiteral("Συνάδελφοι"), 0);
        addGroup(3, QStringLiteral("Κοντινοί"), 1);
        addGroup(4, QStringLiteral("Σχολείο"), 1);
        addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("Άννα"), QVariant());
        addMember(2, QStringLiteral("Βασιλείου"), QStringLiteral("Βασίλης"),
                  QStringLiteral("\\1\\"));
        addMember(3, QStringLiteral("Γεωργίου"), QStringLiteral("Γιώργος"),
                  QStringLiteral("\\3\\"));
        addMember(4, QStringLiteral("Δημητρίου"), QStringLiteral("Δήμητρα"),
                  QStringLiteral("\\3\\1\\"));
        addMember(5, QStringLiteral("Ευαγγέλου"), QStringLiteral("Εύα"), QStringLiteral("\\2\\"));
        addMember(6, QStringLiteral("Ζαχαρίου"), QStringLiteral("Ζωή"), QStringLiteral("\\4\\"));
    }

    frmGroup_Organize& openWindow()
    {
        frmGroup_Organize& w = rt::Forms::get<frmGroup_Organize>();
        w.show();
        return w;
    }
    QString tagOf(frmGroup_Organize& w, const QString& key)
    {
        return w.lstMembers()->ListItems().Item(key).Tag();
    }
    QString flagOf(frmGroup_Organize& w, const QString& key)
    {
        return w.lstMembers()->ListItems().Item(key).SubItemTag(1);
    }
    bool menuEnabled(const char* name)
    {
        return mainWindow().MenuItem(QLatin1String(name))->isEnabled();
    }
    void clickSave(frmGroup_Organize& w)
    {
        w.Toolbar()->Button(QStringLiteral("btnSave"))->click();
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true}), qPrintable(m_fx.error()));
        addAddressBook();
        mainWindow().show();
    }
    void cleanup() { m_fx.stop(); }

    // ---- load and view -----------------------------------------------------------------

    void loadDocksTheWindowWithEveryMember()
    {
        mdlGroups::SearchLastName = QStringLiteral("ΠΑΠ");
        frmGroup_Organize& w = openWindow();
        QVERIFY(testsupport::verifyDocked(w, QStringLiteral("Οργάνωση Ομάδων")));
        QCOMPARE(
            testsupport::toolbarButtons(w.Toolbar()),
            (QStringList{QStringLiteral("btnNew|Δημιουργία|Δημιουργία Νέου Μέλους ή Νέας Ομάδας"),
                         QStringLiteral("btnEdit|Διόρθωση|Διόρθωση Μέλους ή Ομάδας"),
                         QStringLiteral("btnDelete|Διαγραφή|Διαγραφή Μέλους ή Ομάδας"),
                         QStringLiteral("btnSave|Αποθήκευση|Αποθήκευση Ομάδων & Μελών"),
                         QStringLiteral("btnFind|Αναζήτηση|Αναζήτηση Μελών")}));
        QStringList entries;
        for (QAction* a : w.Toolbar()->ButtonMenu(QStringLiteral("btnNew"))->actions())
            entries << a->text();
        QCOMPARE(entries,
                 (QStringList{QStringLiteral("Νέας Ομάδας"), QStringLiteral("Νέου Μέλους")}));
        QVERIFY(!w.HasPendingChanges());
        // No panel of its own.
        QCOMPARE(mainWindow().StatusBar()->Keys(),
                 (QStringList{QStringLiteral("pnlSMSAvailable"), QStringLiteral("pnlConnection")}));
        QVERIFY(mdlGroups::SearchLastName.isEmpty());

        const rt::Node root = w.Groups()->Nodes().Item(1);
        QCOMPARE(root.Key(), QStringLiteral("GRP_0"));
        QCOMPARE(root.Text(), QStringLiteral("ΟΜΑΔΕΣ SMS"));
        QVERIFY(root.Expanded());
        QCOMPARE(w.Groups()->SelectedItem(), root);
        QCOMPARE(treeShape(w.Groups()),
                 (QStringList{QStringLiteral("GRP_1<GRP_0"), QStringLiteral("GRP_2<GRP_0"),
                              QStringLiteral("GRP_3<GRP_1"), QStringLiteral("GRP_4<GRP_1")}));
        QCOMPARE(keysAndIcons(w.Members()),
                 (QStringList{QStringLiteral("MEMBER_1=1"), QStringLiteral("MEMBER_2=1"),
                              QStringLiteral("MEMBER_3=1"), QStringLiteral("MEMBER_4=1"),
                              QStringLiteral("MEMBER_5=1"), QStringLiteral("MEMBER_6=1")}));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_1")), QStringLiteral("\\0\\"));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_4")), QStringLiteral("\\0\\3\\1\\"));
        const rt::ListItem row = w.Members()->ListItems().Item(QStringLiteral("MEMBER_2"));
        QCOMPARE(row.Text(), QStringLiteral("Βασιλείου"));
        QCOMPARE(row.SubItems(1), QStringLiteral("Βασίλης"));
        QCOMPARE(row.SubItems(2), QStringLiteral("Ιδιότητα"));
        QCOMPARE(row.SubItems(3), QStringLiteral("6900000002"));

        auto captions = [](PopupMenuControl* menu) {
            QStringList out;
            for (int i = 0; i < menu->ItemCount(); ++i)
                out << menu->submenu(i)->data().toString() + QLatin1Char('|') +
                           (menu->submenu(i)->isSeparator() ? QStringLiteral("-")
                                                            : menu->submenu(i)->text());
            return out;
        };
        QCOMPARE(captions(w.mnGroups()),
                 (QStringList{QStringLiteral("mnNew|Δημιουργία Ομάδας"),
                              QStringLiteral("mnEdit|Διόρθωση Ομάδας"), QStringLiteral("|-"),
                              QStringLiteral("mnCut|Αποκοπή"), QStringLiteral("mnCopy|Αντιγραφή"),
                              QStringLiteral("mnPaste|Επικόληση"),
                              QStringLiteral("mnDelete|Διαγραφή")}));
        QCOMPARE(captions(w.mnMembers()),
                 (QStringList{QStringLiteral("mnNew|Δημιουργία Μέλους"),
                              QStringLiteral("mnEdit|Διόρθωση Μέλους"), QStringLiteral("|-"),
                              QStringLiteral("mnCut|Αποκοπή"), QStringLiteral("mnCopy|Αντιγραφή"),
                              QStringLiteral("mnPaste|Επικόλληση"),
                              QStringLiteral("mnDelete|Διαγραφή"), QStringLiteral("|-"),
                              QStringLiteral("mnMembersToGroup|Μεταφορά σε Ομάδα")}));
        QCOMPARE(captions(w.mnDragDrop()), (QStringList{QStringLiteral("mnCopy|Αντιγραφή εδώ"),
                                                        QStringLiteral("mnMove|Μετακίνηση εδώ")}));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void aGroupListsItsOwnMembersAndThoseOfItsSubgroups()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        QCOMPARE(keysAndIcons(w.Members()),
                 (QStringList{QStringLiteral("MEMBER_2=4"), QStringLiteral("MEMBER_3=5"),
                              QStringLiteral("MEMBER_4=4"), QStringLiteral("MEMBER_6=5")}));
        QCOMPARE(w.Groups()->Tag(), QStringLiteral("GRP_1"));
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_3")));
        QCOMPARE(keysAndIcons(w.Members()),
                 (QStringList{QStringLiteral("MEMBER_3=4"), QStringLiteral("MEMBER_4=4")}));
    }

    void commandStatesFollowTheSelection_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<bool>("copy");
        QTest::newRow("root") << QStringLiteral("GRP_0") << false << false << false;
        QTest::newRow("group with subgroups") << QStringLiteral("GRP_1") << true << false << true;
        QTest::newRow("subgroup") << QStringLiteral("GRP_3") << true << true << true;
    }
    void commandStatesFollowTheSelection()
    {
        QFETCH(QString, node);
        QFETCH(bool, edit);
        QFETCH(bool, cut);
        QFETCH(bool, copy);
        frmGroup_Organize& w = openWindow();
        w.Groups()->setFocus();
        QVERIFY(clickNode(w.Groups(), node));
        QCOMPARE(w.ActiveControlName(), QStringLiteral("Groups"));
        QCOMPARE(w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")), edit);
        QCOMPARE(w.Toolbar()->isButtonEnabled(QStringLiteral("btnDelete")), edit);
        QCOMPARE(menuEnabled("mn_Cut"), cut);
        QCOMPARE(menuEnabled("mn_Copy"), copy);
        QVERIFY(!menuEnabled("mn_Paste"));
        // With the member list active (a click below its rows): a cut needs a group other
        // than the root.
        QTest::mouseClick(w.Members()->viewport(), Qt::LeftButton, {},
                          QPoint(5, w.Members()->viewport()->height() - 5));
        QCOMPARE(w.ActiveControlName(), QStringLiteral("Members"));
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")));
        QCOMPARE(menuEnabled("mn_Cut"), node != QLatin1String("GRP_0"));
        QVERIFY(menuEnabled("mn_Copy"));
    }

    void aRootOnlyTreeOffersNoGroupToEditAndProposesTheRoot()
    {
        exec(QStringLiteral("DELETE FROM groups"));
        frmGroup_Organize& w = openWindow();
        w.Groups()->setFocus();
        QVERIFY(!w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")));
        QVERIFY(!w.Toolbar()->isButtonEnabled(QStringLiteral("btnDelete")));
        ModalScript modal;
        modal.then([](rt::Form& form) { static_cast<frmGroup_Edit&>(form).cmdOK_Click(); });
        w.Toolbar()->Button(QStringLiteral("btnNew"))->click();
        QCOMPARE(modal.shownNames(), QStringList{QStringLiteral("frmGroup_Edit")});
        const rt::Node added = w.Groups()->Nodes().Item(2);
        QCOMPARE(added.Parent().Key(), QStringLiteral("GRP_0"));
        QCOMPARE(added.Text(), QStringLiteral("Νέα Ομάδα"));
    }

    // ---- group commands ----------------------------------------------------------------

    void aNewGroupNeverMakesAThirdLevel_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("parent");
        QTest::newRow("root") << QStringLiteral("GRP_0") << QStringLiteral("GRP_0");
        QTest::newRow("top-level group") << QStringLiteral("GRP_1") << QStringLiteral("GRP_1");
        QTest::newRow("subgroup: a sibling") << QStringLiteral("GRP_3") << QStringLiteral("GRP_1");
    }
    void aNewGroupNeverMakesAThirdLevel()
    {
        QFETCH(QString, selected);
        QFETCH(QString, parent);
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), selected));
        ModalScript modal;
        modal.then([](rt::Form& form) {
            auto& dialog = static_cast<frmGroup_Edit&>(form);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Δημιουργία Νέας Ομάδας"));
            dialog.txtName()->setText(QStringLiteral("Γείτονες"));
            dialog.cmdOK_Click();
        });
        w.NewGroup();
        const rt::Node added = w.Groups()->SelectedItem();
        QCOMPARE(added.Text(), QStringLiteral("Γείτονες"));
        QCOMPARE(added.Parent().Key(), parent);
        QCOMPARE(added.Tag(), QStringLiteral("ADDED"));
        QVERIFY(added.Key().startsWith(QLatin1String("GRP_")));
        QVERIFY(mdlGroups::KeyToId(added.Key()).size() >= 7);
        QVERIFY(w.HasPendingChanges());
    }

    void renamingFlagsTheGroupAndKeepsItsPlace()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_3")));
        ModalScript modal;
        modal.then([](rt::Form& form) {
            auto& dialog = static_cast<frmGroup_Edit&>(form);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Διόρθωση Στοιχείων Ομάδας"));
            QCOMPARE(dialog.txtName()->Text(), QStringLiteral("Κοντινοί"));
            QCOMPARE(dialog.txtName()->SelText(), QStringLiteral("Κοντινοί"));
            dialog.txtName()->setText(QStringLiteral("Στενοί"));
            dialog.cmdOK_Click();
        });
        w.EditGroup();
        QCOMPARE(treeShape(w.Groups()),
                 (QStringList{QStringLiteral("GRP_1<GRP_0"), QStringLiteral("GRP_2<GRP_0"),
                              QStringLiteral("GRP_3<GRP_1"), QStringLiteral("GRP_4<GRP_1")}));
        const rt::Node node = w.Groups()->Nodes().Item(QStringLiteral("GRP_3"));
        QCOMPARE(node.Text(), QStringLiteral("Στενοί"));
        QCOMPARE(node.Tag(), QStringLiteral("CHANGED"));
        QCOMPARE(node.Next().Key(), QStringLiteral("GRP_4"));
        clickSave(w);
        QCOMPARE(
            rows(QStringLiteral("SELECT group_name, subgroup_of FROM groups WHERE group_id=3")),
            QStringList{QStringLiteral("Στενοί|1")});
        QVERIFY(node.Tag().isEmpty());
    }

    void deletingAGroupQueuesItsSubtreeAndKeepsTheMembers()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteGroup();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Πρόκειτε να διαγράψετε την ομάδα \"Φίλοι\"και όλες τις "
                                "υποομάδες που περιέχει.\nΘέλετε να συνεχίσετε;"));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΔΙΑΓΡΑΦΗ ΟΜΑΔΑΣ"));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Question | rt::mb::YesNo));
        QStringList queued;
        for (int i = 0; i < w.lstDeleted()->count(); ++i)
            queued << w.lstDeleted()->item(i)->text() + QLatin1Char('/') +
                          w.lstDeleted()->item(i)->data(Qt::UserRole).toString();
        QCOMPARE(queued, (QStringList{QStringLiteral("GRP_1/2"), QStringLiteral("GRP_3/2"),
                                      QStringLiteral("GRP_4/2")}));
        QCOMPARE(treeShape(w.Groups()), QStringList{QStringLiteral("GRP_2<GRP_0")});
        QCOMPARE(w.lstMembers()->ListItems().Count(), 6);
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_4")), QStringLiteral("\\0\\"));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_5")), QStringLiteral("\\0\\2\\"));
        QCOMPARE(flagOf(w, QStringLiteral("MEMBER_4")), QStringLiteral("CHANGED"));
        // A member that was in none of them is not written again.
        QCOMPARE(flagOf(w, QStringLiteral("MEMBER_5")), QString());
        QCOMPARE(w.Groups()->SelectedItem().Key(), QStringLiteral("GRP_0"));
        QCOMPARE(w.Members()->ListItems().Count(), 6);
        QVERIFY(w.HasPendingChanges());

        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT group_id FROM groups")),
                 QStringList{QStringLiteral("2")});
        QCOMPARE(
            rows(QStringLiteral("SELECT member_id, member_of FROM members ORDER BY member_id")),
            (QStringList{QStringLiteral("1|NULL"), QStringLiteral("2|NULL"),
                         QStringLiteral("3|NULL"), QStringLiteral("4|NULL"),
                         QStringLiteral("5|\\2\\"), QStringLiteral("6|NULL")}));
        QCOMPARE(w.lstDeleted()->count(), 0);
        QVERIFY(!w.HasPendingChanges());
    }

    void deletingTheRootIsRefusedAndNoKeepsTheGroup()
    {
        frmGroup_Organize& w = openWindow();
        w.DeleteGroup();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Δεν μπορείτε να διαγράψετε αυτή την ομάδα."));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Exclamation));
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_2")));
        m_fx.boxes().answer(rt::mb::No);
        w.DeleteGroup();
        QVERIFY(w.Groups()->Nodes().Exists(QStringLiteral("GRP_2")));
        QCOMPARE(w.lstDeleted()->count(), 0);
        QVERIFY(!w.HasPendingChanges());
    }

    // ---- saving ------------------------------------------------------------------------

    void newGroupsAndMembersAreWrittenParentsFirst()
    {
        frmGroup_Organize& w = openWindow();
        QString top;
        w.UpdateGroup(QStringLiteral("GRP_0"), top, QStringLiteral("Ομάδα Α"));
        QString sub;
        w.UpdateGroup(top, sub, QStringLiteral("Υποομάδα Β"));
        QVERIFY(w.Groups()->Nodes().Item(sub).Parent().Key() == top);
        // Three new members in both groups, and an existing one added to the new subgroup.
        for (const QString& name :
             {QStringLiteral("Ένα"), QStringLiteral("Δύο"), QStringLiteral("Τρία")})
            w.UpdateMember(QString(), sub, name, QString(), QString(), QStringLiteral("6911"));
        QVERIFY(clickNode(w.Groups(), sub));
        for (rt::ListItem row : w.Members()->ListItems())
            row.setSelected(true);
        w.CopyMembersToGroup(0, sub, top);
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_0")));
        selectRows(w.Members(), {QStringLiteral("MEMBER_5")});
        w.CopyMembersToGroup(0, QStringLiteral("GRP_0"), sub);
        QVERIFY(w.HasPendingChanges());

        clickSave(w);
        QVERIFY(!w.HasPendingChanges());
        QCOMPARE(rows(QStringLiteral("SELECT group_id, group_name, subgroup_of FROM groups WHERE "
                                     "group_id > 4 ORDER BY group_id")),
                 (QStringList{QStringLiteral("5|Ομάδα Α|0"), QStringLiteral("6|Υποομάδα Β|5")}));
        QCOMPARE(rows(QStringLiteral("SELECT LastName, FirstName, Occupation, mobile_no, member_of "
                                     "FROM members WHERE member_id > 6 ORDER BY member_id")),
                 (QStringList{QStringLiteral("Ένα|NULL|NULL|6911|\\6\\5\\"),
                              QStringLiteral("Δύο|NULL|NULL|6911|\\6\\5\\"),
                              QStringLiteral("Τρία|NULL|NULL|6911|\\6\\5\\")}));
        QCOMPARE(rows(QStringLiteral("SELECT member_of FROM members WHERE member_id=5")),
                 QStringList{QStringLiteral("\\2\\6\\")});
        // The window names the database's rows now.
        QCOMPARE(treeShape(w.Groups()).mid(4),
                 (QStringList{QStringLiteral("GRP_5<GRP_0"), QStringLiteral("GRP_6<GRP_5")}));
        QVERIFY(w.lstMembers()->ListItems().Exists(QStringLiteral("MEMBER_7")));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_7")), QStringLiteral("\\0\\6\\5\\"));
        QVERIFY(flagOf(w, QStringLiteral("MEMBER_7")).isEmpty());
        QVERIFY(w.Members()->ListItems().Exists(QStringLiteral("MEMBER_5")));
        // A second save writes nothing new.
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM members")),
                 QStringList{QStringLiteral("9")});
    }

    void aDeletedGroupLeavesEveryStoredList()
    {
        addGroup(12, QStringLiteral("Δώδεκα"), 0);
        addMember(7, QStringLiteral("Ηλιού"), QString(), QStringLiteral("\\3\\12\\"));
        addMember(8, QStringLiteral("Θεοδώρου"), QString(), QStringLiteral("\\12\\"));
        frmGroup_Organize& w = openWindow();
        // A member added behind the window's back is cleaned in the database too.
        addMember(9, QStringLiteral("Ιωάννου"), QString(), QStringLiteral("\\12\\1\\"));
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_12")));
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteGroup();
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT member_id, member_of FROM members WHERE member_id > 6 "
                                     "ORDER BY member_id")),
                 (QStringList{QStringLiteral("7|\\3\\"), QStringLiteral("8|NULL"),
                              QStringLiteral("9|\\1\\")}));
    }

    void aMemberSavedThenEditedIsUpdatedNotAddedAgain()
    {
        frmGroup_Organize& w = openWindow();
        // Made and edited again before the save: one new row.
        w.UpdateMember(QString(), QStringLiteral("GRP_2"), QStringLiteral("Κωστής"), QString(),
                       QString(), QStringLiteral("6912"));
        const QString temporary = w.lstMembers()->ListItems().Item(7).Key();
        w.UpdateMember(temporary, QStringLiteral("GRP_2"), QStringLiteral("Κωστής"),
                       QStringLiteral("Νίκος"), QString(), QStringLiteral("6913"));
        QCOMPARE(flagOf(w, temporary), QStringLiteral("ADDED"));
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT member_id, FirstName, mobile_no, member_of FROM "
                                     "members WHERE member_id > 6")),
                 QStringList{QStringLiteral("7|Νίκος|6913|\\2\\")});
        // Edited from the list still shown: the row is updated.
        const rt::ListItem row = w.Members()->ListItems().Item(QStringLiteral("MEMBER_7"));
        QVERIFY(row);
        w.UpdateMember(row.Key(), QStringLiteral("GRP_0"), QStringLiteral("Κωστής"),
                       QStringLiteral("Νίκος"), QString(), QStringLiteral("6914"));
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT member_id, mobile_no, member_of FROM members WHERE "
                                     "member_id > 6")),
                 QStringList{QStringLiteral("7|6914|\\2\\")});
    }

    void aFailedSaveWritesNothingAndKeepsEveryChange_data()
    {
        QTest::addColumn<bool>("locked"); // else a statement the database refuses
        QTest::addColumn<QString>("told");
        QTest::newRow("refused") << false << QStringLiteral("Σφάλμα: 19\nrefused");
        QTest::newRow("another program holds the database")
            << true
            << QStringLiteral("Σφάλμα: 5\nΗ βάση δεδομένων χρησιμοποιείται από άλλο πρόγραμμα.\n"
                              "Η εργασία δεν ολοκληρώθηκε και η αλλαγή που βρισκόταν σε "
                              "εξέλιξη δεν αποθηκεύτηκε.");
    }
    void aFailedSaveWritesNothingAndKeepsEveryChange()
    {
        QFETCH(bool, locked);
        QFETCH(QString, told);
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_2")));
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteGroup();
        QString added;
        w.UpdateGroup(QStringLiteral("GRP_0"), added, QStringLiteral("Νέα"));
        w.UpdateMember(QString(), added, QStringLiteral("Λάμπρου"), QString(), QString(),
                       QStringLiteral("6915"));
        rt::Database& db = mdlDataBase::MainDatabase();
        const int usualWait = db.lockWaitMs();
        std::unique_ptr<testsupport::MomentaryLock> lock;
        if (locked) {
            db.setLockWaitMs(300);
            lock = std::make_unique<testsupport::MomentaryLock>(m_fx.folder().databasePath(), -1);
            QVERIFY(lock->isHeld());
        } else {
            exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON members BEGIN "
                                "SELECT RAISE(ABORT, 'refused'); END"));
        }
        m_fx.boxes().clear();
        clickSave(w);
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text, told);
        QCOMPARE(rows(QStringLiteral("SELECT group_id FROM groups ORDER BY group_id")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")}));
        QCOMPARE(rows(QStringLiteral("SELECT member_of FROM members WHERE member_id=5")),
                 QStringList{QStringLiteral("\\2\\")});
        QVERIFY(w.HasPendingChanges());
        QCOMPARE(w.lstDeleted()->count(), 1);
        QVERIFY(w.Groups()->Nodes().Exists(added));
        QCOMPARE(w.Groups()->Nodes().Item(added).Tag(), QStringLiteral("ADDED"));

        if (locked) {
            lock.reset();
            db.setLockWaitMs(usualWait);
        } else {
            exec(QStringLiteral("DROP TRIGGER refuse"));
        }
        clickSave(w);
        QVERIFY(!w.HasPendingChanges());
        QCOMPARE(rows(QStringLiteral("SELECT group_id, group_name FROM groups WHERE group_id > 2 "
                                     "ORDER BY group_id")),
                 (QStringList{QStringLiteral("3|Κοντινοί"), QStringLiteral("4|Σχολείο"),
                              QStringLiteral("5|Νέα")}));
        QCOMPARE(rows(QStringLiteral("SELECT LastName, member_of FROM members WHERE member_id=7")),
                 QStringList{QStringLiteral("Λάμπρου|\\5\\")});
    }

    void closingWithChangesAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("stays");
        QTest::addColumn<QString>("stored");
        QTest::newRow("cancel") << int(rt::mb::Cancel) << true << QStringLiteral("Συνάδελφοι");
        QTest::newRow("no") << int(rt::mb::No) << false << QStringLiteral("Συνάδελφοι");
        QTest::newRow("yes") << int(rt::mb::Yes) << false << QStringLiteral("Άλλοι");
    }
    void closingWithChangesAsks()
    {
        QFETCH(int, answer);
        QFETCH(bool, stays);
        QFETCH(QString, stored);
        frmGroup_Organize& w = openWindow();
        QString key = QStringLiteral("GRP_2");
        w.UpdateGroup(QStringLiteral("GRP_0"), key, QStringLiteral("Άλλοι"));
        m_fx.boxes().answer(answer);
        QCOMPARE(mainWindow().FreeChildSpace(QString()), !stays);
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Έχετε κάνει αλλαγές σε κάποιες ομάδες ή σε κάποια μέλη.\n"
                                "Θέλετε να τις αποθηκεύσετε;"));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΑΠΟΘΗΚΕΥΣΗ ΑΛΛΑΓΩΝ"));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Question | rt::mb::YesNoCancel));
        QCOMPARE(rt::Forms::find<frmGroup_Organize>() != nullptr, stays);
        QCOMPARE(rows(QStringLiteral("SELECT group_name FROM groups WHERE group_id=2")),
                 QStringList{stored});
        if (!stays) {
            QVERIFY(!menuEnabled("mn_NewGroup"));
            QVERIFY(mainWindow().tlbrPicture()->findChild<rt::Toolbar*>(
                        QStringLiteral("Toolbar")) == nullptr);
        }
    }

    void aSaveThatFailsOnClosingKeepsTheWindow()
    {
        frmGroup_Organize& w = openWindow();
        w.UpdateMember(QString(), QStringLiteral("GRP_1"), QStringLiteral("Μόσχου"), QString(),
                       QString(), QStringLiteral("6916"));
        exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON members BEGIN "
                            "SELECT RAISE(ABORT, 'refused'); END"));
        m_fx.boxes().answer(rt::mb::Yes);
        QVERIFY(!mainWindow().FreeChildSpace(QString()));
        QCOMPARE(m_fx.boxes().shown().size(), 2); // the question, then the failure
        QCOMPARE(rt::Forms::find<frmGroup_Organize>(), &w);
        QVERIFY(w.HasPendingChanges());
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
    }

    void thePopUpMenusOfferWhatTheSelectionAllows_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("groupItems");
        QTest::addColumn<QString>("memberItems");
        // Enabled items, as their names: the group menu, then the member menu.
        QTest::newRow("root") << QStringLiteral("GRP_0") << QStringLiteral("mnNew")
                              << QStringLiteral("mnNew mnEdit mnCopy mnDelete mnMembersToGroup");
        QTest::newRow("group with subgroups")
            << QStringLiteral("GRP_1") << QStringLiteral("mnNew mnEdit mnCopy mnDelete")
            << QStringLiteral("mnNew mnEdit mnCut mnCopy mnDelete mnMembersToGroup");
        QTest::newRow("subgroup") << QStringLiteral("GRP_3")
                                  << QStringLiteral("mnNew mnEdit mnCut mnCopy mnDelete")
                                  << QStringLiteral("mnNew mnEdit mnCut mnCopy mnDelete "
                                                    "mnMembersToGroup");
    }
    void thePopUpMenusOfferWhatTheSelectionAllows()
    {
        QFETCH(QString, node);
        QFETCH(QString, groupItems);
        QFETCH(QString, memberItems);
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), node));
        auto offered = [](PopupMenuControl* control) {
            QStringList on;
            for (int i = 0; i < control->ItemCount(); ++i) {
                const QString name = control->submenu(i)->data().toString();
                if (!name.isEmpty() && control->MenuState(name))
                    on << name;
            }
            return on.join(QLatin1Char(' '));
        };
        QString groupsShown;
        QString membersShown;
        QMenu* groupMenu = w.mnGroups()->mnPopup();
        QTimer::singleShot(0, groupMenu, [&] {
            groupsShown = offered(w.mnGroups());
            groupMenu->close();
        });
        const QModelIndex index = nodeIndex(w.Groups(), node);
        QTest::mouseClick(w.Groups()->viewport(), Qt::RightButton, {},
                          w.Groups()->visualRect(index).center());
        QCOMPARE(groupsShown, groupItems);
        QMenu* memberMenu = w.mnMembers()->mnPopup();
        QTimer::singleShot(0, memberMenu, [&] {
            membersShown = offered(w.mnMembers());
            memberMenu->close();
        });
        QTest::mouseClick(w.Members()->viewport(), Qt::RightButton, {},
                          QPoint(5, w.Members()->viewport()->height() - 5));
        QCOMPARE(membersShown, memberItems);
    }

    void closingWithoutChangesAsksNothing()
    {
        openWindow();
        QVERIFY(mainWindow().FreeChildSpace(QString()));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    // ---- clipboard ---------------------------------------------------------------------

    void aCopiedGroupIsPastedWithoutItsSubgroups()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        w.AddGroupToClipboard(4);
        QCOMPARE(w.ClipboardAction(), 4);
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_0")));
        w.PasteGroupFromClipboard();
        const rt::Node copy = w.Groups()->Nodes().Item(6);
        QCOMPARE(copy.Text(), QStringLiteral("Φίλοι"));
        QCOMPARE(copy.Parent().Key(), QStringLiteral("GRP_0"));
        QCOMPARE(copy.Children(), 0);
        QCOMPARE(copy.Tag(), QStringLiteral("ADDED"));
        const QString id = mdlGroups::KeyToId(copy.Key());
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_2")),
                 QStringLiteral("\\0\\1\\") + id + QLatin1Char('\\'));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_3")), QStringLiteral("\\0\\3\\"));
        QCOMPARE(flagOf(w, QStringLiteral("MEMBER_3")), QString());
        QCOMPARE(w.ClipboardAction(), 0);
        // The clipboard is empty: a second paste does nothing.
        w.PasteGroupFromClipboard();
        QCOMPARE(w.Groups()->Nodes().Count(), 6);
    }

    void aCutSubgroupPastedOnTheRootIsStoredAtTheTop()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_3")));
        w.AddGroupToClipboard(5);
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_0")));
        w.Groups()->setFocus();
        QVERIFY(menuEnabled("mn_Paste"));
        w.PasteCommand();
        QCOMPARE(w.Groups()->Nodes().Item(QStringLiteral("GRP_3")).Parent().Key(),
                 QStringLiteral("GRP_0"));
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT subgroup_of FROM groups WHERE group_id=3")),
                 QStringList{QStringLiteral("0")});
    }

    void aCutSubgroupUnderANewGroupGetsItsId()
    {
        frmGroup_Organize& w = openWindow();
        QString fresh;
        w.UpdateGroup(QStringLiteral("GRP_0"), fresh, QStringLiteral("Καινούργια"));
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_4")));
        w.AddGroupToClipboard(5);
        QVERIFY(clickNode(w.Groups(), fresh));
        w.PasteGroupFromClipboard();
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT group_id, subgroup_of FROM groups WHERE group_id >= 4 "
                                     "ORDER BY group_id")),
                 (QStringList{QStringLiteral("4|5"), QStringLiteral("5|0")}));
    }

    void aCopiedGroupDeletedMeanwhileIsNotPasted()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_2")));
        w.AddGroupToClipboard(4);
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteGroup();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_0")));
        const int before = w.Groups()->Nodes().Count();
        w.PasteGroupFromClipboard();
        QCOMPARE(w.Groups()->Nodes().Count(), before);
        QCOMPARE(w.ClipboardAction(), 0);
    }

    void theClipboardFollowsTheKeysASaveHandsOut()
    {
        frmGroup_Organize& w = openWindow();
        QString fresh;
        w.UpdateGroup(QStringLiteral("GRP_0"), fresh, QStringLiteral("Καινούργια"));
        w.AddGroupToClipboard(5);
        QCOMPARE(w.Clipboard()->item(0)->text(), fresh);
        clickSave(w);
        QCOMPARE(w.Clipboard()->item(0)->text(), QStringLiteral("GRP_5"));
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_2")));
        w.PasteGroupFromClipboard();
        QCOMPARE(w.Groups()->Nodes().Item(QStringLiteral("GRP_5")).Parent().Key(),
                 QStringLiteral("GRP_2"));
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT subgroup_of FROM groups WHERE group_id=5")),
                 QStringList{QStringLiteral("2")});
    }

    void pastedMembers_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("member2");
        QTest::addColumn<QString>("member4");
        // Members of group 1: 2 (\1\) and 4 (\3\1\); 4 is in group 3 already.
        QTest::newRow("copy into 3")
            << 1 << QStringLiteral("GRP_3") << QStringLiteral("\\0\\1\\3\\")
            << QStringLiteral("\\0\\3\\1\\");
        QTest::newRow("cut into 3") << 2 << QStringLiteral("GRP_3") << QStringLiteral("\\0\\3\\")
                                    << QStringLiteral("\\0\\3\\");
        QTest::newRow("cut into 1 itself")
            << 2 << QStringLiteral("GRP_1") << QStringLiteral("\\0\\1\\")
            << QStringLiteral("\\0\\3\\1\\");
    }
    void pastedMembers()
    {
        QFETCH(int, action);
        QFETCH(QString, target);
        QFETCH(QString, member2);
        QFETCH(QString, member4);
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        selectRows(w.Members(), {QStringLiteral("MEMBER_2"), QStringLiteral("MEMBER_4")});
        w.AddMembersToClipboard(action);
        QCOMPARE(w.Clipboard()->count(), 2);
        QCOMPARE(w.ClipboardTag(), QStringLiteral("GRP_1"));
        QCOMPARE(w.Members()->ListItems().Item(QStringLiteral("MEMBER_2")).Ghosted(), action == 2);
        QVERIFY(clickNode(w.Groups(), target));
        w.PasteMembersFromClipboard();
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_2")), member2);
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_4")), member4);
        QCOMPARE(w.ClipboardAction(), 0);
        QVERIFY(w.HasPendingChanges());
        QVERIFY(w.Members()->ListItems().Exists(QStringLiteral("MEMBER_2")));
    }

    // The member list is rebuilt by a member paste or drop; with real focus (the main
    // window shown and active) it keeps the keyboard, so the commands that follow the
    // active control still work and Space does not press the title bar's close button.
    void theMemberListKeepsTheFocusThroughAPasteOrADrop_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Edit menu") << QStringLiteral("menu");
        QTest::newRow("pop-up menu") << QStringLiteral("pop-up");
        QTest::newRow("drop, copy here") << QStringLiteral("drop");
    }
    void theMemberListKeepsTheFocusThroughAPasteOrADrop()
    {
        QFETCH(QString, how);
        frmGroup_Organize& w = openWindow();
        mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        selectRows(w.Members(), {QStringLiteral("MEMBER_2")});
        w.Members()->setFocus();
        QCOMPARE(QApplication::focusWidget(), w.Members());
        if (how == QLatin1String("drop")) {
            w.Members_OLEStartDrag();
            w.Groups_OLEDragOver(
                w.Groups()->visualRect(nodeIndex(w.Groups(), QStringLiteral("GRP_2"))).center());
            QMenu* menu = w.mnDragDrop()->mnPopup();
            QTimer::singleShot(0, menu, [&] {
                w.mnDragDrop()->submenu(0)->trigger();
                menu->close();
            });
            w.Members_OLECompleteDrag();
        } else {
            w.AddMembersToClipboard(1);
            QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_2")));
            w.Members()->setFocus();
            QVERIFY(menuEnabled("mn_Paste"));
            if (how == QLatin1String("menu"))
                mainWindow().MenuItem(QStringLiteral("mn_Paste"))->trigger();
            else
                w.mnMembers_Click(QStringLiteral("mnPaste"), false);
        }
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_2")), QStringLiteral("\\0\\1\\2\\"));
        QCOMPARE(w.Groups()->Tag(), QStringLiteral("GRP_2"));

        // The offscreen platform leaves the closed pop-up menu the active window: the main
        // window, active again, gives the focus back to the control it kept it for.
        if (QApplication::activeWindow() != &mainWindow())
            QApplication::setActiveWindow(&mainWindow());
        QCOMPARE(QApplication::focusWidget(), w.Members());
        QCOMPARE(w.ActiveControlName(), QStringLiteral("Members"));
        QVERIFY(!menuEnabled("mn_Paste"));
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")));
        ModalScript modal;
        modal.then([](rt::Form& form) { static_cast<frmMember_Edit&>(form).cmdCancel_Click(); });
        w.Toolbar()->Button(QStringLiteral("btnNew"))->click();
        QCOMPARE(modal.shownNames(), QStringList{QStringLiteral("frmMember_Edit")});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(rt::Forms::find<frmGroup_Organize>());
    }

    // ---- dragging ----------------------------------------------------------------------

    void droppingMembers_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("moveOffered");
        QTest::newRow("root view onto a group")
            << QStringLiteral("GRP_0") << QStringLiteral("GRP_2") << false << false;
        QTest::newRow("group onto another")
            << QStringLiteral("GRP_1") << QStringLiteral("GRP_2") << false << true;
        QTest::newRow("onto the root")
            << QStringLiteral("GRP_1") << QStringLiteral("GRP_0") << true << true;
        QTest::newRow("back onto the source")
            << QStringLiteral("GRP_1") << QStringLiteral("GRP_1") << true << true;
    }
    void droppingMembers()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, refused);
        QFETCH(bool, moveOffered);
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), source));
        selectRows(w.Members(), {QStringLiteral("MEMBER_2")});
        w.Members_OLEStartDrag();
        QCOMPARE(w.mnDragDrop()->MenuState(QStringLiteral("mnMove")), moveOffered);
        const QModelIndex index = nodeIndex(w.Groups(), target);
        w.Groups_OLEDragOver(w.Groups()->visualRect(index).center());
        QCOMPARE(w.DropTargetKey(), target);
        bool menuShown = false;
        QMenu* menu = w.mnDragDrop()->mnPopup();
        if (!refused) {
            QTimer::singleShot(0, menu, [&] {
                menuShown = menu->isVisible();
                w.mnDragDrop()->submenu(0)->trigger();
                menu->close();
            });
        }
        w.Members_OLECompleteDrag();
        QCOMPARE(menuShown, !refused);
        if (refused) {
            QCOMPARE(m_fx.boxes().shown().size(), 1);
            QCOMPARE(m_fx.boxes().shown().first().text,
                     QStringLiteral("Δεν μπορείτε να μεταφέρετε μέλη σε αυτή την ομάδα."));
            QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΜΕΤΑΦΟΡΑ ΜΕΛΩΝ"));
            QCOMPARE(tagOf(w, QStringLiteral("MEMBER_2")), QStringLiteral("\\0\\1\\"));
            QCOMPARE(w.Groups()->SelectedItem().Key(), source);
            QVERIFY(!w.HasPendingChanges());
        } else {
            QVERIFY(m_fx.boxes().shown().isEmpty());
            QCOMPARE(tagOf(w, QStringLiteral("MEMBER_2")), QStringLiteral("\\0\\1\\2\\"));
            QCOMPARE(w.Groups()->SelectedItem().Key(), target);
            QCOMPARE(w.Groups()->Tag(), target);
            QVERIFY(w.Members()->ListItems().Exists(QStringLiteral("MEMBER_2")));
        }
        QVERIFY(w.DragSourceKey().isEmpty());
    }

    void aClickOnOneOfTheSelectedRowsSelectsItAlone()
    {
        // The press on a selected row waits (a drag of all of them may follow); without a
        // drag it reaches the list as a plain click.
        frmGroup_Organize& w = openWindow();
        mainWindow().resize(1000, 700);
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        rt::ListView* list = w.Members();
        selectRows(list, {QStringLiteral("MEMBER_2"), QStringLiteral("MEMBER_4")});
        list->Refresh();
        const int row = list->ListItems().Item(QStringLiteral("MEMBER_2")).Index() - 1;
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(list->ListItems().Item(QStringLiteral("MEMBER_4")).Selected());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(list->ListItems().Item(QStringLiteral("MEMBER_2")).Selected());
        QVERIFY(!list->ListItems().Item(QStringLiteral("MEMBER_4")).Selected());
        QCOMPARE(w.ActiveControlName(), QStringLiteral("Members"));
    }

    void movedMembersLeaveTheSourceGroup()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        selectRows(w.Members(), {QStringLiteral("MEMBER_2"), QStringLiteral("MEMBER_4")});
        w.CopyMembersToGroup(1, QStringLiteral("GRP_1"), QStringLiteral("GRP_2"));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_2")), QStringLiteral("\\0\\2\\"));
        // Still in group 1's view through subgroup 3.
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_4")), QStringLiteral("\\0\\3\\2\\"));
        QCOMPARE(keysAndIcons(w.Members()),
                 (QStringList{QStringLiteral("MEMBER_3=5"), QStringLiteral("MEMBER_4=5"),
                              QStringLiteral("MEMBER_6=5")}));
    }

    // ---- the copy/move-to-group dialog ---------------------------------------------------

    void theCopyDialogShowsTheTreeWithTheSourceChosen()
    {
        frmGroup_Organize& w = openWindow();
        // A subgroup moved under a group made later comes after it in the tree's order.
        QString later;
        w.UpdateGroup(QStringLiteral("GRP_0"), later, QStringLiteral("Νεότερη"));
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_4")));
        w.AddGroupToClipboard(5);
        QVERIFY(clickNode(w.Groups(), later));
        w.PasteGroupFromClipboard();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));

        frmCopyToTeam& dialog = rt::Forms::get<frmCopyToTeam>();
        QVERIFY(dialog.MoveMembers());
        dialog.show();
        QStringList shape;
        rt::Nodes nodes = dialog.Groups()->Nodes();
        for (int i = 1; i <= nodes.Count(); ++i)
            shape << nodes.Item(i).Key() + QLatin1Char('<') + nodes.Item(i).Parent().Key();
        QCOMPARE(shape, (QStringList{QStringLiteral("GRP_1<"), QStringLiteral("GRP_2<"),
                                     later + QLatin1Char('<'), QStringLiteral("GRP_3<GRP_1"),
                                     QStringLiteral("GRP_4<") + later}));
        const rt::Node source = nodes.Item(QStringLiteral("GRP_1"));
        QVERIFY(source.Bold());
        QCOMPARE(dialog.Groups()->SelectedItem(), source);
        QVERIFY(!dialog.cmdOK()->isEnabled());
        QVERIFY(dialog.optChoice_0()->isChecked());
        QVERIFY(dialog.optChoice_1()->isEnabled());
        QCOMPARE(dialog.lblTitle()->text(),
                 QStringLiteral("Μεταφορά μελών απο την ομάδα \"Φίλοι\" στην ομάδα \"Φίλοι\""));
        QVERIFY(clickNode(dialog.Groups(), QStringLiteral("GRP_2")));
        QVERIFY(dialog.cmdOK()->isEnabled());
        QCOMPARE(
            dialog.lblTitle()->text(),
            QStringLiteral("Μεταφορά μελών απο την ομάδα \"Φίλοι\" στην ομάδα \"Συνάδελφοι\""));
        QVERIFY(clickNode(dialog.Groups(), QStringLiteral("GRP_1")));
        QVERIFY(!dialog.cmdOK()->isEnabled());
        QVERIFY(clickNode(dialog.Groups(), QStringLiteral("GRP_2")));
        dialog.optChoice_1()->setChecked(true);
        selectRows(w.Members(), {QStringLiteral("MEMBER_2")});
        dialog.cmdOK()->click();
        QVERIFY(!rt::Forms::find<frmCopyToTeam>());
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_2")), QStringLiteral("\\0\\2\\"));
    }

    void theCopyDialogFromTheRootOnlyCopies()
    {
        frmGroup_Organize& w = openWindow();
        frmCopyToTeam& dialog = rt::Forms::get<frmCopyToTeam>();
        QVERIFY(dialog.MoveMembers());
        dialog.show();
        QVERIFY(!dialog.optChoice_1()->isEnabled());
        QVERIFY(dialog.optChoice_0()->isChecked());
        QVERIFY(!dialog.Groups()->SelectedItem());
        QVERIFY(!dialog.cmdOK()->isEnabled());
        QCOMPARE(dialog.lblTitle()->text(), QStringLiteral("Μεταφορά μελών "));
        QVERIFY(clickNode(dialog.Groups(), QStringLiteral("GRP_3")));
        selectRows(w.Members(), {QStringLiteral("MEMBER_1")});
        dialog.cmdOK()->click();
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_1")), QStringLiteral("\\0\\3\\"));
    }

    void escapeClosesTheCopyDialogWithoutACopy()
    {
        frmGroup_Organize& w = openWindow();
        selectRows(w.Members(), {QStringLiteral("MEMBER_1")});
        frmCopyToTeam& dialog = rt::Forms::get<frmCopyToTeam>();
        QVERIFY(dialog.MoveMembers());
        dialog.show();
        QVERIFY(clickNode(dialog.Groups(), QStringLiteral("GRP_2")));
        QTest::keyClick(dialog.Groups(), Qt::Key_Escape);
        QVERIFY(!rt::Forms::find<frmCopyToTeam>());
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_1")), QStringLiteral("\\0\\"));
        QVERIFY(!w.HasPendingChanges());
    }

    void theCopyDialogWithoutGroupsIsNotShown()
    {
        exec(QStringLiteral("DELETE FROM groups"));
        openWindow();
        QVERIFY(!rt::Forms::get<frmCopyToTeam>().MoveMembers());
        QVERIFY(!rt::Forms::find<frmCopyToTeam>());
    }

    // ---- member commands ---------------------------------------------------------------

    void aNewMemberJoinsTheGroupItWasMadeIn_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("list");
        QTest::newRow("subgroup") << QStringLiteral("GRP_3") << QStringLiteral("\\0\\3\\");
        QTest::newRow("root") << QStringLiteral("GRP_0") << QStringLiteral("\\0\\");
    }
    void aNewMemberJoinsTheGroupItWasMadeIn()
    {
        QFETCH(QString, group);
        QFETCH(QString, list);
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), group));
        w.UpdateMember(QString(), group, QStringLiteral("Μαρκόπουλος"), QStringLiteral("Μάρκος"),
                       QStringLiteral("Ναύτης"), QStringLiteral("6977"));
        const rt::ListItem member = w.lstMembers()->ListItems().Item(7);
        QVERIFY(member.Key().startsWith(QLatin1String("MEMBER_")));
        QCOMPARE(member.Tag(), list);
        QCOMPARE(member.SubItemTag(1), QStringLiteral("ADDED"));
        const rt::ListItem row = w.Members()->ListItems().Item(member.Key());
        QVERIFY(row.Selected());
        QCOMPARE(row.SubItems(3), QStringLiteral("6977"));
        QVERIFY(w.HasPendingChanges());
    }

    void theMemberDialogAddsAndEditsMembersInTheWindow()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_3")));
        ModalScript modal;
        modal.then([](rt::Form& form) {
            auto& dialog = static_cast<frmMember_Edit&>(form);
            QCOMPARE(dialog.GroupKey(), QStringLiteral("GRP_3"));
            QVERIFY(dialog.MemberKey().isEmpty());
            dialog.Text_0()->setText(QStringLiteral("Νικολάου"));
            dialog.txtPhone()->setText(QStringLiteral("6944000000"));
            dialog.cmdOK_Click();
        });
        w.Members()->setFocus();
        w.Toolbar()->Button(QStringLiteral("btnNew"))->click();
        QCOMPARE(modal.shownNames(), QStringList{QStringLiteral("frmMember_Edit")});
        const rt::ListItem added = w.lstMembers()->ListItems().Item(7);
        QCOMPARE(added.Text(), QStringLiteral("Νικολάου"));
        QCOMPARE(added.Tag(), QStringLiteral("\\0\\3\\"));
        QVERIFY(w.Members()->ListItems().Item(added.Key()).Selected());

        // Edit the current row: the dialog gets its fields and its key.
        w.Members()->setSelectedItem(w.Members()->ListItems().Item(QStringLiteral("MEMBER_3")));
        modal.then([](rt::Form& form) {
            auto& dialog = static_cast<frmMember_Edit&>(form);
            QCOMPARE(dialog.MemberKey(), QStringLiteral("MEMBER_3"));
            QCOMPARE(dialog.Text_0()->Text(), QStringLiteral("Γεωργίου"));
            QCOMPARE(dialog.Text_1()->Text(), QStringLiteral("Γιώργος"));
            QCOMPARE(dialog.cmbOccup()->currentText(), QStringLiteral("Ιδιότητα"));
            QCOMPARE(dialog.txtPhone()->Text(), QStringLiteral("6900000003"));
            dialog.Text_1()->setText(QStringLiteral("Γιάννης"));
            dialog.cmdOK_Click();
        });
        w.EditMember();
        QCOMPARE(w.lstMembers()->ListItems().Item(QStringLiteral("MEMBER_3")).SubItems(1),
                 QStringLiteral("Γιάννης"));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_3")), QStringLiteral("\\0\\3\\"));
        QVERIFY(w.HasPendingChanges());
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT FirstName FROM members WHERE member_id=3")),
                 QStringList{QStringLiteral("Γιάννης")});
        QCOMPARE(rows(QStringLiteral("SELECT LastName, member_of FROM members WHERE member_id=7")),
                 QStringList{QStringLiteral("Νικολάου|\\3\\")});
    }

    void theFindDialogSearchesTheShownGroup()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_1")));
        w.Toolbar()->Button(QStringLiteral("btnFind"))->click();
        frmMember_Find* finder = rt::Forms::find<frmMember_Find>();
        QVERIFY(finder);
        // Ευαγγέλου matches but is not in the group shown.
        finder->Text_0()->setText(QStringLiteral("ευ"));
        finder->cmdFind_Click();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(rt::Forms::find<frmMember_Find>());
        QCOMPARE(mdlGroups::SearchLastName, QStringLiteral("ΕΥ"));
        finder->Text_0()->setText(QStringLiteral("γε"));
        finder->cmdFind_Click();
        QVERIFY(w.Members()->ListItems().Item(QStringLiteral("MEMBER_3")).Selected());
        QVERIFY(!w.Members()->ListItems().Item(QStringLiteral("MEMBER_2")).Selected());
        QVERIFY(!rt::Forms::find<frmMember_Find>());
    }

    void editingAMemberNeverChangesItsGroups()
    {
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), QStringLiteral("GRP_2")));
        w.UpdateMember(QStringLiteral("MEMBER_4"), QStringLiteral("GRP_2"),
                       QStringLiteral("Δημάκης"), QString(), QString(), QStringLiteral("6999"));
        QCOMPARE(tagOf(w, QStringLiteral("MEMBER_4")), QStringLiteral("\\0\\3\\1\\"));
        QCOMPARE(flagOf(w, QStringLiteral("MEMBER_4")), QStringLiteral("CHANGED"));
        QCOMPARE(w.lstMembers()->ListItems().Item(QStringLiteral("MEMBER_4")).Text(),
                 QStringLiteral("Δημάκης"));
        clickSave(w);
        QCOMPARE(rows(QStringLiteral("SELECT LastName, FirstName, Occupation, mobile_no, member_of "
                                     "FROM members WHERE member_id=4")),
                 QStringList{QStringLiteral("Δημάκης|NULL|NULL|6999|\\3\\1\\")});
    }

    void deletingMembers_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("question");
        QTest::newRow("one from a group")
            << QStringLiteral("GRP_1") << QStringList{QStringLiteral("MEMBER_4")}
            << QStringLiteral("Πρόκειτε να διαγράψετε το μέλος \"Δημητρίου Δήμητρα\" από την ομάδα "
                              "\"Φίλοι\"\nΘέλετε να συνεχίσετε;");
        QTest::newRow("three from the root")
            << QStringLiteral("GRP_0")
            << QStringList{QStringLiteral("MEMBER_1"), QStringLiteral("MEMBER_4"),
                           QStringLiteral("MEMBER_6")}
            << QStringLiteral("Πρόκειτε να διαγράψετε 3 μέλη από την ομάδα \"ΟΜΑΔΕΣ SMS\"\nΘέλετε "
                              "να συνεχίσετε;");
    }
    void deletingMembers()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, selected);
        QFETCH(QString, question);
        frmGroup_Organize& w = openWindow();
        QVERIFY(clickNode(w.Groups(), group));
        selectRows(w.Members(), selected);
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteMember();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text, question);
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΕΛΩΝ"));
        for (const QString& key : selected)
            QVERIFY(!w.Members()->ListItems().Exists(key));
        if (group == QLatin1String("GRP_0")) {
            QCOMPARE(w.lstDeleted()->count(), 3);
            QCOMPARE(w.lstMembers()->ListItems().Count(), 3);
            clickSave(w);
            QCOMPARE(rows(QStringLiteral("SELECT member_id FROM members ORDER BY member_id")),
                     (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("5")}));
        } else {
            // Only the shown group's id goes: the member stays in subgroup 3.
            QCOMPARE(tagOf(w, QStringLiteral("MEMBER_4")), QStringLiteral("\\0\\3\\"));
            QCOMPARE(w.lstDeleted()->count(), 0);
        }
    }

    void findingMembersSelectsTheMatchingRows()
    {
        frmGroup_Organize& w = openWindow();
        QString last = QStringLiteral("δη");
        QString first;
        QString phone;
        QString occupation;
        w.FindMembers(last, first, phone, occupation);
        QCOMPARE(last, QStringLiteral("ΔΗ"));
        QStringList chosen;
        for (const rt::ListItem row : w.Members()->ListItems()) {
            if (row.Selected())
                chosen << row.Key();
        }
        QCOMPARE(chosen, QStringList{QStringLiteral("MEMBER_4")});
        QVERIFY(m_fx.boxes().shown().isEmpty());
        // No criterion: nothing changes. No match: every row deselected and a message.
        last.clear();
        w.FindMembers(last, first, phone, occupation);
        QVERIFY(w.Members()->ListItems().Item(QStringLiteral("MEMBER_4")).Selected());
        phone = QStringLiteral("61");
        w.FindMembers(last, first, phone, occupation);
        QVERIFY(!w.Members()->ListItems().Item(QStringLiteral("MEMBER_4")).Selected());
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Δεν βρέθηκαν μέλη με τα στοιχεία που δώσατε."));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Information));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΑΝΑΖΗΤΗΣΗ"));
    }
};

QTEST_MAIN(tst_frmgroup_organize)
#include "tst_frmgroup_organize.moc"
