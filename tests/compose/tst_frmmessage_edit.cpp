#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/OriginatorControl.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "compose/CharacterMap.h"
#include "compose/ClockControl.h"
#include "compose/ExtraPhonesEditor.h"
#include "compose/MessageEditor.h"
#include "compose/frmMessage_Edit.h"
#include "platform/AxButton.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MonthView.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "tests/support/Docking.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"
#include "tests/support/Views.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

using testsupport::addGroup;
using testsupport::exec;
using testsupport::keysAndIcons;
using testsupport::mainWindow;
using testsupport::nodeIndex;
using testsupport::ScriptedMessageBoxes;

namespace {

rt::StatusPanel* panel(const QString& key)
{
    return mainWindow().StatusBar()->Panel(key);
}

QStringList tickedMasterKeys(frmMessage_Edit& w)
{
    QStringList out;
    for (const rt::ListItem item : w.lstMembers()->ListItems()) {
        if (item.Checked())
            out << item.Key();
    }
    return out;
}

QStringList tickedNodeKeys(frmMessage_Edit& w)
{
    QStringList out;
    rt::Nodes nodes = w.Groups()->Nodes();
    for (int i = 1; i <= nodes.Count(); ++i) {
        if (nodes.Item(i).Checked())
            out << nodes.Item(i).Key();
    }
    return out;
}

// Ticks or unticks a node's box as the user's click does: through the view's model,
// which raises NodeCheck with the new state.
bool clickNodeBox(frmMessage_Edit& w, const QString& key)
{
    const QModelIndex index = nodeIndex(w.Groups(), key);
    if (!index.isValid())
        return false;
    const Qt::CheckState next =
        index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    return w.Groups()->model()->setData(index, next, Qt::CheckStateRole);
}

// Selects a node with a left click on its text: the tree raises NodeClick.
bool clickNode(frmMessage_Edit& w, const QString& key)
{
    rt::TreeView* tree = w.Groups();
    const QModelIndex index = nodeIndex(tree, key);
    if (!index.isValid())
        return false;
    tree->scrollTo(index);
    const QRect place = tree->visualRect(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(place.right() - 4, place.center().y()));
    return tree->SelectedItem().Key() == key;
}

// Clicks a member's tick box as the user does, through the view's model.
void clickMemberBox(frmMessage_Edit& w, const QString& key)
{
    rt::ListView* list = w.Members();
    list->Refresh();
    const int row = list->ListItems().Item(key).Index() - 1;
    const QModelIndex index = list->model()->index(row, 0);
    const Qt::CheckState next =
        index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    list->model()->setData(index, next, Qt::CheckStateRole);
}

QStringList keysOf(std::initializer_list<int> ids, const char* prefix = "MEMBER_")
{
    QStringList out;
    for (int id : ids)
        out << QString::fromLatin1(prefix) + QString::number(id);
    return out;
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

class tst_frmmessage_edit : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    void addMember(int id, const QString& last, const QString& phone, const QVariant& memberOf)
    {
        testsupport::addMember(id, last, QStringLiteral("Όνομα"), QStringLiteral("Ιδιότητα"), phone,
                               memberOf);
    }

    // Groups 1 and 2 at the top, 3 below 1, 4 below 3 (made before its parent 5 would be a
    // problem only if rows came first: 6 is below 7, which comes later in the table).
    void addAddressBook()
    {
        addGroup(1, QStringLiteral("Φίλοι"), 0);
        addGroup(2, QStringLiteral("Συνάδελφοι"), 0);
        addGroup(3, QStringLiteral("Κοντινοί"), 1);
        addGroup(4, QStringLiteral("Πολύ κοντινοί"), 3);
        addGroup(6, QStringLiteral("Μετακινημένη"), 7);
        addGroup(7, QStringLiteral("Νεότερη"), 2);
        addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("6911111111"), QVariant());
        addMember(2, QStringLiteral("Βασιλείου"), QStringLiteral("6922222222"),
                  QStringLiteral("\\1\\"));
        addMember(3, QStringLiteral("Γεωργίου"), QStringLiteral("6933333333"),
                  QStringLiteral("\\3\\"));
        addMember(4, QStringLiteral("Δημητρίου"), QStringLiteral("6944444444"),
                  QStringLiteral("\\3\\1\\"));
        addMember(5, QStringLiteral("Ευαγγέλου"), QStringLiteral("6955555555"),
                  QStringLiteral("\\2\\"));
        addMember(6, QStringLiteral("Ζαχαρίου"), QStringLiteral("6966666666"),
                  QStringLiteral("\\99\\4\\"));
        addMember(7, QStringLiteral("Ηλιού"), QStringLiteral("6977777777"), QStringLiteral(""));
        addMember(8, QStringLiteral("Θεοδώρου"), QStringLiteral("6988888888"),
                  QStringLiteral("\\6\\"));
    }

