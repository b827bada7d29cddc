#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "messages/frmMessage_Export.h"
#include "messages/frmMessage_Properties.h"
#include "messages/frmMessage_Sended.h"
#include "platform/AxButton.h"
#include "platform/Clock.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/Recordset.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "sending/frmSendMessages.h"
#include "tests/support/Docking.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"
#include "tests/support/Views.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using testsupport::FakeSmsService;
using testsupport::itemKeys;
using testsupport::mainWindow;
using testsupport::tableRows;
using Answer = FakeSmsService::Answer;

namespace {

rt::StatusPanel* panel(const QString& key)
{
    return mainWindow().StatusBar()->Panel(key);
}

struct Sent {
    QVariant title;
    QString text;
    QVariant phones;
    QString date;
    QString time;
    QVariant schdate;
    QVariant schtime;
    bool flash = false;
};

qint64 addSent(const Sent& m)
{
    rt::Database& db = mdlDataBase::MainDatabase();
    if (!db.execute({QStringLiteral("INSERT INTO sended_messages (msg_title, msg_text, "
                                    "msg_originator, msg_flash, msg_phonelist, msg_date, "
                                    "msg_time, msg_schdate, msg_schtime, msg_SID, msg_Status) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {m.title, m.text, QStringLiteral("Κατάστημα"), m.flash, m.phones, m.date,
                      m.time, m.schdate, m.schtime, 1, 1}}))
        return 0;
    return testsupport::lastMessageId(QStringLiteral("sended_messages"));
}

QString key(qint64 id)
{
    return QStringLiteral("MSG_%1").arg(id);
}

} // namespace

// The sent-messages list docked in the real main window, resending through the real
// sending window to the loopback service.
class tst_frmmessage_sended : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    rt::TestClock m_clock{QDateTime(QDate(2024, 3, 5), QTime(9, 7, 42))};

    frmMessage_Sended& openList()
    {
        if (mainWindow().FreeChildSpace(QStringLiteral("frmMessage_Sended")))
            rt::Forms::get<frmMessage_Sended>().show();
        return rt::Forms::get<frmMessage_Sended>();
    }

    QList<qint64> addThree()
    {
        return {
            addSent({QStringLiteral("Άμεσο"), QStringLiteral("ένα"),
                     QStringLiteral(",6900000001,6900000002"), QStringLiteral("2024-03-01"),
                     QStringLiteral("09:00"), QVariant(), QVariant(), false}),
            addSent({QStringLiteral("Προγραμματισμένο"), QStringLiteral("δύο"),
                     QStringLiteral("6900000003"), QStringLiteral("2024-02-28"),
                     QStringLiteral("18:45"), QStringLiteral("2024-03-07"), QStringLiteral("18:30"),
                     true}),
            addSent({QVariant(), QStringLiteral("τρία"), QVariant(), QStringLiteral("2024-03-02"),
                     QStringLiteral("07:05"), QVariant(), QVariant(), false})};
    }

    void selectOnly(frmMessage_Sended& w, const QList<int>& indexes)
    {
        for (const rt::ListItem item : w.SendList()->ListItems())
            rt::ListItem(item).setSelected(false);
        for (const int i : indexes)
            w.SendList()->ListItems().Item(i).setSelected(true);
    }

    QMap<QString, bool> contextMenuStates(frmMessage_Sended& w)
    {
        return testsupport::contextMenuStates(
            w.mnPopup(), w.SendList(),
            {QStringLiteral("mnSend"), QStringLiteral("mnDelete"), QStringLiteral("mnDetails")});
    }

