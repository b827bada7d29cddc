#include "addressbook/PhoneField.h"
#include "addressbook/frmMember_Criteria.h"
#include "addressbook/frmMember_Edit.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/frmMember_List.h"
#include "addressbook/mdlGroups.h"
#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "tests/support/Docking.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using testsupport::addMember;
using testsupport::exec;
using testsupport::mainWindow;
using testsupport::ModalScript;
using testsupport::ScriptedMessageBoxes;

namespace {

QString panelText()
{
    rt::StatusPanel* panel = mainWindow().StatusBar()->Panel(QStringLiteral("frmMember_List"));
    return panel ? panel->Text() : QStringLiteral("<no panel>");
}

bool menuEnabled(const QString& name)
{
    QAction* item = mainWindow().MenuItem(name);
    return item && item->isEnabled();
}

// The listed surnames in list order.
QStringList surnames(frmMember_List& w)
{
    QStringList out;
    for (const rt::ListItem item : w.Members()->ListItems())
        out << item.Text();
    return out;
}

QStringList selectedSurnames(frmMember_List& w)
{
    QStringList out;
    for (const rt::ListItem item : w.Members()->ListItems()) {
        if (item.Selected())
            out << item.Text();
    }
    return out;
}

void typeText(QWidget* box, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

class tst_frmmember_list : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    void addAddressBook()
    {
        addMember(1, QStringLiteral("Παπαδόπουλος"), QStringLiteral("Νίκος"),
                  QStringLiteral("Γιατρός"), QStringLiteral("6944111111"), QStringLiteral("\\5\\"));
        addMember(2, QStringLiteral("Καππαπάς"), QStringLiteral("Ελένη"),
                  QStringLiteral("Δικηγόρος"), QStringLiteral("6977222222"),
                  QStringLiteral("\\15\\"));
        addMember(3, QStringLiteral("παπάς"), QStringLiteral("Γιώργος"), QVariant(),
                  QStringLiteral("6932979797"), QVariant());
        addMember(4, QStringLiteral("Ο'Μπράιαν"), QVariant(), QStringLiteral("Γιατρός"),
                  QStringLiteral("6944333333"), QStringLiteral("\\3\\7\\"));
        addMember(5, QStringLiteral("Αλεξίου"), QStringLiteral("Νίκη"), QStringLiteral("Μηχανικός"),
                  QStringLiteral("2109797000"), QStringLiteral("\\7\\5\\"));
        addMember(6, QStringLiteral("50%_Τεστ"), QStringLiteral("Άννα"), QVariant(),
                  QStringLiteral("6955555555"), QStringLiteral("\\3\\"));
    }
    frmMember_List& openList()
    {
        // As the main window opens it: the docking space freed first.
        if (mainWindow().FreeChildSpace(QStringLiteral("frmMember_List")))
            rt::Forms::get<frmMember_List>().show();
        return rt::Forms::get<frmMember_List>();
    }
    struct Row {
        QVariant last, first, occupation, mobile, memberOf;
    };
    Row row(qint64 id)
    {
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM members WHERE member_id = ?"), {id}},
            rt::RecordsetType::Snapshot);
        if (rs.eof())
            return {};
        return {rs.field(QStringLiteral("LastName")), rs.field(QStringLiteral("FirstName")),
                rs.field(QStringLiteral("Occupation")), rs.field(QStringLiteral("mobile_no")),
                rs.field(QStringLiteral("member_of"))};
    }
    int memberCount()
    {
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT COUNT(*) FROM members"), {}}, rt::RecordsetType::Snapshot);
        return rs.field(0).toInt();
    }
    void selectOnly(frmMember_List& w, const QStringList& names)
    {
        for (rt::ListItem item : w.Members()->ListItems())
            item.setSelected(names.contains(item.Text()));
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .modals = true}), qPrintable(m_fx.error()));
        addAddressBook();
        mainWindow().show();
    }
    void cleanup()
    {
        m_fx.stop();
        mdlGroups::ClearSearchCriteria();
    }

    // ---- docking ------------------------------------------------------------------------

    void docksWithItsToolbarAndPanel()
    {
        mdlGroups::SearchLastName = QStringLiteral("ΠΑΠ");
        frmMember_List& w = openList();
        QVERIFY(testsupport::verifyDocked(w, QStringLiteral("Κατάλογος Μελών")));
        QVERIFY(w.isVisible());
        QCOMPARE(testsupport::toolbarButtons(w.Toolbar()),
                 (QStringList{QStringLiteral("btnNew|Δημιουργία|Δημιουργία Νέου Μέλους"),
                              QStringLiteral("btnEdit|Διόρθωση|Διόρθωση Στοιχείων Μέλους"),
                              QStringLiteral("btnDelete|Διαγραφή|Διαγραφή Μέλους"),
                              QStringLiteral("btnCriteria|Κριτήρια|Κριτήρια Εμφάνισης "
                                             "Μελών")}));
        QCOMPARE(panelText(), QStringLiteral(" 6 μέλη"));
        QVERIFY(mdlGroups::SearchLastName.isEmpty());
        QCOMPARE(w.FrameSearch()->title(), QStringLiteral("Αναζήτηση"));
        QStringList columns;
        for (int c = 1; c <= w.Members()->ColumnCount(); ++c)
            columns << w.Members()->ColumnText(c);
        QCOMPARE(columns, (QStringList{QStringLiteral("Επίθετο"), QStringLiteral("Όνομα"),
                                       QStringLiteral("Επάγγελμα"), QStringLiteral("Κινητό")}));
        QVERIFY(w.Members()->MultiSelect());
        QCOMPARE(w.mnMembers()->ItemCount(), 4);
        QVERIFY(menuEnabled(QStringLiteral("mn_EditMember")));
        QVERIFY(menuEnabled(QStringLiteral("mn_NewMember")));
        mainWindow().grab().save(testsupport::picturePath(QStringLiteral("frmMember_List.png")));

        rt::Forms::unload(&w);
        QVERIFY(mdlMain::ChildForms().Count() == 0);
        QCOMPARE(panelText(), QStringLiteral("<no panel>"));
        QVERIFY(!menuEnabled(QStringLiteral("mn_EditMember")));
    }

    void listsTheWholeTableWithIdsInTags()
    {
        frmMember_List& w = openList();
        QCOMPARE(surnames(w),
                 (QStringList{QStringLiteral("Παπαδόπουλος"), QStringLiteral("Καππαπάς"),
                              QStringLiteral("παπάς"), QStringLiteral("Ο'Μπράιαν"),
                              QStringLiteral("Αλεξίου"), QStringLiteral("50%_Τεστ")}));
        const rt::ListItem fourth = w.Members()->ListItems().Item(4);
        QCOMPARE(fourth.Tag(), QStringLiteral("4"));
        QCOMPARE(fourth.SubItems(1), QString()); // Null reads as empty
        QCOMPARE(fourth.SubItems(2), QStringLiteral("Γιατρός"));
        QCOMPARE(fourth.SubItems(3), QStringLiteral("6944333333"));
        QCOMPARE(fourth.SmallIcon().index, 1);
    }

    // ---- display criteria ------------------------------------------------------------

    void criteriaFilterTheList_data()
    {
        QTest::addColumn<QStringList>("criteria"); // surname, first, occupation, mobile, groups
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("none") << QStringList{"", "", "", "", ""}
                              << QStringList{"Παπαδόπουλος", "Καππαπάς", "παπάς",
                                             "Ο'Μπράιαν",    "Αλεξίου",  "50%_Τεστ"};
        QTest::newRow("surname begins, any case")
            << QStringList{"ΠΑΠ", "", "", "", ""} << QStringList{"Παπαδόπουλος", "παπάς"};
        QTest::newRow("first name")
            << QStringList{"", "νίκ", "", "", ""} << QStringList{"Παπαδόπουλος", "Αλεξίου"};
        QTest::newRow("occupation")
            << QStringList{"", "", "Γιατ", "", ""} << QStringList{"Παπαδόπουλος", "Ο'Μπράιαν"};
        QTest::newRow("mobile begins")
            << QStringList{"", "", "", "6944", ""} << QStringList{"Παπαδόπουλος", "Ο'Μπράιαν"};
        QTest::newRow("all must hold")
            << QStringList{"", "", "Γιατρός", "6944", "7"} << QStringList{"Ο'Μπράιαν"};
        QTest::newRow("group 5 not 15, never none")
            << QStringList{"", "", "", "", "5"} << QStringList{"Παπαδόπουλος", "Αλεξίου"};
        QTest::newRow("any of the groups") << QStringList{"", "", "", "", "3,15"}
                                           << QStringList{"Καππαπάς", "Ο'Μπράιαν", "50%_Τεστ"};
        QTest::newRow("groups and surname")
            << QStringList{"Ο", "", "", "", "3,7"} << QStringList{"Ο'Μπράιαν"};
        QTest::newRow("apostrophe")
            << QStringList{"Ο'Μ", "", "", "", ""} << QStringList{"Ο'Μπράιαν"};
        QTest::newRow("wildcards are characters")
            << QStringList{"50%_", "", "", "", ""} << QStringList{"50%_Τεστ"};
        QTest::newRow("percent alone") << QStringList{"%", "", "", "", ""} << QStringList{};
    }
    void criteriaFilterTheList()
    {
        QFETCH(QStringList, criteria);
        QFETCH(QStringList, listed);
        frmMember_List& w = openList();
        w.SetListCriteria(criteria[0], criteria[1], criteria[2], criteria[3], criteria[4]);
        QCOMPARE(surnames(w), listed);
        QCOMPARE(panelText(),
                 QLatin1Char(' ') + QString::number(listed.size()) + QStringLiteral(" μέλη"));
        QCOMPARE(w.qrLastName, criteria[0]);
        QCOMPARE(w.qrGroups, criteria[4]);
        QCOMPARE(w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")), !listed.isEmpty());
        QCOMPARE(menuEnabled(QStringLiteral("mn_DeleteMember")), !listed.isEmpty());
    }

    void criteriaDialogAppliesOnOKOnly()
    {
        exec(QStringLiteral("INSERT INTO groups (group_id, group_name, subgroup_of) "
                            "VALUES (7, 'Γείτονες', 0), (3, 'Φίλοι', 0)"));
        frmMember_List& w = openList();
        w.SetListCriteria(QString(), QString(), QString(), QString(), QStringLiteral("3,99"));
        QStringList shownGroups;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMember_Criteria&>(form);
            shownGroups << dialog.SelectedGroupIds();
            dialog.cmdClear()->click();
            dialog.cmdCancel()->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnCriteria"))->click();
        QCOMPARE(shownGroups, QStringList{QStringLiteral("3")});
        // Cleared and cancelled: as before.
        QCOMPARE(surnames(w),
                 (QStringList{QStringLiteral("Ο'Μπράιαν"), QStringLiteral("50%_Τεστ")}));
        QCOMPARE(w.qrGroups, QStringLiteral("3,99"));

        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMember_Criteria&>(form);
            dialog.txtLastName()->setText(QStringLiteral("ο"));
            dialog.lstGroups()->item(0)->setSelected(true); // Γείτονες, 7
            dialog.cmdOK()->click();
        });
        w.mnMembers_Click(QStringLiteral("mnCriteria"), false);
        QCOMPARE(w.qrGroups, QStringLiteral("7,3")); // list order; the lost group dropped
        QCOMPARE(surnames(w), QStringList{QStringLiteral("Ο'Μπράιαν")});

        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMember_Criteria&>(form);
            dialog.cmdClear()->click();
            dialog.cmdOK()->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnCriteria"))->click();
        QCOMPARE(surnames(w).size(), 6);
        QCOMPARE(m_fx.modals().shownNames(), (QStringList{QStringLiteral("frmMember_Criteria"),
                                                          QStringLiteral("frmMember_Criteria"),
                                                          QStringLiteral("frmMember_Criteria")}));
    }

    // ---- writing ------------------------------------------------------------------------

    void newMemberIsWrittenAndSelectedAlone()
    {
        frmMember_List& w = openList();
        w.SetListCriteria(QStringLiteral("Παπ"), QString(), QString(), QString(), QString());
        selectOnly(w, {QStringLiteral("παπάς")});
        w.UpdateMember(QString(), QStringLiteral("Ζήσης"), QString(), QString(),
                       QStringLiteral("6900000000"));
        // Shown although it does not match the criteria, selected alone.
        QCOMPARE(surnames(w).last(), QStringLiteral("Ζήσης"));
        QCOMPARE(selectedSurnames(w), QStringList{QStringLiteral("Ζήσης")});
        QVERIFY(w.Members()->MultiSelect());
        const qint64 id = w.Members()->ListItems().Item(3).Tag().toLongLong();
        QVERIFY(id > 6);
        const Row written = row(id);
        QCOMPARE(written.last.toString(), QStringLiteral("Ζήσης"));
        QVERIFY(!written.first.isValid()); // empty texts are stored as Null
        QVERIFY(!written.occupation.isValid());
        QVERIFY(!written.memberOf.isValid());
        QCOMPARE(panelText(), QStringLiteral(" 3 μέλη"));
        // The next criteria change lets it go.
        w.SetListCriteria(QStringLiteral("Παπ"), QString(), QString(), QString(), QString());
        QCOMPARE(surnames(w).size(), 2);
    }

    void existingMemberIsRewrittenInPlace()
    {
        frmMember_List& w = openList();
        w.UpdateMember(QStringLiteral("2"), QStringLiteral("Καππά"), QStringLiteral("Ελένη"),
                       QStringLiteral("Νομικός"), QStringLiteral("6977000000"));
        QCOMPARE(memberCount(), 6);
        const rt::ListItem item = w.Members()->ListItems().Item(2);
        QCOMPARE(item.Text(), QStringLiteral("Καππά"));
        QCOMPARE(item.SubItems(2), QStringLiteral("Νομικός"));
        QCOMPARE(item.SubItems(3), QStringLiteral("6977000000"));
        QCOMPARE(item.Tag(), QStringLiteral("2"));
        QCOMPARE(selectedSurnames(w), QStringList{QStringLiteral("Καππά")});
        const Row written = row(2);
        QCOMPARE(written.last.toString(), QStringLiteral("Καππά"));
        QCOMPARE(written.mobile.toString(), QStringLiteral("6977000000"));
        QCOMPARE(written.memberOf.toString(), QStringLiteral("\\15\\")); // groups untouched
    }

    void aMemberDeletedMeanwhileComesBackAsANewRow()
    {
        frmMember_List& w = openList();
        exec(QStringLiteral("DELETE FROM members WHERE member_id = 2"));
        w.UpdateMember(QStringLiteral("2"), QStringLiteral("Καππά"), QString(), QString(),
                       QStringLiteral("69"));
        QCOMPARE(memberCount(), 6);
        QCOMPARE(w.Members()->ListItems().Count(), 6);
        const rt::ListItem item = w.Members()->ListItems().Item(2);
        QCOMPARE(item.Text(), QStringLiteral("Καππά"));
        QCOMPARE(row(item.Tag().toLongLong()).last.toString(), QStringLiteral("Καππά"));
    }

    void editDialogRoundTrip()
    {
        frmMember_List& w = openList();
        selectOnly(w, {QStringLiteral("Αλεξίου")});
        w.Members()->setSelectedItem(w.Members()->ListItems().Item(5));
        QStringList shown;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMember_Edit&>(form);
            shown << dialog.windowTitle() << dialog.Text_0()->Text() << dialog.Text_1()->Text()
                  << dialog.cmbOccup()->currentText() << dialog.txtPhone()->Text();
            dialog.Text_1()->setText(QStringLiteral("Νικολέτα"));
            dialog.cmdOK()->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnEdit"))->click();
        QCOMPARE(shown, (QStringList{QStringLiteral("Διόρθωση Στοιχείων Μέλους"),
                                     QStringLiteral("Αλεξίου"), QStringLiteral("Νίκη"),
                                     QStringLiteral("Μηχανικός"), QStringLiteral("2109797000")}));
        QCOMPARE(row(5).first.toString(), QStringLiteral("Νικολέτα"));
        QCOMPARE(w.Members()->ListItems().Item(5).SubItems(1), QStringLiteral("Νικολέτα"));

        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMember_Edit&>(form);
            typeText(dialog.txtPhone()->box(), QStringLiteral("6912345678"));
            dialog.cmdOK()->click();
        });
        w.NewMember();
        QCOMPARE(memberCount(), 7);
        QCOMPARE(surnames(w).last(), QStringLiteral("Μέλος 1"));
        QCOMPARE(w.Members()->ListItems().Item(7).SubItems(3), QStringLiteral("6912345678"));
    }

    void firstMemberOfAnEmptyListEnablesTheCommands()
    {
        frmMember_List& w = openList();
        w.SetListCriteria(QStringLiteral("Κανείς"), QString(), QString(), QString(), QString());
        QVERIFY(!menuEnabled(QStringLiteral("mn_EditMember")));
        w.UpdateMember(QString(), QStringLiteral("Κανείς"), QString(), QString(),
                       QStringLiteral("69"));
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")));
        QVERIFY(menuEnabled(QStringLiteral("mn_EditMember")));
        QVERIFY(menuEnabled(QStringLiteral("mn_DeleteMember")));
    }

    // ---- deleting -----------------------------------------------------------------------

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("question");
        QTest::newRow("one") << QStringList{"Αλεξίου"}
                             << QStringLiteral("Θέλετε να διαγράψετε το μέλος \"Αλεξίου Νίκη\";");
        QTest::newRow("three") << QStringList{"Παπαδόπουλος", "παπάς", "Αλεξίου"}
                               << QStringLiteral("Θέλετε να διαγράψετε τα 3 μέλη που επιλέξατε;");
    }
    void deleteAsksFirst()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, question);
        frmMember_List& w = openList();
        // The focus on another item does not change whom the question names.
        w.Members()->setSelectedItem(w.Members()->ListItems().Item(2));
        selectOnly(w, selected);

        m_fx.boxes().answer(rt::mb::No);
        w.DeleteMember();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text, question);
        QCOMPARE(m_fx.boxes().shown().first().style, rt::mb::Question | rt::mb::YesNo);
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΕΛΟΥΣ"));
        QCOMPARE(memberCount(), 6);
        QCOMPARE(surnames(w).size(), 6);

        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteMember();
        QCOMPARE(memberCount(), 6 - selected.size());
        QStringList left = surnames(w);
        for (const QString& name : selected)
            QVERIFY(!left.contains(name));
        QCOMPARE(left.size(), 6 - selected.size());
        QCOMPARE(panelText(),
                 QLatin1Char(' ') + QString::number(left.size()) + QStringLiteral(" μέλη"));
        // What the list shows is what the table holds.
        w.SetListCriteria(QString(), QString(), QString(), QString(), QString());
        QCOMPARE(surnames(w), left);
    }

    void deletingTheLastItemDisablesTheCommands()
    {
        frmMember_List& w = openList();
        w.SetListCriteria(QStringLiteral("Αλε"), QString(), QString(), QString(), QString());
        selectOnly(w, {QStringLiteral("Αλεξίου")});
        m_fx.boxes().answer(rt::mb::Yes);
        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();
        QCOMPARE(w.Members()->ListItems().Count(), 0);
        QVERIFY(!w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")));
        QVERIFY(!w.Toolbar()->isButtonEnabled(QStringLiteral("btnDelete")));
        QVERIFY(!menuEnabled(QStringLiteral("mn_EditMember")));
        QVERIFY(!menuEnabled(QStringLiteral("mn_DeleteMember")));
        QCOMPARE(panelText(), QStringLiteral(" 0 μέλη"));
        // Nothing selected: nothing asked, nothing done.
        m_fx.boxes().clear();
        w.DeleteMember();
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void aFailedDeleteKeepsEveryMember()
    {
        frmMember_List& w = openList();
        exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON members WHEN OLD.member_id = 5 "
                            "BEGIN SELECT RAISE(ABORT, 'kept row'); END"));
        selectOnly(w, {QStringLiteral("Παπαδόπουλος"), QStringLiteral("Αλεξίου")});
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteMember();
        QCOMPARE(memberCount(), 6);
        QCOMPARE(surnames(w).size(), 6);
        QCOMPARE(m_fx.boxes().shown().size(), 2);
        QVERIFY(m_fx.boxes().shown().at(1).text.contains(QStringLiteral("kept row")));
    }

    // ---- finding ------------------------------------------------------------------------

    void findSelectsTheMatchingMembers_data()
    {
        QTest::addColumn<QStringList>("criteria"); // surname, first name, phone, occupation
        QTest::addColumn<QStringList>("found");
        QTest::newRow("surname in lower case")
            << QStringList{"παπ", "", "", ""} << QStringList{"Παπαδόπουλος", "παπάς"};
        QTest::newRow("surname and phone")
            << QStringList{"παπ", "", "6944", ""} << QStringList{"Παπαδόπουλος"};
        QTest::newRow("first name")
            << QStringList{"", "Νίκ", "", ""} << QStringList{"Παπαδόπουλος", "Αλεξίου"};
        QTest::newRow("occupation")
            << QStringList{"", "", "", "γιατρ"} << QStringList{"Παπαδόπουλος", "Ο'Μπράιαν"};
        QTest::newRow("phone begins only") << QStringList{"", "", "97", ""} << QStringList{};
    }
    void findSelectsTheMatchingMembers()
    {
        QFETCH(QStringList, criteria);
        QFETCH(QStringList, found);
        frmMember_List& w = openList();
        selectOnly(w, {QStringLiteral("Καππαπάς")});
        frmMember_Find& dialog = rt::Forms::get<frmMember_Find>();
        dialog.SearchMember();
        dialog.Text_0()->setText(criteria[0]);
        dialog.Text_1()->setText(criteria[1]);
        dialog.txtPhone()->setText(criteria[2]);
        dialog.cmbOccup()->setEditText(criteria[3]);
        dialog.cmdFind()->click();
        if (found.isEmpty()) {
            QCOMPARE(m_fx.boxes().shown().size(), 1);
            QCOMPARE(m_fx.boxes().shown().first().text,
                     QStringLiteral("Δεν βρέθηκαν μέλη με τα στοιχεία που δώσατε."));
            QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Information));
            QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΑΝΑΖΗΤΗΣΗ"));
            QVERIFY(rt::Forms::find<frmMember_Find>());
        } else {
            QVERIFY(m_fx.boxes().shown().isEmpty());
            QCOMPARE(selectedSurnames(w), found);
            QVERIFY(!rt::Forms::find<frmMember_Find>());
        }
        // Remembered in capitals for the next search.
        QCOMPARE(mdlGroups::SearchLastName, criteria[0].toUpper());
        QCOMPARE(mdlGroups::SearchOccupation, criteria[3].toUpper());
    }

    void findWithNothingGivenDoesNothing()
    {
        frmMember_List& w = openList();
        selectOnly(w, {QStringLiteral("Καππαπάς")});
        frmMember_Find& dialog = rt::Forms::get<frmMember_Find>();
        dialog.SearchMember();
        dialog.cmdFind()->click();
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QCOMPARE(selectedSurnames(w), QStringList{QStringLiteral("Καππαπάς")});
        QVERIFY(rt::Forms::find<frmMember_Find>());
    }

    void searchAsYouType()
    {
        frmMember_List& w = openList();
        typeText(w.txtSearchName(), QStringLiteral("ΚΑΠ"));
        QCOMPARE(selectedSurnames(w), QStringList{QStringLiteral("Καππαπάς")});
        // No match leaves the selection alone.
        typeText(w.txtSearchName(), QStringLiteral("Ω"));
        QCOMPARE(selectedSurnames(w), QStringList{QStringLiteral("Καππαπάς")});
        // The mobile is matched anywhere in the number, the first such member wins.
        typeText(w.txtSearchPhone(), QStringLiteral("97"));
        QCOMPARE(selectedSurnames(w), QStringList{QStringLiteral("Καππαπάς")});
        w.txtSearchPhone()->setText(QStringLiteral("9797"));
        QCOMPARE(selectedSurnames(w), QStringList{QStringLiteral("παπάς")});
    }

    // After a find has chosen several members, "select alone" (the edit's OK, the search
    // boxes) leaves exactly one chosen: the next delete asks about that one and deletes it.
    void selectedAloneAfterAFind_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("alone");
        QTest::newRow("edit, OK") << "edit"
                                  << "Παπαδόπουλος";
        QTest::newRow("the surname box") << "surname"
                                         << "Παπαδόπουλος";
        QTest::newRow("the mobile box") << "mobile"
                                        << "παπάς";
    }
    void selectedAloneAfterAFind()
    {
        QFETCH(QString, how);
        QFETCH(QString, alone);
        frmMember_List& w = openList();
        frmMember_Find& dialog = rt::Forms::get<frmMember_Find>();
        dialog.SearchMember();
        dialog.Text_0()->setText(QStringLiteral("παπ"));
        dialog.cmdFind()->click();
        QCOMPARE(selectedSurnames(w),
                 (QStringList{QStringLiteral("Παπαδόπουλος"), QStringLiteral("παπάς")}));

        if (how == QLatin1String("edit")) {
            m_fx.modals().then([](rt::Form& form) {
                auto& dialog = static_cast<frmMember_Edit&>(form);
                dialog.Text_1()->setText(QStringLiteral("Κώστας"));
                dialog.cmdOK()->click();
            });
            w.Toolbar()->Button(QStringLiteral("btnEdit"))->click();
            QCOMPARE(m_fx.modals().shownNames(), QStringList{QStringLiteral("frmMember_Edit")});
        } else if (how == QLatin1String("surname")) {
            typeText(w.txtSearchName(), QStringLiteral("π"));
        } else {
            typeText(w.txtSearchPhone(), QStringLiteral("6932"));
        }
        if (how == QLatin1String("edit"))
            QCOMPARE(w.Members()->ListItems().Item(1).SubItems(1), QStringLiteral("Κώστας"));
        QCOMPARE(selectedSurnames(w), QStringList{alone});
        QCOMPARE(w.Members()->SelectedItem().Text(), alone);
        w.Members()->Refresh();
        QCOMPARE(w.Members()->selectionModel()->selectedRows().size(), 1);

        m_fx.boxes().answer(rt::mb::Yes);
        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY2(m_fx.boxes().shown().first().text.startsWith(
                     QStringLiteral("Θέλετε να διαγράψετε το μέλος \"") + alone + QLatin1Char(' ')),
                 qPrintable(m_fx.boxes().shown().first().text));
        QCOMPARE(memberCount(), 5);
        QVERIFY(!surnames(w).contains(alone));
    }

    void columnClickSorts()
    {
        frmMember_List& w = openList();
        emit w.Members()->ColumnClick(4);
        QCOMPARE(w.Members()->SortKey(), 3);
        QVERIFY(w.Members()->Sorted());
        QCOMPARE(surnames(w).first(), QStringLiteral("Αλεξίου")); // 2109797000
        emit w.Members()->ColumnClick(1);
        QCOMPARE(surnames(w),
                 (QStringList{QStringLiteral("50%_Τεστ"), QStringLiteral("Αλεξίου"),
                              QStringLiteral("Καππαπάς"), QStringLiteral("Ο'Μπράιαν"),
                              QStringLiteral("Παπαδόπουλος"), QStringLiteral("παπάς")}));
    }

    void popupMenuFollowsTheList()
    {
        frmMember_List& w = openList();
        w.SetListCriteria(QStringLiteral("Κανείς"), QString(), QString(), QString(), QString());
        QStringList states;
        QTimer::singleShot(0, [&] {
            states << QString::number(w.mnMembers()->MenuState(QStringLiteral("mnOpen")))
                   << QString::number(w.mnMembers()->MenuState(QStringLiteral("mnDelete")))
                   << QString::number(w.mnMembers()->MenuState(QStringLiteral("mnCriteria")));
            w.mnMembers()->mnPopup()->close();
        });
        w.Members_MouseUp(2, 0, QPoint(5, 5));
        QCOMPARE(states, (QStringList{"0", "0", "1"}));
    }
};

QTEST_MAIN(tst_frmmember_list)
#include "tst_frmmember_list.moc"
