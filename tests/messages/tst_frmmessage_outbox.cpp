#include "addressbook/mdlGroups.h"
#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "messages/frmMessage_Export.h"
#include "messages/frmMessage_OutBox.h"
#include "messages/frmMessage_Properties.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/Recordset.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"
#include "tests/support/Docking.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"
#include "tests/support/Views.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using testsupport::FakeSmsService;
using testsupport::itemKeys;
using testsupport::mainWindow;
using testsupport::ModalScript;
using testsupport::ScriptedFileDialogs;
using testsupport::ScriptedMessageBoxes;
using Answer = FakeSmsService::Answer;

namespace {

QString panelText()
{
    rt::StatusPanel* panel = mainWindow().StatusBar()->Panel(QStringLiteral("frmMessage_OutBox"));
    return panel ? panel->Text() : QStringLiteral("<no panel>");
}

bool menuEnabled(const char* name)
{
    return mainWindow().MenuItem(QLatin1String(name))->isEnabled();
}

QStringList column(const QString& table, const char* name)
{
    QStringList out;
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY msg_id"), {}},
        rt::RecordsetType::Snapshot);
    for (; rs.isOpen() && !rs.eof(); rs.moveNext())
        out << rs.field(QLatin1String(name)).toString();
    return out;
}

struct Message {
    QString title;
    QString date = QStringLiteral("2024-03-05");
    QString time = QStringLiteral("09:07");
    QVariant schDate;
    QVariant schTime;
    bool flash = false;
    QString phones = QStringLiteral(",6911111111");
    QVariant error;
};

} // namespace