private slots:
    void init()
    {
        rt::setClock(&m_clock);
        QVERIFY2(
            m_fx.start(
                {.controlLibrary = true, .modals = true, .fileDialogs = true, .service = true}),
            qPrintable(m_fx.error()));
        testsupport::useTestAccount(m_fx.service());
        mdlSettings::ShowDisclaimer = 0;
        mainWindow().show();
        m_fx.boxes().clear();
    }
    void cleanup()
    {
        m_fx.stop();
        rt::setClock(nullptr);
    }

    void showsEachSentMessage()
    {
        const QList<qint64> ids = addThree();
        frmMessage_Sended& w = openList();
        QVERIFY(testsupport::verifyDocked(w, QStringLiteral("Απεσταλμένα Μηνύματα")));
        QCOMPARE(itemKeys(w.SendList()), (QStringList{key(ids[0]), key(ids[1]), key(ids[2])}));
        rt::ListItems items = w.SendList()->ListItems();
        const rt::ListItem atOnce = items.Item(1);
        QCOMPARE(atOnce.SmallIcon().index, 1);
        QCOMPARE(atOnce.SubItems(1), QStringLiteral("01/03/2024 09:00"));
        QCOMPARE(atOnce.SubItems(2), QString());
        QCOMPARE(atOnce.SubItems(3), QStringLiteral("Κανονικό"));
        QCOMPARE(atOnce.SubItems(4), QStringLiteral("Άμεσο"));
        QCOMPARE(atOnce.SubItems(5), QStringLiteral("2"));
        const rt::ListItem scheduled = items.Item(2);
        QCOMPARE(scheduled.SmallIcon().index, 2);
        QCOMPARE(scheduled.SubItems(2), QStringLiteral("07/03/2024 18:30"));
        QCOMPARE(scheduled.SubItems(3), QStringLiteral("Flash"));
        QCOMPARE(scheduled.SubItems(5), QStringLiteral("1"));
        const rt::ListItem bare = items.Item(3);
        QCOMPARE(bare.SubItems(4), QString());
        QCOMPARE(bare.SubItems(5), QStringLiteral("0"));

        QCOMPARE(panel(QStringLiteral("frmMessage_Sended"))->Text(), QStringLiteral(" 3 Μηνύματα"));
        for (const char* button : {"btnSend", "btnDelete", "btnDetails", "btnExport"})
            QVERIFY2(w.Toolbar()->isButtonEnabled(QLatin1String(button)), button);
        QCOMPARE(w.Toolbar()->Button(QStringLiteral("btnExport"))->toolTip(),
                 QStringLiteral("Εξαγωγή Μηνύματος σε Αρχείο"));

        w.formTitle()->cmdClose()->click();
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Sended")));
        QVERIFY(!panel(QStringLiteral("frmMessage_Sended")));
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
    }

    void emptyList()
    {
        frmMessage_Sended& w = openList();
        QCOMPARE(panel(QStringLiteral("frmMessage_Sended"))->Text(), QStringLiteral(" 0 Μηνύματα"));
        for (const char* button : {"btnSend", "btnDelete", "btnDetails", "btnExport"})
            QVERIFY2(!w.Toolbar()->isButtonEnabled(QLatin1String(button)), button);
        const QMap<QString, bool> states = contextMenuStates(w);
        QCOMPARE(states.size(), 3);
        for (const bool enabled : states)
            QVERIFY(!enabled);
    }

    void sortingByAColumnIsAlwaysAscending()
    {
        const QList<qint64> ids = addThree();
        frmMessage_Sended& w = openList();
        w.SendList()->Refresh();
        // Sent 01/03, 28/02 and 02/03: as text, day first.
        const QStringList ascending{key(ids[0]), key(ids[2]), key(ids[1])};
        for (int click = 0; click < 2; ++click) {
            emit w.SendList()->ColumnClick(2);
            QCOMPARE(itemKeys(w.SendList()), ascending);
        }
    }

    void selectionDecidesTheOneMessageCommands()
    {
        addThree();
        frmMessage_Sended& w = openList();
        selectOnly(w, {1, 3});
        QMap<QString, bool> states = contextMenuStates(w);
        QCOMPARE(states.value(QStringLiteral("mnSend")), false);
        QCOMPARE(states.value(QStringLiteral("mnDetails")), false);
        QCOMPARE(states.value(QStringLiteral("mnDelete")), true);

        w.SendMessage();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Πρέπει να επιλέξετε μόνο ένα μήνυμα για αποστολή."));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Exclamation));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΑΠΟΣΤΟΛΗ ΜΗΝΥΜΑΤΟΣ"));
        QVERIFY(tableRows(QStringLiteral("outbox_messages")).isEmpty());
        QVERIFY(m_fx.service().requests().isEmpty());

        // A click that leaves one message selected offers the toolbar's Send again.
        w.SendList()->Refresh();
        const QRect row = w.SendList()->visualRect(w.SendList()->model()->index(1, 4));
        QTest::mouseClick(w.SendList()->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(w.SendList()->ListItems().Item(2).Selected(), true);
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnSend")));
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnDetails")));
    }

    void resendAddsASecondSentRow_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("how");
        QTest::newRow("at once, toolbar") << 1 << QStringLiteral("btnSend");
        QTest::newRow("scheduled, context menu") << 2 << QStringLiteral("mnSend");
    }
    void resendAddsASecondSentRow()
    {
        QFETCH(int, index);
        QFETCH(QString, how);
        const QList<qint64> ids = addThree();
        frmMessage_Sended& w = openList();
        selectOnly(w, {index});
        w.SendList()->setSelectedItem(w.SendList()->ListItems().Item(index));
        const QVariantMap original = tableRows(QStringLiteral("sended_messages")).at(index - 1);
        m_fx.service().script(Answer::code(4321));
        m_fx.service().script(Answer::code(900));
        m_clock.set(QDateTime(QDate(2024, 3, 6), QTime(20, 15)));

        if (how.startsWith(QLatin1String("btn"))) {
            w.Toolbar()->Button(how)->click();
        } else {
            for (int i = 0; i < w.mnPopup()->ItemCount(); ++i) {
                if (w.mnPopup()->submenu(i)->data().toString() == how)
                    w.mnPopup()->submenu(i)->trigger();
            }
        }

        QCOMPARE(m_fx.service().requests().size(), 2);
        const QByteArray request = m_fx.service().requests().first();
        QVERIFY(request.startsWith("POST /prog/send.php"));
        QVERIFY(request.contains("&M=" + rt::cp1253::fromUnicode(original["msg_text"].toString())));
        QCOMPARE(request.contains("&D=2024.03.07.18.30&"), index == 2);
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QVERIFY(tableRows(QStringLiteral("outbox_messages")).isEmpty());

        const QList<QVariantMap> sent = tableRows(QStringLiteral("sended_messages"));
        QCOMPARE(sent.size(), 4);
        QCOMPARE(sent.at(index - 1), original);
        const QVariantMap again = sent.last();
        QCOMPARE(again["msg_date"].toString(), QStringLiteral("2024-03-06"));
        QCOMPARE(again["msg_time"].toString(), QStringLiteral("20:15"));
        QCOMPARE(again["msg_SID"].toInt(), 4321);
        for (const char* field : {"msg_title", "msg_text", "msg_originator", "msg_phonelist",
                                  "msg_schdate", "msg_schtime", "msg_flash"})
            QCOMPARE(again[QLatin1String(field)], original[QLatin1String(field)]);

        // The batch refreshed the docked list; the message chosen is still the selected one.
        QCOMPARE(w.SendList()->ListItems().Count(), 4);
        QVERIFY(w.SendList()->ListItems().Exists(key(sent.last()["msg_id"].toLongLong())));
        QCOMPARE(w.SendList()->SelectedItem().Key(), key(ids[index - 1]));
        QVERIFY(w.SendList()->SelectedItem().Selected());
        QCOMPARE(panel(QStringLiteral("frmMessage_Sended"))->Text(), QStringLiteral(" 4 Μηνύματα"));
    }

    void refusedResendStaysInTheOutBox()
    {
        addThree();
        frmMessage_Sended& w = openList();
        selectOnly(w, {1});
        m_fx.service().script(Answer::code(-700));
        w.SendMessage();
        const QList<QVariantMap> waiting = tableRows(QStringLiteral("outbox_messages"));
        QCOMPARE(waiting.size(), 1);
        QCOMPARE(waiting.first()["msg_error"].toInt(), -700);
        QCOMPARE(waiting.first()["msg_text"].toString(), QStringLiteral("ένα"));
        QCOMPARE(tableRows(QStringLiteral("sended_messages")).size(), 3);
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: -700\n")));
        QCOMPARE(w.SendList()->ListItems().Count(), 3);
    }

    void resendRefusedByTheWriterSendsNothing()
    {
        addThree();
        frmMessage_Sended& w = openList();
        selectOnly(w, {3}); // no phone list
        w.SendMessage();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(tableRows(QStringLiteral("outbox_messages")).isEmpty());
        QVERIFY(m_fx.service().requests().isEmpty());
        QCOMPARE(tableRows(QStringLiteral("sended_messages")).size(), 3);
    }

    void deleteNamesTheTitle_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QList<int>>("left");
        QTest::newRow("one") << QList<int>{2} << QStringLiteral("το μήνυμα \"Προγραμματισμένο\".")
                             << QList<int>{1, 3};
        QTest::newRow("untitled") << QList<int>{3} << QStringLiteral("το μήνυμα \"\".")
                                  << QList<int>{1, 2};
        QTest::newRow("first and last")
            << QList<int>{1, 3} << QStringLiteral("2 μηνύματα.") << QList<int>{2};
    }
    void deleteNamesTheTitle()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, subject);
        QFETCH(QList<int>, left);
        const QList<qint64> ids = addThree();
        frmMessage_Sended& w = openList();
        selectOnly(w, selected);
        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();

        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text, QStringLiteral("Πρόκειτε να διαγράψετε ") +
                                                        subject +
                                                        QStringLiteral("\nΘέλετε να συνεχίσετε;"));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ"));
        QStringList keys;
        for (const int i : left)
            keys << key(ids[i - 1]);
        QCOMPARE(itemKeys(w.SendList()), keys);
        QCOMPARE(tableRows(QStringLiteral("sended_messages")).size(), left.size());
        QCOMPARE(panel(QStringLiteral("frmMessage_Sended"))->Text(),
                 QStringLiteral(" %1 Μηνύματα").arg(left.size()));
        QVERIFY(!w.SendList()->isHidden());
    }

    // Deleted with the mouse and the toolbar: the row in the place of the first one
    // deleted is shown selected, so the one-message commands are on and act on it.
    void theRowInTheDeletedRowsPlaceIsTheOneDetailed_data()
    {
        QTest::addColumn<QList<int>>("deleted");
        QTest::addColumn<QString>("detailed"); // its title
        QTest::newRow("the first") << QList<int>{1} << "Προγραμματισμένο";
        QTest::newRow("the last") << QList<int>{3} << "Προγραμματισμένο";
        QTest::newRow("first and second") << QList<int>{1, 2} << "";
    }
    void theRowInTheDeletedRowsPlaceIsTheOneDetailed()
    {
        QFETCH(QList<int>, deleted);
        QFETCH(QString, detailed);
        addThree();
        frmMessage_Sended& w = openList();
        rt::ListView* list = w.SendList();
        testsupport::clickRow(list, deleted.first() - 1);
        for (int i = 1; i < deleted.size(); ++i)
            testsupport::clickRow(list, deleted[i] - 1, Qt::ControlModifier);
        m_fx.boxes().answer(rt::mb::Yes);
        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();
        QCOMPARE(tableRows(QStringLiteral("sended_messages")).size(), 3 - deleted.size());

        const rt::ListItem shown = list->SelectedItem();
        QCOMPARE(shown.SubItems(4), detailed);
        QCOMPARE(testsupport::shownSelectedRows(list), QList<int>{shown.Index() - 1});
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnDetails")));
        QVERIFY(w.Toolbar()->isButtonEnabled(QStringLiteral("btnSend")));
        QString details;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Properties&>(form);
            details = dialog.HeaderText();
            dialog.cmdOK_Click();
        });
        w.Toolbar()->Button(QStringLiteral("btnDetails"))->click();
        QVERIFY2(details.startsWith(QStringLiteral("Τίτλος: ") + detailed + QStringLiteral("\r\n")),
                 qPrintable(details));
    }

    // More rows than the list shows: the vertical scroll bar takes its width from the
    // title column; no horizontal scroll bar, "Παραλήπτες" whole.
    void theColumnsFitBesideTheScrollBar()
    {
        for (int i = 1; i <= 60; ++i)
            addSent({QStringLiteral("Μήνυμα %1").arg(i), QStringLiteral("κείμενο"),
                     QStringLiteral("6900000001"), QStringLiteral("2024-03-01"),
                     QStringLiteral("09:00"), QVariant(), QVariant(), false});
        frmMessage_Sended& w = openList();
        rt::ListView* list = w.SendList();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
        list->Refresh();
        QTRY_VERIFY(list->verticalScrollBar()->isVisible());
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        QHeaderView* header = list->header();
        const int last = header->count() - 1;
        QCOMPARE(header->sectionPosition(last) + header->sectionSize(last),
                 list->viewport()->width() - 5);
        QCOMPARE(header->sectionSize(0), 25);
        if (qEnvironmentVariableIsSet("VANTREL_GRAB"))
            mainWindow().grab().save(testsupport::picturePath(QStringLiteral("sent-columns.png")));
    }

    void detailsOfTheSelectedMessage()
    {
        addThree();
        frmMessage_Sended& w = openList();
        selectOnly(w, {2});
        QString shown;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Properties&>(form);
            shown = dialog.HeaderText();
            dialog.cmdOK_Click();
        });
        for (int i = 0; i < w.mnPopup()->ItemCount(); ++i) {
            if (w.mnPopup()->submenu(i)->data().toString() == QLatin1String("mnDetails"))
                w.mnPopup()->submenu(i)->trigger();
        }
        QCOMPARE(m_fx.modals().shownNames(), QStringList{QStringLiteral("frmMessage_Properties")});
        QVERIFY2(shown.startsWith(QStringLiteral("Τίτλος: Προγραμματισμένο\r\n")),
                 qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("Αποστολή: 28/02/2024 - 18:45\r\n")));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Properties")));
    }

    void exportWritesTheSelectedMessage()
    {
        addThree();
        frmMessage_Sended& w = openList();
        selectOnly(w, {2});
        w.SendList()->setSelectedItem(w.SendList()->ListItems().Item(2));
        const QString path = m_fx.folder().file(QStringLiteral("sent.txt"));
        m_fx.files().answer(path);
        m_fx.modals().then(
            [](rt::Form& form) { static_cast<frmMessage_Export&>(form).cmdExport_Click(); });
        w.Toolbar()->Button(QStringLiteral("btnExport"))->click();
        QCOMPARE(m_fx.modals().shownNames(), QStringList{QStringLiteral("frmMessage_Export")});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString written = rt::cp1253::toUnicode(file.readAll());
        QVERIFY2(written.contains(QStringLiteral("Προγρ/μένη Ημ/νία: 07/03/2024 - 18:30")),
                 qPrintable(written));
        QVERIFY(written.contains(QStringLiteral("\r\nδύο\r\n")));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void exportOfAMessageGoneMeanwhileReports()
    {
        const QList<qint64> ids = addThree();
        frmMessage_Sended& w = openList();
        QVERIFY(mdlDataBase::MainDatabase().execute(
            {QStringLiteral("DELETE FROM sended_messages WHERE msg_id = ?"), {ids[0]}}));
        w.Toolbar()->Button(QStringLiteral("btnExport"))->click();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QVERIFY(m_fx.files().requests().isEmpty());
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Export")));
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
    }
};

QTEST_MAIN(tst_frmmessage_sended)
#include "tst_frmmessage_sended.moc"