    frmMessage_Edit& openWindow()
    {
        mainWindow().mnNewMessage_Click();
        return rt::Forms::get<frmMessage_Edit>();
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true}), qPrintable(m_fx.error()));
        mdlSettings::Originator = QStringLiteral("Vantrel");
        addAddressBook();
        mainWindow().show();
    }
    void cleanup()
    {
        rt::Forms::discardAll();
        rt::setClock(nullptr);
        m_fx.stop();
    }

    // ---- load, docking and unload ----------------------------------------------------

    void newMessageCommandDocksTheWindow()
    {
        QToolButton* button = mainWindow().MainToolBar()->Button(QStringLiteral("btnNewMessage"));
        QVERIFY(button);
        button->click();
        frmMessage_Edit* w = rt::Forms::find<frmMessage_Edit>();
        QVERIFY(w);
        QVERIFY(testsupport::verifyDocked(*w, QStringLiteral("Δημιουργία Μηνύματος")));
        QVERIFY(w->isVisible());
        QCOMPARE(
            testsupport::toolbarButtons(w->Toolbar()),
            (QStringList{
                QStringLiteral(
                    "btnInstantGroup|Άμεση Ομαδοποίηση|Άμεση Δημιουργία Ομάδας για Αποστολή"),
                QStringLiteral("btnSaveMsg|Αποθήκευση|Αποθήκευση Μηνύματος"),
                QStringLiteral("btnMsgTimer|Προγραμματισμός|Προγραμματισμός Αποστολής Μηνύματος"),
                QStringLiteral("btnSend|Αποστολή|Αποστολή Μηνύματος")}));
        // It stands right of the main toolbar's buttons and no taller than the strip.
        const QRect own = w->Toolbar()->geometry();
        QVERIFY(own.left() >= mainWindow().MainToolBar()->geometry().right());
        QVERIFY(own.bottom() < mainWindow().tlbrPicture()->height());

        QCOMPARE(mainWindow().StatusBar()->Keys(),
                 (QStringList{QStringLiteral("pnlCharCount"), QStringLiteral("pnlSMSCount"),
                              QStringLiteral("pnlSMSDate"), QStringLiteral("pnlSMSAvailable"),
                              QStringLiteral("pnlConnection")}));
        QCOMPARE(panel(QStringLiteral("pnlCharCount"))->Text(), QStringLiteral(" 160"));
        QCOMPARE(panel(QStringLiteral("pnlCharCount"))->ToolTipText(),
                 QStringLiteral("Απομένουν: 160 Χαρακτήρες"));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 0"));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->ToolTipText(),
                 QStringLiteral("Παραλήπτες: 0"));
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->Text(), QStringLiteral(" Άμεση Αποστολή"));
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->ToolTipText(),
                 QStringLiteral("Προγραμματισμένος Χρόνος Αποστολής: Άμεσα"));
        for (const QString& key : {QStringLiteral("pnlCharCount"), QStringLiteral("pnlSMSCount"),
                                   QStringLiteral("pnlSMSDate")})
            QVERIFY2(!panel(key)->Picture().isNull(), qPrintable(key));

        QCOMPARE(w->Message()->ValidSymbols(), frmMessage_Edit::validSymbols());
        QCOMPARE(frmMessage_Edit::validSymbols().size(), 117);
        QCOMPARE(w->mnPopup()->ItemCount(), 1);
        QCOMPARE(w->mnPopup()->submenu(0)->text(),
                 QStringLiteral("Προσθήκη στα Πρόσθετα Τηλέφωνα"));
        QCOMPARE(w->txtOriginator()->Text(), QStringLiteral("Vantrel"));
        QCOMPARE(w->cmdOrigDefault()->text(), QStringLiteral("Προεπιλογή"));
        QCOMPARE(w->Label1()->text(), QStringLiteral("Αποστολέας"));
        QVERIFY(w->CharMap()->isHidden());
        QCOMPARE(w->cmdExpand()->ToolTipText(), QStringLiteral("Εμφάνιση του Πίνακα Χαρακτήρων"));
        QCOMPARE(w->MsgID, 0);
        QVERIFY(!w->MessageSent());
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void aDefaultOriginatorLeavesTheMessageModified_data()
    {
        QTest::addColumn<QString>("originator");
        QTest::addColumn<bool>("modified");
        QTest::newRow("none") << QString() << false;
        QTest::newRow("default") << QStringLiteral("Vantrel") << true;
    }
    void aDefaultOriginatorLeavesTheMessageModified()
    {
        QFETCH(QString, originator);
        QFETCH(bool, modified);
        mdlSettings::Originator = originator;
        frmMessage_Edit& w = openWindow();
        QCOMPARE(w.Toolbar()->isButtonEnabled(QStringLiteral("btnSaveMsg")), modified);
        QCOMPARE(mainWindow().MenuItem(QStringLiteral("mn_SaveMessage"))->isEnabled(), modified);
        QVERIFY(mainWindow().MenuItem(QStringLiteral("mn_SaveMessageAs"))->isEnabled());
        QVERIFY(mainWindow().MenuItem(QStringLiteral("mn_SendMessage"))->isEnabled());
        // Any change marks it modified.
        w.Message()->setTitle(QStringLiteral("Τίτλος"));
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnSaveMsg")));
        QVERIFY(mainWindow().MenuItem(QStringLiteral("mn_SaveMessage"))->isEnabled());
    }

    void closingNeverRefusesAndTakesEverythingBack()
    {
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("Μη αποθηκευμένο"));
        QPointer<rt::Toolbar> toolbar = w.Toolbar();
        w.formTitle()->cmdClose()->click();
        QVERIFY(!rt::Forms::find<frmMessage_Edit>());
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
        QCOMPARE(mainWindow().StatusBar()->Keys(),
                 (QStringList{QStringLiteral("pnlSMSAvailable"), QStringLiteral("pnlConnection")}));
        QVERIFY(!toolbar || toolbar->parentWidget() != mainWindow().tlbrPicture());
        QVERIFY(!mainWindow().MenuItem(QStringLiteral("mn_SendMessage"))->isEnabled());
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void aDatabaseErrorWhileLoadingIsShownAndTheWindowStillDocks()
    {
        exec(QStringLiteral("DROP TABLE members"));
        frmMessage_Edit& w = openWindow();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
        QCOMPARE(w.Groups()->Nodes().Count(), 7);
        QVERIFY(panel(QStringLiteral("pnlSMSDate")));
        w.formTitle()->cmdClose()->click();
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
    }

    void aNewWindowStartsAfresh()
    {
        frmMessage_Edit& first = openWindow();
        first.SendTime = QStringLiteral("18:30");
        first.SendDate = QStringLiteral("15/03/2023");
        first.ShowSendTime();
        QVERIFY(first.CreateInstantGroup({QStringLiteral("SELECT * FROM members"), {}}).ok);
        QVERIFY(first.CreateInstantGroup({QStringLiteral("SELECT * FROM members"), {}}).ok);
        QCOMPARE(first.Groups()->Nodes().Item(first.Groups()->Nodes().Count()).Text(),
                 QStringLiteral("Προσωρινή Ομάδα 2"));
        QVERIFY(clickNodeBox(first, QStringLiteral("GRP_0")));

        // The command asks the docked message window to close too, and loads a new one.
        mainWindow().mnNewMessage_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmMessage_Edit& w = rt::Forms::get<frmMessage_Edit>();
        QCOMPARE(mdlMain::ChildForms().Count(), 1);
        QCOMPARE(w.SendTime, QString());
        QCOMPARE(w.SendDate, QString());
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->Text(), QStringLiteral(" Άμεση Αποστολή"));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 0"));
        QCOMPARE(w.InstantGroupCount(), 0);
        QVERIFY(tickedMasterKeys(w).isEmpty());
        QVERIFY(w.CreateInstantGroup({QStringLiteral("SELECT * FROM members"), {}}).ok);
        QCOMPARE(w.Groups()->Nodes().Item(w.Groups()->Nodes().Count()).Text(),
                 QStringLiteral("Προσωρινή Ομάδα 1"));
    }

    // ---- the tree and the lists -------------------------------------------------------

    void treeFollowsTheGroupsTable()
    {
        // A group whose parent is gone has no place in the tree.
        addGroup(8, QStringLiteral("Ορφανή"), 50);
        exec(QStringLiteral(
            "INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (9, NULL, 0)"));
        frmMessage_Edit& w = openWindow();
        rt::Nodes nodes = w.Groups()->Nodes();
        QStringList shape;
        for (int i = 1; i <= nodes.Count(); ++i) {
            const rt::Node node = nodes.Item(i);
            shape << node.Key() + QLatin1Char('<') +
                         (node.Parent() ? node.Parent().Key() : QString()) + QLatin1Char(':') +
                         node.Text() + QLatin1Char(':') + QString::number(node.Image().index) +
                         QString::number(node.SelectedImage().index);
        }
        QCOMPARE(shape, (QStringList{QStringLiteral("GRP_0<:ΟΜΑΔΕΣ SMS:10"),
                                     QStringLiteral("GRP_1<GRP_0:Φίλοι:23"),
                                     QStringLiteral("GRP_2<GRP_0:Συνάδελφοι:23"),
                                     QStringLiteral("GRP_9<GRP_0::23"),
                                     QStringLiteral("GRP_3<GRP_1:Κοντινοί:23"),
                                     QStringLiteral("GRP_4<GRP_3:Πολύ κοντινοί:23"),
                                     QStringLiteral("GRP_7<GRP_2:Νεότερη:23"),
                                     QStringLiteral("GRP_6<GRP_7:Μετακινημένη:23")}));
        QVERIFY(nodes.Item(QStringLiteral("GRP_0")).Expanded());
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void masterListHoldsEveryMemberWithItsTag()
    {
        frmMessage_Edit& w = openWindow();
        QVERIFY(w.lstMembers()->isHidden());
        QStringList rows;
        for (const rt::ListItem item : w.lstMembers()->ListItems())
            rows << item.Key() + QLatin1Char('|') + item.Text() + QLatin1Char('|') +
                        item.SubItems(3) + QLatin1Char('|') + item.Tag();
        QCOMPARE(rows.size(), 8);
        QCOMPARE(rows.at(0), QStringLiteral("MEMBER_1|Αλεξίου|6911111111|\\0\\"));
        QCOMPARE(rows.at(3), QStringLiteral("MEMBER_4|Δημητρίου|6944444444|\\0\\3\\1\\"));
        // An empty membership is no membership: the member still belongs to the root.
        QCOMPARE(rows.at(6), QStringLiteral("MEMBER_7|Ηλιού|6977777777|\\0\\"));
        const rt::ListItem first = w.lstMembers()->ListItems().Item(1);
        QCOMPARE(first.SubItems(1), QStringLiteral("Όνομα"));
        QCOMPARE(first.SubItems(2), QStringLiteral("Ιδιότητα"));
    }

    void selectingAGroupShowsItsMembersWithTheirIcons_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("root") << QStringLiteral("GRP_0")
                              << QStringList{"MEMBER_1=1", "MEMBER_2=1", "MEMBER_3=1",
                                             "MEMBER_4=1", "MEMBER_5=1", "MEMBER_6=1",
                                             "MEMBER_7=1", "MEMBER_8=1"};
        // Member 4 is in 1 and in 3 below it: once, as a member of 1 itself.
        QTest::newRow("group with subgroups")
            << QStringLiteral("GRP_1")
            << QStringList{"MEMBER_2=4", "MEMBER_3=5", "MEMBER_4=4", "MEMBER_6=5"};
        QTest::newRow("subgroup") << QStringLiteral("GRP_3")
                                  << QStringList{"MEMBER_3=4", "MEMBER_4=4", "MEMBER_6=5"};
        QTest::newRow("parent made later")
            << QStringLiteral("GRP_2") << QStringList{"MEMBER_5=4", "MEMBER_8=5"};
        QTest::newRow("leaf") << QStringLiteral("GRP_6") << QStringList{"MEMBER_8=4"};
    }
    void selectingAGroupShowsItsMembersWithTheirIcons()
    {
        QFETCH(QString, node);
        QFETCH(QStringList, expected);
        frmMessage_Edit& w = openWindow();
        QVERIFY(clickNode(w, node));
        QCOMPARE(keysAndIcons(w.Members()), expected);
        QVERIFY(w.Members()->isVisible());
        const rt::ListItem shown = w.Members()->ListItems().Item(1);
        const rt::ListItem master = w.lstMembers()->ListItems().Item(shown.Key());
        for (int s = 1; s <= 3; ++s)
            QCOMPARE(shown.SubItems(s), master.SubItems(s));
    }

    void columnClickSortsTheVisibleList()
    {
        addMember(9, QStringLiteral("Ωμέγα"), QStringLiteral("6900000000"),
                  QStringLiteral("\\2\\"));
        frmMessage_Edit& w = openWindow();
        emit w.Members()->ColumnClick(4);
        QCOMPARE(w.Members()->SortKey(), 3);
        QCOMPARE(w.Members()->ListItems().Item(1).Key(), QStringLiteral("MEMBER_9"));
        QCOMPARE(w.lstMembers()->ListItems().Item(1).Key(), QStringLiteral("MEMBER_1"));
        emit w.Members()->ColumnClick(1);
        QCOMPARE(w.Members()->ListItems().Item(1).Key(), QStringLiteral("MEMBER_1"));
    }

    // ---- ticks ------------------------------------------------------------------------

    void tickingTheRootTicksEveryNodeAndMember()
    {
        frmMessage_Edit& w = openWindow();
        QVERIFY(
            w.CreateInstantGroup({QStringLiteral("SELECT * FROM members WHERE member_id=2"), {}})
                .ok);
        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_0")));
        QCOMPARE(tickedNodeKeys(w).size(), w.Groups()->Nodes().Count());
        QCOMPARE(tickedMasterKeys(w).size(), 8);
        for (const rt::ListItem item : w.Members()->ListItems())
            QVERIFY2(item.Checked(), qPrintable(item.Key()));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 8"));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->ToolTipText(),
                 QStringLiteral("Παραλήπτες: 8"));

        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_0")));
        QVERIFY(tickedNodeKeys(w).isEmpty());
        QVERIFY(tickedMasterKeys(w).isEmpty());
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 0"));
    }

    void untickingASubgroupKeepsItsParentAndTheMembersReachedOtherwise()
    {
        frmMessage_Edit& w = openWindow();
        QVERIFY(clickNode(w, QStringLiteral("GRP_1")));
        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_1")));
        QCOMPARE(tickedNodeKeys(w), keysOf({1, 3, 4}, "GRP_"));
        QCOMPARE(tickedMasterKeys(w), keysOf({2, 3, 4, 6}));

        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_3")));
        QCOMPARE(tickedNodeKeys(w), keysOf({1}, "GRP_"));
        // 3 and 6 came only through 3 (6 names a group that is not in the tree, and 4);
        // 2 and 4 stay through 1.
        QCOMPARE(tickedMasterKeys(w), keysOf({2, 4}));
        QStringList shownTicks;
        for (const rt::ListItem item : w.Members()->ListItems())
            shownTicks << item.Key() + (item.Checked() ? QStringLiteral("+") : QStringLiteral("-"));
        QCOMPARE(shownTicks, (QStringList{"MEMBER_2+", "MEMBER_3-", "MEMBER_4+", "MEMBER_6-"}));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 2"));
    }

    void aMemberWithoutGroupsIsReachedThroughTheRootOnly()
    {
        frmMessage_Edit& w = openWindow();
        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_1")));
        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_2")));
        QCOMPARE(tickedMasterKeys(w), keysOf({2, 3, 4, 5, 6, 8}));
        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_0")));
        QCOMPARE(tickedMasterKeys(w), keysOf({1, 2, 3, 4, 5, 6, 7, 8}));
    }

    void aMembersOwnBoxCannotBeChanged()
    {
        frmMessage_Edit& w = openWindow();
        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_2")));
        for (const char* key : {"MEMBER_5", "MEMBER_1"}) {
            const bool before = w.Members()->ListItems().Item(QLatin1String(key)).Checked();
            clickMemberBox(w, QLatin1String(key));
            QCOMPARE(w.Members()->ListItems().Item(QLatin1String(key)).Checked(), before);
            QCOMPARE(w.lstMembers()->ListItems().Item(QLatin1String(key)).Checked(), before);
        }
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 2"));
    }

    void theCountAddsExtraNumbersWithoutRemovingDoubles()
    {
        frmMessage_Edit& w = openWindow();
        QVERIFY(clickNodeBox(w, QStringLiteral("GRP_2")));
        w.cntrlPhones()->AddPhone(QStringLiteral("6955555555"), true); // member 5's number
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 3"));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->ToolTipText(),
                 QStringLiteral("Παραλήπτες: 3"));
    }

    // ---- instant groups ---------------------------------------------------------------

    void instantGroupsJoinTheRootAndTickTheirMembers()
    {
        frmMessage_Edit& w = openWindow();
        const rt::DbResult made = w.CreateInstantGroup(
            {QStringLiteral("SELECT * FROM members WHERE LastName LIKE ? OR member_id=?"),
             {QStringLiteral("Γ%"), 8}});
        QVERIFY2(made.ok, qPrintable(made.description));
        QVERIFY(
            w.CreateInstantGroup({QStringLiteral("SELECT * FROM members WHERE member_id=1"), {}})
                .ok);
        rt::Node root = w.Groups()->Nodes().Item(QStringLiteral("GRP_0"));
        const rt::Node first = root.LastSibling().Child().LastSibling().Previous();
        const rt::Node second = root.Child().LastSibling();
        QCOMPARE(first.Text(), QStringLiteral("Προσωρινή Ομάδα 1"));
        QCOMPARE(second.Text(), QStringLiteral("Προσωρινή Ομάδα 2"));
        QCOMPARE(first.Tag(), QStringLiteral("TEMP"));
        QCOMPARE(first.Parent(), root);
        QCOMPARE(first.Image().index, 2);
        QCOMPARE(first.SelectedImage().index, 3);
        QVERIFY(!first.Checked());
        QVERIFY(first.Key() != second.Key());
        QCOMPARE(w.InstantGroupCount(), 2);
        const QString id = first.Key().mid(4);
        QCOMPARE(w.lstMembers()->ListItems().Item(QStringLiteral("MEMBER_3")).Tag(),
                 QStringLiteral("\\0\\3\\") + id + QLatin1Char('\\'));
        QCOMPARE(w.lstMembers()->ListItems().Item(QStringLiteral("MEMBER_8")).Tag(),
                 QStringLiteral("\\0\\6\\") + id + QLatin1Char('\\'));
        QVERIFY(tickedMasterKeys(w).isEmpty());

        QVERIFY(clickNodeBox(w, first.Key()));
        QCOMPARE(tickedMasterKeys(w), keysOf({3, 8}));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 2"));
        QVERIFY(clickNode(w, first.Key()));
        QCOMPARE(keysAndIcons(w.Members()), (QStringList{"MEMBER_3=4", "MEMBER_8=4"}));
    }

    void aFailingInstantGroupQueryAddsNothing()
    {
        frmMessage_Edit& w = openWindow();
        const int nodes = w.Groups()->Nodes().Count();
        const rt::DbResult made =
            w.CreateInstantGroup({QStringLiteral("SELECT * FROM no_such_table"), {}});
        QVERIFY(!made.ok);
        QCOMPARE(w.Groups()->Nodes().Count(), nodes);
        QCOMPARE(w.InstantGroupCount(), 0);
    }

    void aMemberAddedAfterLoadingIsLeftOut()
    {
        frmMessage_Edit& w = openWindow();
        addMember(20, QStringLiteral("Νέος"), QStringLiteral("6920202020"), QVariant());
        QVERIFY(w.CreateInstantGroup({QStringLiteral("SELECT * FROM members"), {}}).ok);
        QCOMPARE(w.lstMembers()->ListItems().Count(), 8);
    }

    // ---- context menu of the members ---------------------------------------------------

    void addPhoneIsOfferedForAnUntickedSelectedMember_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("member");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("unticked") << QString() << QStringLiteral("MEMBER_2") << true;
        QTest::newRow("ticked") << QStringLiteral("GRP_1") << QStringLiteral("MEMBER_2") << false;
        QTest::newRow("none selected") << QString() << QString() << false;
    }
    void addPhoneIsOfferedForAnUntickedSelectedMember()
    {
        QFETCH(QString, group);
        QFETCH(QString, member);
        QFETCH(bool, enabled);
        frmMessage_Edit& w = openWindow();
        if (!group.isEmpty())
            QVERIFY(clickNodeBox(w, group));
        rt::ListView* list = w.Members();
        list->Refresh();
        // The right button lands on the member's row, or below the rows.
        QPoint at(5, list->viewport()->height() - 5);
        if (!member.isEmpty()) {
            list->setSelectedItem(list->ListItems().Item(member));
            list->Refresh();
            at = list->visualRect(
                         list->model()->index(list->ListItems().Item(member).Index() - 1, 1))
                     .center();
        }
        QMenu* menu = w.mnPopup()->mnPopup();
        bool opened = false;
        bool offered = !enabled;
        QTimer::singleShot(0, menu, [&] {
            opened = menu->isVisible();
            offered = w.mnPopup()->MenuState(QStringLiteral("mnAddPhone"));
            menu->close();
        });
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        QVERIFY(opened);
        QCOMPARE(offered, enabled);
    }

    void addPhoneIsDisabledForAnEmptyList()
    {
        addGroup(5, QStringLiteral("Άδεια"), 0);
        frmMessage_Edit& w = openWindow();
        QVERIFY(clickNode(w, QStringLiteral("GRP_5")));
        QCOMPARE(w.Members()->ListItems().Count(), 0);
        QMenu* menu = w.mnPopup()->mnPopup();
        bool opened = false;
        bool offered = true;
        QTimer::singleShot(0, menu, [&] {
            opened = menu->isVisible();
            offered = w.mnPopup()->MenuState(QStringLiteral("mnAddPhone"));
            menu->close();
        });
        QTest::mouseClick(w.Members()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(opened);
        QVERIFY(!offered);
    }

    void addPhoneAddsEachNewNumberOnceInListOrder()
    {
        frmMessage_Edit& w = openWindow();
        w.cntrlPhones()->AddPhone(QStringLiteral("6933333333"), true);
        rt::ListItems shown = w.Members()->ListItems();
        // Selected from the last to the first: the list's order counts, not the order of
        // selecting.
        for (const char* key : {"MEMBER_5", "MEMBER_3", "MEMBER_2"})
            shown.Item(QLatin1String(key)).setSelected(true);
        w.mnPopup()->submenu(0)->trigger();
        QCOMPARE(w.cntrlPhones()->GetPhoneList(),
                 QStringLiteral("6933333333,6922222222,6955555555"));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Το τηλέφωνο \"6933333333\" υπάρχει στα πρόσθετα τηλέφωνα."));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΠΡΟΣΘΗΚΗ ΤΗΛΕΦΩΝΟΥ"));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Exclamation | rt::mb::OKOnly));
        QCOMPARE(panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" 3"));
    }

    // ---- text, originator and schedule -------------------------------------------------

    void theCharacterPanelCountsDown()
    {
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("Καλημέρα"));
        QCOMPARE(panel(QStringLiteral("pnlCharCount"))->Text(), QStringLiteral(" 152"));
        QCOMPARE(panel(QStringLiteral("pnlCharCount"))->ToolTipText(),
                 QStringLiteral("Απομένουν: 152 Χαρακτήρες"));
        w.Message()->setText(QString(200, QLatin1Char('x')));
        QCOMPARE(panel(QStringLiteral("pnlCharCount"))->Text(), QStringLiteral(" 0"));
    }

    void theDefaultButtonPutsTheOriginatorBack()
    {
        frmMessage_Edit& w = openWindow();
        w.txtOriginator()->setText(QStringLiteral("Άλλος"));
        w.cmdOrigDefault()->click();
        QCOMPARE(w.txtOriginator()->Text(), QStringLiteral("Vantrel"));
    }

    void theSchedulePanelShowsTheSendTime()
    {
        frmMessage_Edit& w = openWindow();
        w.SendTime = QStringLiteral("18:30");
        w.SendDate = QStringLiteral("15/03/2023");
        w.ShowSendTime();
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->Text(),
                 QStringLiteral(" 15/03/2023 - 18:30"));
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->ToolTipText(),
                 QStringLiteral("Προγραμματισμένος Χρόνος Αποστολής: 15/03/2023 - 18:30"));
        const qint64 scheduledPicture = panel(QStringLiteral("pnlSMSDate"))->Picture().cacheKey();
        w.SendTime.clear();
        w.SendDate.clear();
        w.ShowSendTime();
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->Text(), QStringLiteral(" Άμεση Αποστολή"));
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->ToolTipText(),
                 QStringLiteral("Προγραμματισμένος Χρόνος Αποστολής: Άμεσα"));
        QVERIFY(panel(QStringLiteral("pnlSMSDate"))->Picture().cacheKey() != scheduledPicture);
    }

    // ---- the schedule dialog and the instant-group wizard --------------------------------

    void theScheduleDialogSetsAndClearsTheSendTime()
    {
        rt::TestClock clock(QDateTime(QDate(2023, 3, 15), QTime(10, 58)));
        rt::setClock(&clock);
        frmMessage_Edit& w = openWindow();
        testsupport::ModalScript script;
        QString shownAtFirst;
        bool removable = true;
        script.then([&](rt::Form& dialog) {
            auto* clockControl = dialog.findChild<ClockControl*>(QStringLiteral("SendTime"));
            shownAtFirst = clockControl->GetHour() + u':' + clockControl->GetMinutes();
            removable = dialog.findChild<QCheckBox*>(QStringLiteral("chkRemoveTimer"))->isEnabled();
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnMsgTimer"))->click();
        QCOMPARE(script.shownNames(), QStringList{QStringLiteral("frmMessage_SetTime")});
        // 10:58 shows as 10:00: the minute spinner wraps 58 to 00.
        QCOMPARE(shownAtFirst, QStringLiteral("10:00"));
        QVERIFY(!removable);
        QCOMPARE(w.SendTime, QStringLiteral("10:00"));
        QCOMPARE(w.SendDate, QStringLiteral("15/03/2023"));
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->Text(),
                 QStringLiteral(" 15/03/2023 - 10:00"));

        // Opened again, it shows the schedule; removing it sends at once.
        w.SendTime = QStringLiteral("18:30");
        w.SendDate = QStringLiteral("20/04/2023");
        QDate shownDate;
        script.then([&](rt::Form& dialog) {
            auto* clockControl = dialog.findChild<ClockControl*>(QStringLiteral("SendTime"));
            shownAtFirst = clockControl->GetHour() + u':' + clockControl->GetMinutes();
            shownDate = dialog.findChild<rt::MonthView*>(QStringLiteral("SendDate"))->Value();
            auto* remove = dialog.findChild<QCheckBox*>(QStringLiteral("chkRemoveTimer"));
            removable = remove->isEnabled();
            remove->setChecked(true);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnMsgTimer"))->click();
        QCOMPARE(shownAtFirst, QStringLiteral("18:30"));
        QCOMPARE(shownDate, QDate(2023, 4, 20));
        QVERIFY(removable);
        QCOMPARE(w.SendTime, QString());
        QCOMPARE(w.SendDate, QString());
        QCOMPARE(panel(QStringLiteral("pnlSMSDate"))->Text(), QStringLiteral(" Άμεση Αποστολή"));

        // Cancel writes nothing.
        w.SendTime = QStringLiteral("09:05");
        w.SendDate = QStringLiteral("20/04/2023");
        script.then([](rt::Form& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnMsgTimer"))->click();
        QCOMPARE(w.SendTime, QStringLiteral("09:05"));
    }

    void theWizardsSearchBecomesAnInstantGroup()
    {
        frmMessage_Edit& w = openWindow();
        testsupport::ModalScript script;
        script.then([](rt::Form& wizard) {
            // Rows left empty are skipped: a text in the second row alone is one condition.
            wizard.findChild<rt::TextBox*>(QStringLiteral("txtLName_1"))
                ->setText(QStringLiteral("Γ"));
            wizard.findChild<QPushButton*>(QStringLiteral("cmdStep_1"))->click();
            wizard.findChild<QPushButton*>(QStringLiteral("cmdEnd"))->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnInstantGroup"))->click();
        QCOMPARE(script.shownNames(), QStringList{QStringLiteral("frmInstantGroup")});
        const rt::Node group =
            w.Groups()->Nodes().Item(QStringLiteral("GRP_0")).Child().LastSibling();
        QCOMPARE(group.Text(), QStringLiteral("Προσωρινή Ομάδα 1"));
        QVERIFY(clickNodeBox(w, group.Key()));
        QCOMPARE(tickedMasterKeys(w), keysOf({3}));

        // With no criterion at all Finish stays disabled, and Cancel makes no group.
        const int nodes = w.Groups()->Nodes().Count();
        bool finishable = true;
        script.then([&](rt::Form& wizard) {
            wizard.findChild<QPushButton*>(QStringLiteral("cmdStep_1"))->click();
            finishable = wizard.findChild<QPushButton*>(QStringLiteral("cmdEnd"))->isEnabled();
            wizard.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        w.Toolbar()->Button(QStringLiteral("btnInstantGroup"))->click();
        QVERIFY(!finishable);
        QCOMPARE(w.Groups()->Nodes().Count(), nodes);
        QCOMPARE(w.InstantGroupCount(), 1);
    }

    // ---- the symbol palette -----------------------------------------------------------

    void aPaletteSymbolGoesInWhileThereIsRoom_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("added");
        QTest::newRow("room") << 159 << 217 << QStringLiteral("Ω");
        QTest::newRow("vertical line") << 10 << 124 << QStringLiteral("|");
        QTest::newRow("full") << 160 << 65 << QString();
    }
    void aPaletteSymbolGoesInWhileThereIsRoom()
    {
        QFETCH(int, length);
        QFETCH(int, code);
        QFETCH(QString, added);
        frmMessage_Edit& w = openWindow();
        const QString text(length, QLatin1Char('a'));
        w.Message()->setText(text);
        emit w.CharMap()->SymbolClick(code);
        QCOMPARE(w.Message()->Text().size(), length + added.size());
        QVERIFY(w.Message()->Text().contains(added));
    }

    void thePaletteSlidesOutAndBack()
    {
        frmMessage_Edit& w = openWindow();
        const qint64 out = w.cmdExpand()->Picture().cacheKey();
        const qint64 back = w.cmdExpand()->PictureDown().cacheKey();
        const int r = w.cmdExpand()->geometry().right() + 1;

        w.cmdExpand()->click();
        QVERIFY(w.paletteSliding());
        QVERIFY(w.CharMap()->isVisible());
        QVERIFY(w.CharMap()->x() < r);
        QTRY_VERIFY(!w.paletteSliding());
        QCOMPARE(w.CharMap()->geometry(), w.cntrlPhones()->geometry());
        QCOMPARE(w.cmdExpand()->ToolTipText(), QStringLiteral("Απόκρυψη του Πίνακα Χαρακτήρων"));
        QCOMPARE(w.cmdExpand()->Picture().cacheKey(), back);
        QCOMPARE(w.cmdExpand()->PictureDown().cacheKey(), out);

        w.cmdExpand()->click();
        QTRY_VERIFY(!w.paletteSliding());
        QVERIFY(w.CharMap()->isHidden());
        QCOMPARE(w.CharMap()->geometry().right() + 1, r);
        QCOMPARE(w.cmdExpand()->ToolTipText(), QStringLiteral("Εμφάνιση του Πίνακα Χαρακτήρων"));
        QCOMPARE(w.cmdExpand()->Picture().cacheKey(), out);
    }

    void aClickDuringTheSlideSendsThePaletteBack()
    {
        frmMessage_Edit& w = openWindow();
        const qint64 out = w.cmdExpand()->Picture().cacheKey();
        w.cmdExpand()->click();
        QTest::qWait(40);
        QVERIFY(w.paletteSliding());
        w.cmdExpand()->click();
        QTRY_VERIFY(!w.paletteSliding());
        QVERIFY(w.CharMap()->isHidden());
        QCOMPARE(w.cmdExpand()->Picture().cacheKey(), out);
        QCOMPARE(w.cmdExpand()->ToolTipText(), QStringLiteral("Εμφάνιση του Πίνακα Χαρακτήρων"));
    }

    // ---- layout -------------------------------------------------------------------------

    void theLayoutFillsTheWindowWithoutOverlaps()
    {
        frmMessage_Edit& w = openWindow();
        mainWindow().resize(1100, 760);
        QCoreApplication::processEvents();
        const QRect msg = w.picMsgPanel()->geometry();
        const QRect bar = w.picVSeperator()->geometry();
        const QRect grp = w.picGrpPanel()->geometry();
        QCOMPARE(msg.width(), w.width());
        QCOMPARE(bar.top(), msg.bottom() + 1);
        QCOMPARE(grp.top(), bar.bottom() + 1);
        QCOMPARE(grp.bottom(), w.height() - 1);
        QVERIFY(w.txtOriginator()->geometry().bottom() < msg.top());
        QVERIFY(w.formTitle()->geometry().bottom() < w.txtOriginator()->geometry().top());

        const QRect expand = w.cmdExpand()->geometry();
        QVERIFY(qAbs(expand.center().x() - msg.width() / 2) <= 1);
        QCOMPARE(expand.height(), msg.height());
        QCOMPARE(w.Message()->geometry(), QRect(0, 0, expand.left(), msg.height()));
        QCOMPARE(w.cntrlPhones()->geometry(),
                 QRect(expand.right() + 1, 0, msg.width() - expand.right() - 1, msg.height()));

        const QRect tree = w.Groups()->geometry();
        const QRect split = w.picHSeperator()->geometry();
        const QRect list = w.Members()->geometry();
        QCOMPARE(tree.topLeft(), QPoint(0, 0));
        QCOMPARE(split.left(), tree.right() + 1);
        QCOMPARE(list.left(), split.right() + 1);
        QCOMPARE(list.right(), grp.width() - 1);
        QCOMPARE(list.height(), grp.height());

        // A window too small for its parts keeps what fits and does not fail.
        mainWindow().resize(120, 90);
        QCoreApplication::processEvents();
        mainWindow().resize(1100, 760);
        QCoreApplication::processEvents();
        QCOMPARE(w.picMsgPanel()->width(), w.width());
    }

    void theSplittersMoveWithinTheirLimits()
    {
        frmMessage_Edit& w = openWindow();
        mainWindow().resize(1100, 760);
        QCoreApplication::processEvents();
        QWidget* h = w.picHSeperator();
        const int start = h->x();
        sendMouse(h, QEvent::MouseMove, QPoint(2, 10), Qt::LeftButton);
        QCOMPARE(h->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
        sendMouse(h, QEvent::MouseMove, QPoint(2 + 60, 10), Qt::LeftButton);
        QCOMPARE(h->x(), start + 60);
        // Past the left edge it stays where it was.
        sendMouse(h, QEvent::MouseMove, QPoint(2 - h->x() - 10, 10), Qt::LeftButton);
        QCOMPARE(h->x(), start + 60);
        sendMouse(h, QEvent::MouseButtonRelease, QPoint(2, 10), Qt::NoButton);
        QVERIFY(h->palette().color(QPalette::Window) != QColor(0x80, 0x80, 0x80));
        QCOMPARE(w.Groups()->width(), start + 60);
        QCOMPARE(w.Members()->x(), h->x() + h->width());
        QCOMPARE(w.Members()->geometry().right(), w.width() - 1);

        QWidget* v = w.picVSeperator();
        const int top = v->y();
        sendMouse(v, QEvent::MouseMove, QPoint(10, 2), Qt::LeftButton);
        sendMouse(v, QEvent::MouseMove, QPoint(10, 2 + 40), Qt::LeftButton);
        QCOMPARE(v->y(), top + 40);
        // Not closer than 800 twips to the upper panel's top.
        sendMouse(v, QEvent::MouseMove, QPoint(10, 2 - (v->y() - w.picMsgPanel()->y()) + 10),
                  Qt::LeftButton);
        QCOMPARE(v->y(), top + 40);
        sendMouse(v, QEvent::MouseButtonRelease, QPoint(10, 2), Qt::NoButton);
        QCOMPARE(w.picMsgPanel()->geometry().bottom() + 1, v->y());
        QCOMPARE(w.picGrpPanel()->y(), v->y() + v->height());
        QCOMPARE(w.picGrpPanel()->geometry().bottom(), w.height() - 1);
        // The upper panel's parts follow its new height.
        QCOMPARE(w.Message()->height(), w.picMsgPanel()->height());
    }
};

QTEST_MAIN(tst_frmmessage_edit)
#include "tst_frmmessage_edit.moc"