// The docked out-box list: what it shows, its toolbar, context menu and panel, delete,
// send one or all, and the details and export dialogs.
class tst_frmmessage_outbox : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    qint64 add(const Message& m)
    {
        rt::Database& db = mdlDataBase::MainDatabase();
        const rt::DbResult done = db.execute(
            {QStringLiteral("INSERT INTO outbox_messages (msg_title, msg_text, msg_originator, "
                            "msg_flash, msg_phonelist, msg_date, msg_time, msg_schdate, "
                            "msg_schtime, msg_error) VALUES (?, 'Καλημέρα', 'Shop', ?, ?, ?, ?, "
                            "?, ?, ?)"),
             {m.title.isNull() ? QVariant() : QVariant(m.title), m.flash ? 1 : 0, m.phones, m.date,
              m.time, m.schDate, m.schTime, m.error}});
        if (!done)
            return -1;
        return testsupport::lastMessageId(QStringLiteral("outbox_messages"));
    }
    // Five messages titled M1..M5, written one minute apart.
    QList<qint64> addFive()
    {
        QList<qint64> ids;
        for (int i = 1; i <= 5; ++i) {
            Message m;
            m.title = QStringLiteral("M%1").arg(i);
            m.time = QStringLiteral("09:0%1").arg(i);
            ids << add(m);
        }
        return ids;
    }
    frmMessage_OutBox& openWindow()
    {
        if (!mainWindow().FreeChildSpace(QStringLiteral("frmMessage_OutBox")))
            qFatal("docking space taken");
        frmMessage_OutBox& w = rt::Forms::get<frmMessage_OutBox>();
        w.show();
        return w;
    }
    void select(frmMessage_OutBox& w, std::initializer_list<int> indexes, int current)
    {
        rt::ListItems items = w.OutList()->ListItems();
        for (rt::ListItem item : items)
            item.setSelected(false);
        for (int i : indexes)
            items.Item(i).setSelected(true);
        w.OutList()->setSelectedItem(items.Item(current));
    }
    // Opens the context menu with the right button and chooses the item (or, with an
    // empty name, notes the items' states and closes it).
    QStringList rightClick(frmMessage_OutBox& w, const QString& choose = QString())
    {
        QMenu* menu = w.mnPopup()->mnPopup();
        QStringList states;
        QTimer::singleShot(0, menu, [&] {
            for (const char* name : {"mnSend", "mnSendAll", "mnDelete", "mnProperties"})
                states << QLatin1String(name) + QLatin1Char('=') +
                              (w.mnPopup()->MenuState(QLatin1String(name)) ? "on" : "off");
            menu->close();
            if (!choose.isEmpty()) {
                for (int i = 0; i < w.mnPopup()->ItemCount(); ++i) {
                    if (w.mnPopup()->submenu(i)->data().toString() == choose)
                        w.mnPopup()->submenu(i)->trigger();
                }
            }
        });
        // On the current item when it is selected (a right click there keeps the
        // selection), else on the empty list.
        rt::ListView* list = w.OutList();
        list->Refresh();
        QPoint at(5, 5);
        const rt::ListItem current = list->SelectedItem();
        if (current && current.Selected())
            at = list->visualRect(list->model()->index(current.Index() - 1, 1)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        return states;
    }

private slots:
    void init()
    {
        QVERIFY2(
            m_fx.start(
                {.controlLibrary = true, .modals = true, .fileDialogs = true, .service = true}),
            qPrintable(m_fx.error()));
        m_fx.service().setDefaultAnswer(Answer::code(500));
        testsupport::useTestAccount(m_fx.service());
        mainWindow().show();
    }
    void cleanup() { m_fx.stop(); }

    // ---- docking -----------------------------------------------------------------------

    void docksWithToolbarPanelAndMenus()
    {
        frmMessage_OutBox& w = openWindow();
        QCOMPARE(mdlMain::ChildForms().Count(), 1);
        QVERIFY(testsupport::verifyDocked(w, QStringLiteral("Εξερχόμενα Μηνύματα")));
        QCOMPARE(mainWindow().StatusBar()->Keys(),
                 (QStringList{QStringLiteral("frmMessage_OutBox"),
                              QStringLiteral("pnlSMSAvailable"), QStringLiteral("pnlConnection")}));
        QCOMPARE(testsupport::toolbarButtons(w.Toolbar()),
                 (QStringList{QStringLiteral("btnSend|Αποστολή|Αποστολή Μηνυμάτων"),
                              QStringLiteral("btnDelete|Διαγραφή|Διαγραφή Μηνυμάτων"),
                              QStringLiteral("btnDetails|Ιδιότητες|Ιδιότητες Μηνύματος"),
                              QStringLiteral("btnExport|Εξαγωγή|Εχαγωγή Μηνύματος σε "
                                             "Αρχείο")}));
        QStringList menu;
        for (int i = 0; i < w.mnPopup()->ItemCount(); ++i)
            menu << (w.mnPopup()->submenu(i)->isSeparator() ? QStringLiteral("-")
                                                            : w.mnPopup()->submenu(i)->text());
        QCOMPARE(menu, (QStringList{QStringLiteral("Αποστολή Μηνύματος"),
                                    QStringLiteral("Αποστολή Όλων"), QStringLiteral("Διαγραφή"),
                                    QStringLiteral("-"), QStringLiteral("Ιδιότητες")}));
        QVERIFY(w.mnPopup()->submenu(3)->isSeparator());

        QVERIFY(rt::Forms::unload(&w));
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
        QCOMPARE(mainWindow().StatusBar()->Keys(),
                 (QStringList{QStringLiteral("pnlSMSAvailable"), QStringLiteral("pnlConnection")}));
        QCOMPARE(w.Toolbar()->parentWidget(), &w);
        QVERIFY(!menuEnabled("mn_DeleteMessage"));
    }

    void aDatabaseErrorWhileLoadingStillDocksTheWindow()
    {
        QVERIFY(mdlDataBase::MainDatabase()
                    .execute({QStringLiteral("DROP TABLE outbox_messages"), {}})
                    .ok);
        frmMessage_OutBox& w = openWindow();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
        QCOMPARE(w.mnPopup()->ItemCount(), 5);
        QVERIFY(!QGuiApplication::overrideCursor()); // the hourglass is gone again
        // It closes as usual.
        QVERIFY(rt::Forms::unload(&w));
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
        QCOMPARE(mainWindow().StatusBar()->Keys(),
                 (QStringList{QStringLiteral("pnlSMSAvailable"), QStringLiteral("pnlConnection")}));
    }

    void anEmptyOutBoxDisablesEveryCommand()
    {
        frmMessage_OutBox& w = openWindow();
        QCOMPARE(w.OutList()->ListItems().Count(), 0);
        for (const char* key : {"btnSend", "btnDelete", "btnDetails", "btnExport"})
            QVERIFY2(!w.Toolbar()->isButtonEnabled(QLatin1String(key)), key);
        QVERIFY(!menuEnabled("mn_SendMessage"));
        QVERIFY(!menuEnabled("mn_DeleteMessage"));
        QCOMPARE(panelText(), QStringLiteral(" 0 Μηνύματα"));
        QCOMPARE(rightClick(w),
                 (QStringList{"mnSend=off", "mnSendAll=off", "mnDelete=off", "mnProperties=off"}));
    }

    // ---- the items -----------------------------------------------------------------------

    void itemsShowTheirRows()
    {
        Message later;
        later.title = QStringLiteral("Αργότερα");
        later.time = QStringLiteral("18:00");
        later.schDate = QStringLiteral("2024-03-06");
        later.schTime = QStringLiteral("08:15");
        later.flash = true;
        later.phones = QStringLiteral("6911111111,6922222222,6933333333");
        Message failed;
        failed.title = QStringLiteral("Απέτυχε");
        failed.error = -300;
        failed.phones = QStringLiteral(",6911111111,6922222222");
        Message untitled;
        untitled.title = QString();
        untitled.date = QStringLiteral("2024-03-01");
        const qint64 a = add(later);
        const qint64 b = add(failed);
        const qint64 c = add(untitled);

        frmMessage_OutBox& w = openWindow();
        rt::ListItems items = w.OutList()->ListItems();
        // In the order they were written: date, then time.
        QCOMPARE(itemKeys(w.OutList()),
                 (QStringList{QStringLiteral("MSG_%1").arg(c), QStringLiteral("MSG_%1").arg(b),
                              QStringLiteral("MSG_%1").arg(a)}));
        const rt::ListItem first = items.Item(1);
        QCOMPARE(first.SubItems(1), QStringLiteral("01/03/2024 - 09:07"));
        QCOMPARE(first.SubItems(2), QString());
        QCOMPARE(first.SubItems(3), QStringLiteral("Κανονικό"));
        QCOMPARE(first.SubItems(4), QString());
        QCOMPARE(first.SubItems(5), QStringLiteral("1"));
        QCOMPARE(first.SmallIcon(), rt::ImageRef(1));
        QCOMPARE(first.Tag(), QStringLiteral("0"));
        const rt::ListItem second = items.Item(2);
        QCOMPARE(second.SmallIcon(), rt::ImageRef(2));
        QCOMPARE(second.Tag(), QStringLiteral("2"));
        QCOMPARE(second.SubItems(5), QStringLiteral("2"));
        const rt::ListItem third = items.Item(3);
        QCOMPARE(third.SubItems(1), QStringLiteral("05/03/2024 - 18:00"));
        QCOMPARE(third.SubItems(2), QStringLiteral("06/03/2024 - 08:15"));
        QCOMPARE(third.SubItems(3), QStringLiteral("Flash"));
        QCOMPARE(third.SubItems(4), QStringLiteral("Αργότερα"));
        QCOMPARE(third.SubItems(5), QStringLiteral("3"));
        // The last one is the current item, alone selected.
        QCOMPARE(w.OutList()->SelectedItem(), third);
        QVERIFY(third.Selected() && !first.Selected() && !second.Selected());

        if (qEnvironmentVariableIsSet("VANTREL_GRAB")) {
            w.OutList()->Refresh();
            mainWindow().grab().save(
                testsupport::picturePath(QStringLiteral("frmMessage_OutBox.png")));
        }
        QCOMPARE(panelText(), QStringLiteral(" 3 Μηνύματα"));
        for (const char* key : {"btnSend", "btnDelete", "btnDetails", "btnExport"})
            QVERIFY2(w.Toolbar()->isButtonEnabled(QLatin1String(key)), key);
        QVERIFY(menuEnabled("mn_SendMessage"));
        QVERIFY(menuEnabled("mn_DeleteMessage"));
        QCOMPARE(rightClick(w),
                 (QStringList{"mnSend=on", "mnSendAll=on", "mnDelete=on", "mnProperties=on"}));
    }

    void refreshKeepsTheCurrentItemAndReadsNewRows()
    {
        const QList<qint64> ids = addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {2}, 2);
        Message extra;
        extra.title = QStringLiteral("Νέο");
        extra.time = QStringLiteral("10:00");
        const qint64 added = add(extra);
        w.RefreshOutBoxList();
        QCOMPARE(w.OutList()->ListItems().Count(), 6);
        QCOMPARE(w.OutList()->ListItems().Item(6).Key(), QStringLiteral("MSG_%1").arg(added));
        QCOMPARE(w.OutList()->SelectedItem().Key(), QStringLiteral("MSG_%1").arg(ids[1]));
        QVERIFY(w.OutList()->SelectedItem().Selected());
        QCOMPARE(mdlGroups::SelectedItemCount(*w.OutList()), 1);
        QCOMPARE(panelText(), QStringLiteral(" 6 Μηνύματα"));
    }

    void columnsFollowTheWidth()
    {
        addFive();
        frmMessage_OutBox& w = openWindow();
        w.resize(900, 500);
        QCOMPARE(w.OutList()->geometry().bottom(), w.height() - 1);
        QCOMPARE(w.OutList()->width(), 900);
        QHeaderView* header = w.OutList()->header();
        QCOMPARE(header->sectionSize(0), 25);
        int sum = 0;
        for (int i = 0; i < header->count(); ++i)
            sum += header->sectionSize(i);
        QCOMPARE(sum, w.OutList()->viewport()->width() - 5);
    }

    // ---- delete --------------------------------------------------------------------------

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("question");
        QTest::newRow("one") << QList<int>{3}
                             << "Πρόκειτε να διαγράψετε το μήνυμα \"Test\".\nΘέλετε να συνεχίσετε;";
        QTest::newRow("three") << QList<int>{1, 3, 5}
                               << "Πρόκειτε να διαγράψετε 3 μηνύματα.\nΘέλετε να συνεχίσετε;";
    }
    void deleteAsksFirst()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, question);
        addFive();
        QVERIFY(mdlDataBase::MainDatabase()
                    .execute({QStringLiteral("UPDATE outbox_messages SET msg_title='Test' "
                                             "WHERE msg_title='M3'"),
                              {}})
                    .ok);
        frmMessage_OutBox& w = openWindow();
        rt::ListItems items = w.OutList()->ListItems();
        for (rt::ListItem item : items)
            item.setSelected(false);
        for (int i : selected)
            items.Item(i).setSelected(true);
        // The current item is another one: the question names what goes.
        w.OutList()->setSelectedItem(items.Item(selected.first()));
        m_fx.boxes().answer(rt::mb::No);
        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text, question);
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ"));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::YesNo | rt::mb::Question));
        // No keeps everything.
        QCOMPARE(items.Count(), 5);
        QCOMPARE(column(QStringLiteral("outbox_messages"), "msg_id").size(), 5);
    }

    void nothingSelectedDeletesNothingAndAsksNothing()
    {
        addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {}, 2);
        w.OutList()->ListItems().Item(2).setSelected(false);
        w.DeleteMessage();
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QCOMPARE(w.OutList()->ListItems().Count(), 5);
        QCOMPARE(column(QStringLiteral("outbox_messages"), "msg_id").size(), 5);
    }

    void deletingItemsTwoAndFourOfFive()
    {
        const QList<qint64> ids = addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {2, 4}, 4);
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteMessage();
        QCOMPARE(column(QStringLiteral("outbox_messages"), "msg_title"),
                 (QStringList{"M1", "M3", "M5"}));
        QCOMPARE(itemKeys(w.OutList()), (QStringList{QStringLiteral("MSG_%1").arg(ids[0]),
                                                     QStringLiteral("MSG_%1").arg(ids[2]),
                                                     QStringLiteral("MSG_%1").arg(ids[4])}));
        QVERIFY(w.OutList()->isVisible());
        QCOMPARE(panelText(), QStringLiteral(" 3 Μηνύματα"));
    }

    // The rows chosen with the mouse and deleted: the row in the place of the first one
    // deleted is the one shown selected, and the main window's "Αποστολή Μηνύματος"
    // sends that one; with every row gone the command is off and sends nothing.
    void theRowInTheDeletedRowsPlaceIsTheOneSent_data()
    {
        QTest::addColumn<QList<int>>("deleted");
        QTest::addColumn<QString>("sent"); // its title; empty for none
        QTest::newRow("the last") << QList<int>{5} << "M4";
        QTest::newRow("the second") << QList<int>{2} << "M3";
        QTest::newRow("second and fourth") << QList<int>{4, 2} << "M3";
        QTest::newRow("every row") << QList<int>{1, 2, 3, 4, 5} << "";
    }
    void theRowInTheDeletedRowsPlaceIsTheOneSent()
    {
        QFETCH(QList<int>, deleted);
        QFETCH(QString, sent);
        addFive();
        frmMessage_OutBox& w = openWindow();
        rt::ListView* list = w.OutList();
        testsupport::clickRow(list, deleted.first() - 1);
        for (int i = 1; i < deleted.size(); ++i)
            testsupport::clickRow(list, deleted[i] - 1, Qt::ControlModifier);
        m_fx.boxes().answer(rt::mb::Yes);
        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(list->ListItems().Count(), 5 - int(deleted.size()));

        QAction* send = mainWindow().MenuItem(QStringLiteral("mn_SendMessage"));
        if (sent.isEmpty()) {
            QVERIFY(!send->isEnabled());
            QVERIFY(list->SelectedItem().isNull());
            w.SendMessage(true);
            QVERIFY(column(QStringLiteral("sended_messages"), "msg_id").isEmpty());
            return;
        }
        const rt::ListItem shown = list->SelectedItem();
        QCOMPARE(shown.SubItems(4), sent);
        QVERIFY(shown.Selected());
        QCOMPARE(mdlGroups::SelectedItemCount(*list), 1);
        QCOMPARE(testsupport::shownSelectedRows(list), QList<int>{shown.Index() - 1});
        QVERIFY(send->isEnabled());
        send->trigger();
        QCOMPARE(column(QStringLiteral("sended_messages"), "msg_title"), QStringList{sent});
        QCOMPARE(m_fx.boxes().shown().size(), 1);
    }

    void deletingTheLastMessageDisablesTheCommands()
    {
        Message only;
        only.title = QStringLiteral("Μόνο");
        add(only);
        frmMessage_OutBox& w = openWindow();
        m_fx.boxes().answer(rt::mb::Yes);
        rightClick(w, QStringLiteral("mnDelete"));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(column(QStringLiteral("outbox_messages"), "msg_id").isEmpty());
        QCOMPARE(w.OutList()->ListItems().Count(), 0);
        QVERIFY(!w.Toolbar()->isButtonEnabled(QStringLiteral("btnDelete")));
        QVERIFY(!menuEnabled("mn_DeleteMessage"));
        QCOMPARE(panelText(), QStringLiteral(" 0 Μηνύματα"));
    }

    void aFailingDeleteShowsTheErrorAndKeepsTheListUsable()
    {
        addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {1, 5}, 5);
        // A trigger refuses the delete of M1 only; M5 (deleted first) goes.
        QVERIFY(mdlDataBase::MainDatabase()
                    .execute({QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON outbox_messages "
                                             "WHEN old.msg_title='M1' BEGIN SELECT "
                                             "RAISE(ABORT, 'kept'); END"),
                              {}})
                    .ok);
        m_fx.boxes().answer(rt::mb::Yes);
        w.DeleteMessage();
        QCOMPARE(m_fx.boxes().shown().size(), 2);
        QVERIFY(m_fx.boxes().shown().last().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QCOMPARE(column(QStringLiteral("outbox_messages"), "msg_title"),
                 (QStringList{"M1", "M2", "M3", "M4"}));
        QCOMPARE(w.OutList()->ListItems().Count(), 4);
        QVERIFY(w.OutList()->isVisible());
        QCOMPARE(panelText(), QStringLiteral(" 4 Μηνύματα"));
    }

    // ---- send ------------------------------------------------------------------------------

    void toolbarSendSendsAllAndTheListLosesThem()
    {
        addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {3}, 3);
        w.Toolbar()->Button(QStringLiteral("btnSend"))->click();
        QCOMPARE(m_fx.boxes().shown().size(), 0);
        QCOMPARE(column(QStringLiteral("sended_messages"), "msg_title").size(), 5);
        QVERIFY(column(QStringLiteral("outbox_messages"), "msg_id").isEmpty());
        QCOMPARE(w.OutList()->ListItems().Count(), 0);
        QCOMPARE(panelText(), QStringLiteral(" 0 Μηνύματα"));
        QVERIFY(!w.Toolbar()->isButtonEnabled(QStringLiteral("btnSend")));
    }

    void sendOneSendsOnlyTheCurrentMessage_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("context menu") << true;
        QTest::newRow("main window's command") << false;
    }
    void sendOneSendsOnlyTheCurrentMessage()
    {
        QFETCH(bool, fromMenu);
        const QList<qint64> ids = addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {2, 3, 4}, 3);
        if (fromMenu)
            rightClick(w, QStringLiteral("mnSend"));
        else
            w.SendMessage(true);
        QCOMPARE(column(QStringLiteral("sended_messages"), "msg_title"), QStringList{"M3"});
        QCOMPARE(column(QStringLiteral("outbox_messages"), "msg_title"),
                 (QStringList{"M1", "M2", "M4", "M5"}));
        QVERIFY(!w.OutList()->ListItems().Exists(QStringLiteral("MSG_%1").arg(ids[2])));
        QCOMPARE(w.OutList()->ListItems().Count(), 4);
        QCOMPARE(panelText(), QStringLiteral(" 4 Μηνύματα"));
    }

    void aRefusedMessageStaysListedAndShowsItsFailure()
    {
        const QList<qint64> ids = addFive();
        frmMessage_OutBox& w = openWindow();
        m_fx.service().script(Answer::code(-300));
        w.SendMessage(true);                      // the current item: the last one
        QCOMPARE(m_fx.boxes().shown().size(), 1); // the server's refusal
        QVERIFY(column(QStringLiteral("sended_messages"), "msg_id").isEmpty());
        QCOMPARE(w.OutList()->ListItems().Count(), 5);
        w.RefreshOutBoxList();
        const rt::ListItem failed =
            w.OutList()->ListItems().Item(QStringLiteral("MSG_%1").arg(ids[4]));
        QCOMPARE(failed.SmallIcon(), rt::ImageRef(frmMessage_OutBox::IconFailed));
        QCOMPARE(failed.Tag(), QStringLiteral("2"));
        QCOMPARE(w.OutList()->ListItems().Item(1).SmallIcon(),
                 rt::ImageRef(frmMessage_OutBox::IconWaiting));
    }

    void contextMenuSendAllSendsEveryRow()
    {
        addFive();
        frmMessage_OutBox& w = openWindow();
        rightClick(w, QStringLiteral("mnSendAll"));
        QCOMPARE(column(QStringLiteral("sended_messages"), "msg_title").size(), 5);
        QCOMPARE(w.OutList()->ListItems().Count(), 0);
    }

    // ---- details and export ------------------------------------------------------------------

    void detailsShowTheCurrentMessage_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("toolbar") << false;
        QTest::newRow("context menu") << true;
    }
    void detailsShowTheCurrentMessage()
    {
        QFETCH(bool, fromMenu);
        addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {2, 4}, 4);
        QString shown;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Properties&>(form);
            shown = dialog.HeaderText();
            dialog.cmdOK_Click();
        });
        if (fromMenu)
            rightClick(w, QStringLiteral("mnProperties"));
        else
            w.Toolbar()->Button(QStringLiteral("btnDetails"))->click();
        QCOMPARE(m_fx.modals().shownNames(), QStringList{QStringLiteral("frmMessage_Properties")});
        QVERIFY2(shown.startsWith(QStringLiteral("Τίτλος: M4\r\n")), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("Αποστολή: 05/03/2024 - 09:04\r\n")));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Properties")));
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
    }

    void exportWritesTheCurrentMessage()
    {
        addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {2}, 2);
        const QString path = m_fx.folder().file(QStringLiteral("m2.txt"));
        m_fx.files().answer(path);
        m_fx.modals().then(
            [](rt::Form& form) { static_cast<frmMessage_Export&>(form).cmdExport_Click(); });
        w.Toolbar()->Button(QStringLiteral("btnExport"))->click();
        QCOMPARE(m_fx.files().requests().size(), 1);
        QCOMPARE(m_fx.files().requests().first().fileName, QStringLiteral("M2.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("\xC1\xF0")); // "Απ" in the Greek code page
    }

    void aMessageGoneMeanwhileReportsAndStaysDocked()
    {
        const QList<qint64> ids = addFive();
        frmMessage_OutBox& w = openWindow();
        select(w, {1}, 1);
        QVERIFY(
            mdlDataBase::MainDatabase()
                .execute({QStringLiteral("DELETE FROM outbox_messages WHERE msg_id=?"), {ids[0]}})
                .ok);
        w.Toolbar()->Button(QStringLiteral("btnExport"))->click();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QVERIFY(m_fx.files().requests().isEmpty());
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
    }
};

QTEST_MAIN(tst_frmmessage_outbox)
#include "tst_frmmessage_outbox.moc"
