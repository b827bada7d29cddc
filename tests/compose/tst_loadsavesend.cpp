#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/OriginatorControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "compose/ExtraPhonesEditor.h"
#include "compose/MessageEditor.h"
#include "compose/frmMessage_Edit.h"
#include "compose/frmMessage_Save.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Recordset.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"
#include "tests/support/Views.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

using testsupport::exec;
using testsupport::FakeSmsService;
using testsupport::mainWindow;
using testsupport::ModalScript;
using testsupport::ScriptedMessageBoxes;
using Answer = FakeSmsService::Answer;

namespace {

struct Row {
    QVariantMap fields;
    QVariant operator[](const char* name) const { return fields.value(QLatin1String(name)); }
};

QList<Row> rows(const QString& table)
{
    QList<Row> result;
    for (const QVariantMap& fields : testsupport::tableRows(table))
        result.append(Row{fields});
    return result;
}

QList<Row> saved()
{
    return rows(QStringLiteral("saved_messages"));
}

// The entries of the New Message drop-down, as "key=text".
QStringList dropDown()
{
    QStringList out;
    const QMenu* menu = mainWindow().MainToolBar()->ButtonMenu(QStringLiteral("btnNewMessage"));
    for (const QAction* entry : menu->actions())
        out << entry->objectName() + QLatin1Char('=') + entry->text();
    return out;
}

// Ticks a node's box as a click on it does: through the view's model.
bool tickNode(frmMessage_Edit& w, const QString& key)
{
    const QModelIndex index = testsupport::nodeIndex(w.Groups(), key);
    return index.isValid() && w.Groups()->model()->setData(index, Qt::Checked, Qt::CheckStateRole);
}

QString recipients(const QByteArray& request)
{
    const int start = int(request.indexOf("&R=")) + 3;
    return QString::fromLatin1(request.mid(start, request.indexOf('&', start) - start));
}

} // namespace

// The message window's three ways in and out of the database: load a saved message,
// save it (with the title dialog), send it through the out-box to the loopback service.
class tst_loadsavesend : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    rt::TestClock m_clock{QDateTime(QDate(2024, 3, 5), QTime(9, 7, 42))};

    void addMember(int id, const QString& last, const QString& phone, const QVariant& memberOf)
    {
        testsupport::addMember(id, last, QStringLiteral("Όνομα"), QStringLiteral(""), phone,
                               memberOf);
    }

    frmMessage_Edit& openWindow()
    {
        mainWindow().mnNewMessage_Click();
        return rt::Forms::get<frmMessage_Edit>();
    }
    // The title dialog answers OK with that title (or Cancel when there is none).
    void answerTitle(const std::optional<QString>& title)
    {
        m_fx.modals().then([title](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Save&>(form);
            if (!title) {
                dialog.cmdCancel()->click();
                return;
            }
            dialog.MsgText_0()->setText(*title);
            dialog.cmdOK()->click();
        });
    }
    void clickToolbar(frmMessage_Edit& w, const char* key)
    {
        w.Toolbar()->Button(QLatin1String(key))->click();
    }
    bool saveButtonEnabled(frmMessage_Edit& w) const
    {
        return w.Toolbar()->isButtonEnabled(QStringLiteral("btnSaveMsg"));
    }
    QString caption(frmMessage_Edit& w) const { return w.formTitle()->Caption(); }

private slots:
    void init()
    {
        rt::setClock(&m_clock);
        QVERIFY2(m_fx.start({.controlLibrary = true, .modals = true, .service = true}),
                 qPrintable(m_fx.error()));
        m_fx.service().setDefaultAnswer(Answer::code(500));
        testsupport::useTestAccount(m_fx.service());
        exec(QStringLiteral("INSERT INTO groups (group_id, group_name, subgroup_of) "
                            "VALUES (1, 'Πελάτες', 0), (2, 'Άλλοι', 0)"));
        mainWindow().show();
    }
    void cleanup()
    {
        m_fx.stop();
        rt::setClock(nullptr);
    }

    // ---- send ---------------------------------------------------------------------------

    void phoneList_data()
    {
        QTest::addColumn<QStringList>("extras");
        QTest::addColumn<QStringList>("ticked"); // numbers of the ticked members, by surname
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("sent"); // as the request carries it
        QTest::newRow("extra numbers first, then members not in the list yet")
            << QStringList{"6911111111", "6922222222"}
            << QStringList{"6922222222", "6933333333", ""} << "6911111111,6922222222,6933333333"
            << "306911111111,306922222222,306933333333";
        QTest::newRow("no extra numbers: a leading comma")
            << QStringList{} << QStringList{"6944444444"} << ",6944444444"
            << "306944444444";
        QTest::newRow("a member's number inside an extra number")
            << QStringList{"306912345678"} << QStringList{"6912345678"} << "306912345678"
            << "306912345678";
        QTest::newRow("two members with one number")
            << QStringList{} << QStringList{"6955555555", "6955555555"} << ",6955555555"
            << "306955555555";
        QTest::newRow("nobody") << QStringList{} << QStringList{} << ""
                                << "";
    }
    void phoneList()
    {
        QFETCH(QStringList, extras);
        QFETCH(QStringList, ticked);
        QFETCH(QString, list);
        QFETCH(QString, sent);
        int id = 0;
        for (const QString& number : ticked) {
            ++id;
            addMember(id, QStringLiteral("Α%1").arg(id), number, QStringLiteral("\\1\\"));
        }
        // Not ticked: in the other group only.
        addMember(99, QStringLiteral("Ω"), QStringLiteral("6999999999"), QStringLiteral("\\2\\"));
        m_fx.service().script(Answer::code(4711));
        m_fx.service().script(Answer::code(80));
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("Καλημέρα"));
        for (const QString& number : extras)
            w.cntrlPhones()->AddPhone(number, true);
        if (!ticked.isEmpty())
            QVERIFY(tickNode(w, QStringLiteral("GRP_1")));

        clickToolbar(w, "btnSend");

        if (list.isEmpty()) {
            // The out-box writer refuses it: nothing is written, nothing goes out.
            QCOMPARE(m_fx.boxes().shown().size(), 1);
            QCOMPARE(m_fx.boxes().shown().first().text,
                     QStringLiteral("Το μήνυμα που θέλετε να στείλετε δεν περιέχει παραλήπτες.\n"
                                    "Η αποστολή είναι αδύνατη."));
            QVERIFY(rows(QStringLiteral("outbox_messages")).isEmpty());
            QVERIFY(m_fx.service().requests().isEmpty());
            QVERIFY(!w.MessageSent());
            return;
        }
        QCOMPARE(m_fx.boxes().shown().size(), 0);
        const QList<Row> moved = rows(QStringLiteral("sended_messages"));
        QCOMPARE(moved.size(), 1);
        QCOMPARE(moved.first()["msg_phonelist"].toString(), list);
        QCOMPARE(moved.first()["msg_SID"].toInt(), 4711);
        QVERIFY(rows(QStringLiteral("outbox_messages")).isEmpty());
        QCOMPARE(recipients(m_fx.service().requests().first()), sent);
        QVERIFY(w.MessageSent());
        // The message and its recipients stay in the window.
        QCOMPARE(w.Message()->Text(), QStringLiteral("Καλημέρα"));
        QCOMPARE(w.cntrlPhones()->PhoneCount(), extras.size());
    }

    void theScheduleAndTheMessageGoIntoTheOutboxRow()
    {
        addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("6900000001"),
                  QStringLiteral("\\1\\"));
        // The service is not there: the row stays in the out-box as the send left it.
        m_fx.service().stop();
        frmMessage_Edit& w = openWindow();
        w.Message()->setTitle(QStringLiteral("Προσφορά"));
        w.Message()->setText(QStringLiteral("Έκπτωση 50%"));
        w.Message()->setFlash(true);
        w.txtOriginator()->setText(QStringLiteral("Κατάστημα"));
        w.SendDate = QStringLiteral("07/03/2024");
        w.SendTime = QStringLiteral("18:30");
        QVERIFY(tickNode(w, QStringLiteral("GRP_1")));

        mainWindow().MenuItem(QStringLiteral("mn_SendMessage"))->trigger();

        const QList<Row> out = rows(QStringLiteral("outbox_messages"));
        QCOMPARE(out.size(), 1);
        QCOMPARE(out.first()["msg_title"].toString(), QStringLiteral("Προσφορά"));
        QCOMPARE(out.first()["msg_text"].toString(), QStringLiteral("Έκπτωση 50%"));
        QCOMPARE(out.first()["msg_originator"].toString(), QStringLiteral("Κατάστημα"));
        QCOMPARE(out.first()["msg_flash"].toInt(), 1);
        QCOMPARE(out.first()["msg_phonelist"].toString(), QStringLiteral(",6900000001"));
        QCOMPARE(out.first()["msg_schdate"].toString(), QStringLiteral("2024-03-07"));
        QCOMPARE(out.first()["msg_schtime"].toString(), QStringLiteral("18:30"));
        QCOMPARE(out.first()["msg_error"].toInt(), -31000);
        // Handed over is handed over, whatever the batch made of it.
        QVERIFY(w.MessageSent());
    }

    void aSecondSendAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("sentRows");
        QTest::newRow("no") << int(rt::mb::No) << 1;
        QTest::newRow("yes") << int(rt::mb::Yes) << 2;
    }
    void aSecondSendAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(int, sentRows);
        m_fx.service().setDefaultAnswer(Answer::code(7));
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("Υπενθύμιση"));
        w.cntrlPhones()->AddPhone(QStringLiteral("6900000001"));
        clickToolbar(w, "btnSend");
        QCOMPARE(m_fx.service().requests().size(), 2); // the message and the credits
        QVERIFY(m_fx.boxes().shown().isEmpty());

        m_fx.boxes().answer(answer);
        clickToolbar(w, "btnSend");
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        const testsupport::ShownBox box = m_fx.boxes().shown().first();
        QCOMPARE(box.text, QStringLiteral("Έχετε ήδη αποστείλει αυτό το μήνυμα.\n"
                                          "Θέλετε να το ξαναστείλετε;"));
        QCOMPARE(box.title, QStringLiteral("Αποστολή Μηνύματος"));
        QCOMPARE(box.buttons(), int(rt::mb::YesNo));
        QCOMPARE(box.icon(), int(rt::mb::Question));
        QCOMPARE(rows(QStringLiteral("sended_messages")).size(), sentRows);
        QVERIFY(rows(QStringLiteral("outbox_messages")).isEmpty());
        QCOMPARE(m_fx.service().requests().size(), 2 * sentRows);
        QVERIFY(w.MessageSent());
    }

    // ---- save -----------------------------------------------------------------------------

    void saveThenSaveAgainThenSaveAs()
    {
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("Πρώτο κείμενο"));
        w.Message()->setFlash(true);
        answerTitle(QStringLiteral("Πρόσκληση"));
        clickToolbar(w, "btnSaveMsg");

        QList<Row> rowsNow = saved();
        QCOMPARE(rowsNow.size(), 1);
        const int first = rowsNow.first()["msg_id"].toInt();
        QCOMPARE(w.MsgID, first);
        QCOMPARE(rowsNow.first()["msg_title"].toString(), QStringLiteral("Πρόσκληση"));
        QCOMPARE(rowsNow.first()["msg_text"].toString(), QStringLiteral("Πρώτο κείμενο"));
        QCOMPARE(rowsNow.first()["msg_flash"].toInt(), 1);
        QCOMPARE(rowsNow.first()["msg_originator"].toString(), QStringLiteral("Shop"));
        QCOMPARE(rowsNow.first()["msg_datecreated"].toString(), QStringLiteral("2024-03-05"));
        QCOMPARE(rowsNow.first()["msg_timecreated"].toString(), QStringLiteral("09:07"));
        QCOMPARE(w.Message()->Title(), QStringLiteral("Πρόσκληση"));
        QCOMPARE(caption(w), QStringLiteral("Επεξεργασία Μηνύματος (Πρόσκληση)"));
        QVERIFY(!saveButtonEnabled(w));
        QVERIFY(!mainWindow().MenuItem(QStringLiteral("mn_SaveMessage"))->isEnabled());
        QCOMPARE(dropDown(), QStringList{QStringLiteral("msg_%1=Πρόσκληση").arg(first)});

        // Again, later, from the menu: the same row, stamped with the time of this save.
        w.Message()->setText(QStringLiteral("Δεύτερο κείμενο"));
        QVERIFY(saveButtonEnabled(w));
        m_clock.set(QDateTime(QDate(2024, 3, 6), QTime(20, 15)));
        answerTitle(QStringLiteral("Πρόσκληση"));
        mainWindow().MenuItem(QStringLiteral("mn_SaveMessage"))->trigger();
        rowsNow = saved();
        QCOMPARE(rowsNow.size(), 1);
        QCOMPARE(rowsNow.first()["msg_text"].toString(), QStringLiteral("Δεύτερο κείμενο"));
        QCOMPARE(rowsNow.first()["msg_datecreated"].toString(), QStringLiteral("2024-03-06"));
        QCOMPARE(rowsNow.first()["msg_timecreated"].toString(), QStringLiteral("20:15"));
        QCOMPARE(w.MsgID, first);

        // Save As makes a second row, and later saves go to that one.
        answerTitle(QStringLiteral("Αντίγραφο"));
        mainWindow().MenuItem(QStringLiteral("mn_SaveMessageAs"))->trigger();
        rowsNow = saved();
        QCOMPARE(rowsNow.size(), 2);
        const int second = rowsNow.last()["msg_id"].toInt();
        QVERIFY(second != first);
        QCOMPARE(w.MsgID, second);
        QCOMPARE(rowsNow.first()["msg_title"].toString(), QStringLiteral("Πρόσκληση"));
        QCOMPARE(rowsNow.last()["msg_title"].toString(), QStringLiteral("Αντίγραφο"));
        w.Message()->setText(QStringLiteral("Τρίτο κείμενο"));
        answerTitle(QStringLiteral("Αντίγραφο"));
        clickToolbar(w, "btnSaveMsg");
        rowsNow = saved();
        QCOMPARE(rowsNow.size(), 2);
        QCOMPARE(rowsNow.first()["msg_text"].toString(), QStringLiteral("Δεύτερο κείμενο"));
        QCOMPARE(rowsNow.last()["msg_text"].toString(), QStringLiteral("Τρίτο κείμενο"));
        QCOMPARE(dropDown(), (QStringList{QStringLiteral("msg_%1=Πρόσκληση").arg(first),
                                          QStringLiteral("msg_%1=Αντίγραφο").arg(second)}));
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QCOMPARE(m_fx.modals().shownNames().size(), 4);
    }

    void theTitleDialogOffersTheTitleAndTheText()
    {
        frmMessage_Edit& w = openWindow();
        w.Message()->setTitle(QStringLiteral("Νέα σειρά"));
        w.Message()->setText(QStringLiteral("Ήρθαν τα νέα"));
        QString shownTitle, shownText, selected;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Save&>(form);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Αποθήκευση Μηνύματος"));
            QCOMPARE(dialog.cmdOK()->text(), QStringLiteral("\u039F\u039A"));
            shownTitle = dialog.MsgText_0()->Text();
            shownText = dialog.MsgText_1()->Text();
            selected = dialog.MsgText_0()->SelText();
            // Only the title comes back; the reminder of the text is not taken.
            dialog.MsgText_1()->setText(QStringLiteral("άλλο"));
            dialog.MsgText_0()->setText(QStringLiteral("Σειρά"));
            dialog.cmdOK()->click();
        });
        clickToolbar(w, "btnSaveMsg");
        QCOMPARE(shownTitle, QStringLiteral("Νέα σειρά"));
        QCOMPARE(selected, QStringLiteral("Νέα σειρά"));
        QCOMPARE(shownText, QStringLiteral("Ήρθαν τα νέα"));
        QCOMPARE(saved().size(), 1);
        QCOMPARE(saved().first()["msg_title"].toString(), QStringLiteral("Σειρά"));
        QCOMPARE(saved().first()["msg_text"].toString(), QStringLiteral("Ήρθαν τα νέα"));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Save")));
    }

    void cancellingTheTitleWritesNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Escape") << true;
    }
    void cancellingTheTitleWritesNothing()
    {
        QFETCH(bool, escape);
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("Κείμενο"));
        answerTitle(QStringLiteral("Αρχικό"));
        clickToolbar(w, "btnSaveMsg");
        const int id = w.MsgID;
        w.Message()->setText(QStringLiteral("Αλλαγμένο"));
        QVERIFY(saveButtonEnabled(w));

        m_fx.modals().then([escape](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Save&>(form);
            dialog.MsgText_0()->setText(QStringLiteral("Άλλος τίτλος"));
            if (escape)
                QTest::keyClick(dialog.MsgText_0(), Qt::Key_Escape);
            else
                dialog.cmdCancel()->click();
        });
        mainWindow().MenuItem(QStringLiteral("mn_SaveMessageAs"))->trigger();

        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Save")));
        QCOMPARE(saved().size(), 1);
        QCOMPARE(saved().first()["msg_text"].toString(), QStringLiteral("Κείμενο"));
        QCOMPARE(w.MsgID, id);
        QCOMPARE(w.Message()->Title(), QStringLiteral("Αρχικό"));
        QVERIFY(saveButtonEnabled(w));
        QVERIFY(!w.DoSave);
    }

    void blankTextIsNotSaved()
    {
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("   "));
        clickToolbar(w, "btnSaveMsg");
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        const testsupport::ShownBox box = m_fx.boxes().shown().first();
        QCOMPARE(box.text,
                 QStringLiteral("Το μήνυμα που θέλετε να αποθηκεύσετε δεν περιέχει κείμενο.\n"
                                "Πληκτρολογήστε το κείμενο του μηνύματος και αποθηκεύστε ξανά."));
        QCOMPARE(box.title, QStringLiteral("ΑΠΟΘΗΚΕΥΣΗ ΜΗΝΥΜΑΤΟΣ"));
        QCOMPARE(box.style, int(rt::mb::Exclamation | rt::mb::OKOnly));
        QVERIFY(m_fx.modals().shownNames().isEmpty());
        QVERIFY(saved().isEmpty());
    }

    void aFailingSaveIsShownAndKeepsTheRowItEdits()
    {
        frmMessage_Edit& w = openWindow();
        w.Message()->setText(QStringLiteral("Κείμενο"));
        answerTitle(QStringLiteral("Τίτλος"));
        clickToolbar(w, "btnSaveMsg");
        const int id = w.MsgID;
        exec(QStringLiteral("CREATE TRIGGER no_more BEFORE INSERT ON saved_messages "
                            "BEGIN SELECT RAISE(ABORT, 'locked'); END"));

        w.Message()->setText(QStringLiteral("Νέο"));
        answerTitle(QStringLiteral("Αντίγραφο"));
        mainWindow().MenuItem(QStringLiteral("mn_SaveMessageAs"))->trigger();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QVERIFY(m_fx.boxes().shown().first().text.contains(QStringLiteral("locked")));
        QCOMPARE(saved().size(), 1);
        QVERIFY(saveButtonEnabled(w));
        // The window still edits the row it had: the next save goes there.
        QCOMPARE(w.MsgID, id);
        exec(QStringLiteral("DROP TRIGGER no_more"));
        answerTitle(QStringLiteral("Τίτλος"));
        clickToolbar(w, "btnSaveMsg");
        QCOMPARE(saved().size(), 1);
        QCOMPARE(saved().first()["msg_text"].toString(), QStringLiteral("Νέο"));
        QCOMPARE(w.MsgID, id);
    }

    // ---- load -------------------------------------------------------------------------------

    void aMessageSavedWithoutTitleLoadsWithAnEmptyOne()
    {
        frmMessage_Edit& first = openWindow();
        first.Message()->setText(QStringLiteral("Χωρίς τίτλο"));
        first.txtOriginator()->setText(QString());
        answerTitle(QString());
        clickToolbar(first, "btnSaveMsg");
        QCOMPARE(saved().size(), 1);
        QVERIFY(!saved().first()["msg_title"].isValid());
        QVERIFY(!saved().first()["msg_originator"].isValid());
        const int id = first.MsgID;

        // The drop-down entry opens it in a fresh window.
        mainWindow().MainToolBar_ButtonMenuClick(QStringLiteral("btnNewMessage"),
                                                 QStringLiteral("msg_%1").arg(id));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmMessage_Edit* w = rt::Forms::find<frmMessage_Edit>();
        QVERIFY(w);
        QCOMPARE(mdlMain::ChildForms().Item(1), w);
        QCOMPARE(w->MsgID, id);
        QCOMPARE(caption(*w), QStringLiteral("Επεξεργασία Μηνύματος ()"));
        QCOMPARE(w->Message()->Title(), QString());
        QCOMPARE(w->Message()->Text(), QStringLiteral("Χωρίς τίτλο"));
        QCOMPARE(w->txtOriginator()->Text(), QString());
        QVERIFY(!saveButtonEnabled(*w));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void loadingClearsTheTicksOnly()
    {
        addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("6900000001"),
                  QStringLiteral("\\1\\"));
        addMember(2, QStringLiteral("Βασιλείου"), QStringLiteral("6900000002"),
                  QStringLiteral("\\2\\"));
        exec(QStringLiteral("INSERT INTO saved_messages (msg_id, msg_title, msg_text, msg_flash, "
                            "msg_originator) VALUES (5, 'Παλιό', 'Παλιό κείμενο', 1, 'Αλλού')"));
        frmMessage_Edit& w = openWindow();
        w.SendDate = QStringLiteral("07/03/2024");
        w.SendTime = QStringLiteral("18:30");
        w.cntrlPhones()->AddPhone(QStringLiteral("6912345678"));
        QVERIFY(w.CreateInstantGroup({QStringLiteral("SELECT * FROM members"), {}}).ok);
        QVERIFY(tickNode(w, QStringLiteral("GRP_0")));
        QVERIFY(w.Groups()->Nodes().Item(QStringLiteral("GRP_1")).Checked());
        emit w.Groups()->NodeClick(w.Groups()->Nodes().Item(QStringLiteral("GRP_2")));

        w.LoadMessage(5);

        QCOMPARE(caption(w), QStringLiteral("Επεξεργασία Μηνύματος (Παλιό)"));
        QCOMPARE(w.Message()->Title(), QStringLiteral("Παλιό"));
        QCOMPARE(w.Message()->Text(), QStringLiteral("Παλιό κείμενο"));
        QVERIFY(w.Message()->Flash());
        QCOMPARE(w.txtOriginator()->Text(), QStringLiteral("Αλλού"));
        rt::Nodes nodes = w.Groups()->Nodes();
        for (int i = 1; i <= nodes.Count(); ++i)
            QVERIFY2(!nodes.Item(i).Checked(), qPrintable(nodes.Item(i).Key()));
        for (const rt::ListItem item : w.lstMembers()->ListItems())
            QVERIFY(!item.Checked());
        QCOMPARE(w.Groups()->SelectedItem().Key(), QStringLiteral("GRP_0"));
        QCOMPARE(w.Members()->ListItems().Count(), 2);
        QCOMPARE(w.Groups()->Nodes().Count(), 4); // the instant group stays
        QCOMPARE(w.cntrlPhones()->PhoneCount(), 1);
        QCOMPARE(w.SendDate, QStringLiteral("07/03/2024"));
        QCOMPARE(w.SendTime, QStringLiteral("18:30"));
        QCOMPARE(mainWindow().StatusBar()->Panel(QStringLiteral("pnlSMSCount"))->Text(),
                 QStringLiteral(" 1"));
        QVERIFY(!saveButtonEnabled(w));
    }

    void aMessageGoneMeanwhileLeavesANewMessage()
    {
        exec(QStringLiteral("INSERT INTO saved_messages (msg_id, msg_title, msg_text) "
                            "VALUES (5, 'Παλιό', 'Παλιό κείμενο')"));
        frmMessage_Edit& w = openWindow();
        w.LoadMessage(5);
        QCOMPARE(w.MsgID, 5);
        exec(QStringLiteral("DELETE FROM saved_messages"));

        w.LoadMessage(5);
        QCOMPARE(w.MsgID, 0);
        QCOMPARE(caption(w), QStringLiteral("Δημιουργία Μηνύματος"));
        QCOMPARE(w.Message()->Title(), QStringLiteral("Νέο Μήνυμα"));
        QCOMPARE(w.Message()->Text(), QString());
        QCOMPARE(w.txtOriginator()->Text(), QStringLiteral("Shop"));
        QVERIFY(!saveButtonEnabled(w));
        QVERIFY(m_fx.boxes().shown().isEmpty());

        // Saving it makes a new row rather than hunting for the old one.
        w.Message()->setText(QStringLiteral("Καινούργιο"));
        answerTitle(QStringLiteral("Νέο"));
        clickToolbar(w, "btnSaveMsg");
        QCOMPARE(saved().size(), 1);
        QVERIFY(saved().first()["msg_id"].toInt() > 5);
    }

    void aDropDownEntryOfAGoneMessageOpensANewOne()
    {
        exec(QStringLiteral("INSERT INTO saved_messages (msg_id, msg_title, msg_text) "
                            "VALUES (5, 'Παλιό', 'Παλιό κείμενο')"));
        mainWindow().ReadSavedMessages();
        exec(QStringLiteral("DELETE FROM saved_messages"));
        mainWindow().MainToolBar_ButtonMenuClick(QStringLiteral("btnNewMessage"),
                                                 QStringLiteral("msg_5"));
        frmMessage_Edit* w = rt::Forms::find<frmMessage_Edit>();
        QVERIFY(w);
        QCOMPARE(w->MsgID, 0);
        QCOMPARE(caption(*w), QStringLiteral("Δημιουργία Μηνύματος"));
        QCOMPARE(w->Message()->Title(), QStringLiteral("Νέο Μήνυμα"));
        QCOMPARE(w->Message()->Text(), QString());
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void aFailingLoadFromTheDropDownIsShown()
    {
        exec(QStringLiteral("INSERT INTO saved_messages (msg_id, msg_title, msg_text) "
                            "VALUES (5, 'Παλιό', 'Παλιό κείμενο')"));
        mainWindow().ReadSavedMessages();
        exec(QStringLiteral("ALTER TABLE saved_messages RENAME TO old_messages"));
        mainWindow().MainToolBar_ButtonMenuClick(QStringLiteral("btnNewMessage"),
                                                 QStringLiteral("msg_5"));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        // The window is there, to be closed or written into.
        QVERIFY(rt::Forms::find<frmMessage_Edit>());
    }
};

QTEST_MAIN(tst_loadsavesend)
#include "tst_loadsavesend.moc"
