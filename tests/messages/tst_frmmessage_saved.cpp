#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "compose/MessageEditor.h"
#include "compose/frmMessage_Edit.h"
#include "messages/frmMessage_Properties.h"
#include "messages/frmMessage_Saved.h"
#include "platform/AxButton.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Recordset.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "tests/support/Docking.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"
#include "tests/support/Views.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using testsupport::itemKeys;
using testsupport::mainWindow;

namespace {

rt::StatusPanel* panel(const QString& key)
{
    return mainWindow().StatusBar()->Panel(key);
}

qint64 addSaved(const QVariant& title, const QString& text, const QString& date,
                const QString& time)
{
    rt::Database& db = mdlDataBase::MainDatabase();
    if (!db.execute({QStringLiteral("INSERT INTO saved_messages (msg_title, msg_text, "
                                    "msg_originator, msg_flash, msg_datecreated, msg_timecreated) "
                                    "VALUES (?, ?, ?, ?, ?, ?)"),
                     {title, text, QStringLiteral("Shop"), 0, date, time}}))
        return 0;
    return testsupport::lastMessageId(QStringLiteral("saved_messages"));
}

QStringList savedIds()
{
    QStringList ids;
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT msg_id FROM saved_messages ORDER BY msg_id"), {}},
        rt::RecordsetType::Snapshot);
    for (; rs.isOpen() && !rs.eof(); rs.moveNext())
        ids.append(rs.field(0).toString());
    return ids;
}

// The entries of the main window's New Message drop-down, by their keys.
QStringList dropDownKeys()
{
    QStringList keys;
    QMenu* menu = mainWindow().MainToolBar()->ButtonMenu(QStringLiteral("btnNewMessage"));
    for (QAction* action : menu->actions())
        keys.append(action->objectName());
    return keys;
}

bool menuEnabled(const QString& name)
{
    QAction* item = mainWindow().MenuItem(name);
    return item && item->isEnabled();
}

} // namespace

// The saved-messages list docked in the real main window over a real database file.
class tst_frmmessage_saved : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    frmMessage_Saved& openList()
    {
        // As the main window's command opens it.
        if (mainWindow().FreeChildSpace(QStringLiteral("frmMessage_Saved")))
            rt::Forms::get<frmMessage_Saved>().show();
        return rt::Forms::get<frmMessage_Saved>();
    }

    // Five saved messages, created in this order over two days.
    QList<qint64> addFive()
    {
        return {addSaved(QStringLiteral("Πρώτο"), QStringLiteral("κείμενο 1"),
                         QStringLiteral("2024-03-01"), QStringLiteral("09:00")),
                addSaved(QStringLiteral("Δεύτερο"), QStringLiteral("κείμενο 2"),
                         QStringLiteral("2024-03-01"), QStringLiteral("10:00")),
                addSaved(QStringLiteral("Τρίτο"), QStringLiteral("κείμενο 3"),
                         QStringLiteral("2024-03-02"), QStringLiteral("08:00")),
                addSaved(QStringLiteral("Τέταρτο"), QStringLiteral("κείμενο 4"),
                         QStringLiteral("2024-03-02"), QStringLiteral("09:30")),
                addSaved(QStringLiteral("Πέμπτο"), QStringLiteral("κείμενο 5"),
                         QStringLiteral("2024-03-02"), QStringLiteral("11:45"))};
    }

    // Right-clicks the list and reports the menu's states while it is up.
    QMap<QString, bool> contextMenuStates(frmMessage_Saved& w)
    {
        return testsupport::contextMenuStates(
            w.mnPopup(), w.Message(),
            {QStringLiteral("mnOpen"), QStringLiteral("mnDelete"), QStringLiteral("mnDetails")});
    }

    // Triggers the context-menu item with that name, as a choice from the menu does.
    static void chooseMenuItem(frmMessage_Saved& w, const QString& name)
    {
        for (int i = 0; i < w.mnPopup()->ItemCount(); ++i) {
            if (w.mnPopup()->submenu(i)->data().toString() == name) {
                w.mnPopup()->submenu(i)->trigger();
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no menu item ") + name));
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .modals = true}), qPrintable(m_fx.error()));
        mdlSettings::ShowDisclaimer = 0;
        mainWindow().show();
        m_fx.boxes().clear();
    }
    void cleanup() { m_fx.stop(); }

    void emptyList()
    {
        frmMessage_Saved& w = openList();
        QCOMPARE(w.Message()->ListItems().Count(), 0);
        for (const char* key : {"btnEdit", "btnDelete", "btnDetails"})
            QVERIFY2(!w.Toolbar()->isButtonEnabled(QLatin1String(key)), key);
        QVERIFY(!menuEnabled(QStringLiteral("mn_DeleteMessage")));
        QVERIFY(panel(QStringLiteral("frmMessage_Saved")));
        QCOMPARE(panel(QStringLiteral("frmMessage_Saved"))->Text(), QStringLiteral(" 0 Μηνύματα"));
        QVERIFY(w.txtMessage()->Text().isEmpty());
        const QMap<QString, bool> states = contextMenuStates(w);
        QCOMPARE(states.size(), 3);
        for (const bool enabled : states)
            QVERIFY(!enabled);
    }

    void docksWithItsToolbarPanelAndMenu()
    {
        addFive();
        frmMessage_Saved& w = openList();
        QCOMPARE(mdlMain::ChildForms().Count(), 1);
        QVERIFY(testsupport::verifyDocked(w, QStringLiteral("Αποθηκευμένα Μηνύματα")));
        QCOMPARE(w.Toolbar()->ButtonCaption(QStringLiteral("btnEdit")),
                 QStringLiteral("Επεξεργασία"));
        QCOMPARE(w.Toolbar()->Button(QStringLiteral("btnDetails"))->toolTip(),
                 QStringLiteral("Ιδιότητες Μηνύματος"));
        QVERIFY(menuEnabled(QStringLiteral("mn_DeleteMessage")));
        QCOMPARE(panel(QStringLiteral("frmMessage_Saved"))->Text(), QStringLiteral(" 5 Μηνύματα"));
        // Docked panels stand before the two fixed ones.
        rt::StatusBar* bar = mainWindow().StatusBar();
        QCOMPARE(bar->Panel(bar->Count() - 1)->Key(), QStringLiteral("pnlSMSAvailable"));
        QCOMPARE(bar->Panel(bar->Count() - 2)->Key(), QStringLiteral("frmMessage_Saved"));
        QCOMPARE(w.mnPopup()->ItemCount(), 4);
        QStringList captions;
        for (int i = 0; i < 4; ++i)
            captions << w.mnPopup()->submenu(i)->data().toString() + QLatin1Char('=') +
                            (w.mnPopup()->submenu(i)->isSeparator()
                                 ? QStringLiteral("-")
                                 : w.mnPopup()->submenu(i)->text());
        QCOMPARE(
            captions,
            (QStringList{QStringLiteral("mnOpen=Επεξεργασία"), QStringLiteral("mnDelete=Διαγραφή"),
                         QStringLiteral("mnSep=-"), QStringLiteral("mnDetails=Ιδιότητες")}));
        const QMap<QString, bool> states = contextMenuStates(w);
        QCOMPARE(states.size(), 3);
        for (const bool enabled : states)
            QVERIFY(enabled);

        // The close button takes everything back.
        w.formTitle()->cmdClose()->click();
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Saved")));
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
        QVERIFY(!panel(QStringLiteral("frmMessage_Saved")));
        QVERIFY(!menuEnabled(QStringLiteral("mn_DeleteMessage")));
    }

    void listsInCreationOrderWithPreview()
    {
        const qint64 late = addSaved(QStringLiteral("Απόγευμα"), QStringLiteral("το βράδυ"),
                                     QStringLiteral("2024-03-05"), QStringLiteral("17:05"));
        const qint64 untitled = addSaved(QVariant(), QStringLiteral("χωρίς τίτλο"),
                                         QStringLiteral("2024-03-05"), QStringLiteral("08:15"));
        const qint64 earlier = addSaved(QStringLiteral("Χθες"), QStringLiteral("πρώτο"),
                                        QStringLiteral("2024-03-04"), QStringLiteral("23:59"));
        frmMessage_Saved& w = openList();
        rt::ListItems items = w.Message()->ListItems();
        QCOMPARE(itemKeys(w.Message()), (QStringList{QStringLiteral("MSG_%1").arg(earlier),
                                                     QStringLiteral("MSG_%1").arg(untitled),
                                                     QStringLiteral("MSG_%1").arg(late)}));
        QCOMPARE(items.Item(1).SubItems(1), QStringLiteral("04/03/2024 23:59"));
        QCOMPARE(items.Item(2).SubItems(1), QStringLiteral("05/03/2024 08:15"));
        QCOMPARE(items.Item(2).SubItems(2), QString());
        QCOMPARE(items.Item(3).SubItems(2), QStringLiteral("Απόγευμα"));
        QCOMPARE(items.Item(3).SmallIcon().index, 1);
        QVERIFY(items.Item(1).Text().isEmpty());

        // The preview shows the saved message selected at load, then the one clicked.
        QCOMPARE(w.txtMessage()->Text(), QStringLiteral("πρώτο"));
        w.Message()->Refresh();
        const QRect row = w.Message()->visualRect(w.Message()->model()->index(2, 2));
        QTest::mouseClick(w.Message()->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(w.Message()->SelectedItem().Key(), QStringLiteral("MSG_%1").arg(late));
        QCOMPARE(w.txtMessage()->Text(), QStringLiteral("το βράδυ"));
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("left");
        // What the preview shows after it: the row now selected in the first deleted
        // row's place; after No, the message it showed before.
        QTest::addColumn<QString>("preview");
        QTest::newRow("one, yes") << QList<int>{3} << QStringLiteral("το μήνυμα \"Τρίτο\".")
                                  << int(rt::mb::Yes) << QList<int>{1, 2, 4, 5}
                                  << QStringLiteral("κείμενο 4");
        QTest::newRow("one, no") << QList<int>{3} << QStringLiteral("το μήνυμα \"Τρίτο\".")
                                 << int(rt::mb::No) << QList<int>{1, 2, 3, 4, 5}
                                 << QStringLiteral("κείμενο 1");
        QTest::newRow("second and fourth")
            << QList<int>{2, 4} << QStringLiteral("2 μηνύματα.") << int(rt::mb::Yes)
            << QList<int>{1, 3, 5} << QStringLiteral("κείμενο 3");
        QTest::newRow("three") << QList<int>{1, 3, 5} << QStringLiteral("3 μηνύματα.")
                               << int(rt::mb::Yes) << QList<int>{2, 4}
                               << QStringLiteral("κείμενο 2");
    }
    void deleteAsksFirst()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, subject);
        QFETCH(int, answer);
        QFETCH(QList<int>, left);
        QFETCH(QString, preview);
        const QList<qint64> ids = addFive();
        mainWindow().ReadSavedMessages();
        frmMessage_Saved& w = openList();
        rt::ListItems items = w.Message()->ListItems();
        items.Item(1).setSelected(false);
        for (const int i : selected)
            items.Item(i).setSelected(true);
        m_fx.boxes().answer(answer);

        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();

        QCOMPARE(m_fx.boxes().shown().size(), 1);
        const testsupport::ShownBox box = m_fx.boxes().shown().first();
        QCOMPARE(box.text, QStringLiteral("Πρόκειτε να διαγράψετε ") + subject +
                               QStringLiteral("\nΘέλετε να συνεχίσετε;"));
        QCOMPARE(box.style, rt::mb::YesNo | rt::mb::Question);
        QCOMPARE(box.title, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ"));

        QStringList keys;
        QStringList rows;
        QStringList entries;
        for (const int i : left) {
            keys << QStringLiteral("MSG_%1").arg(ids.at(i - 1));
            rows << QString::number(ids.at(i - 1));
            entries << QStringLiteral("msg_%1").arg(ids.at(i - 1));
        }
        QCOMPARE(itemKeys(w.Message()), keys);
        QCOMPARE(savedIds(), rows);
        QCOMPARE(dropDownKeys(), entries);
        QCOMPARE(panel(QStringLiteral("frmMessage_Saved"))->Text(),
                 QStringLiteral(" %1 Μηνύματα").arg(left.size()));
        QVERIFY(!w.Message()->isHidden());
        QCOMPARE(w.txtMessage()->Text(), preview);
    }

    void deletingTheLastDisablesTheCommands()
    {
        addSaved(QStringLiteral("Μόνο"), QStringLiteral("ένα"), QStringLiteral("2024-03-01"),
                 QStringLiteral("09:00"));
        frmMessage_Saved& w = openList();
        chooseMenuItem(w, QStringLiteral("mnDelete"));
        QCOMPARE(w.Message()->ListItems().Count(), 0);
        QVERIFY(savedIds().isEmpty());
        QVERIFY(!w.Toolbar()->isButtonEnabled(QStringLiteral("btnEdit")));
        QVERIFY(!menuEnabled(QStringLiteral("mn_DeleteMessage")));
        QCOMPARE(panel(QStringLiteral("frmMessage_Saved"))->Text(), QStringLiteral(" 0 Μηνύματα"));
        // The preview keeps what it showed.
        QCOMPARE(w.txtMessage()->Text(), QStringLiteral("ένα"));
    }

    // Deleted with the mouse and the toolbar: the row in the place of the first one
    // deleted is the one shown selected and the one Ιδιότητες and Επεξεργασία open.
    void theRowInTheDeletedRowsPlaceIsTheOneOpened_data()
    {
        QTest::addColumn<QList<int>>("deleted");
        QTest::addColumn<QString>("opened"); // its title
        QTest::newRow("the second") << QList<int>{2} << "Τρίτο";
        QTest::newRow("the last") << QList<int>{5} << "Τέταρτο";
        QTest::newRow("second and fourth") << QList<int>{2, 4} << "Τρίτο";
    }
    void theRowInTheDeletedRowsPlaceIsTheOneOpened()
    {
        QFETCH(QList<int>, deleted);
        QFETCH(QString, opened);
        addFive();
        frmMessage_Saved& w = openList();
        rt::ListView* list = w.Message();
        testsupport::clickRow(list, deleted.first() - 1);
        for (int i = 1; i < deleted.size(); ++i)
            testsupport::clickRow(list, deleted[i] - 1, Qt::ControlModifier);
        m_fx.boxes().answer(rt::mb::Yes);
        w.Toolbar()->Button(QStringLiteral("btnDelete"))->click();
        QCOMPARE(savedIds().size(), 5 - int(deleted.size()));

        const rt::ListItem shown = list->SelectedItem();
        QCOMPARE(shown.SubItems(2), opened);
        QVERIFY(shown.Selected());
        QCOMPARE(testsupport::shownSelectedRows(list), QList<int>{shown.Index() - 1});
        QString details;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Properties&>(form);
            details = dialog.HeaderText();
            dialog.cmdOK_Click();
        });
        w.Toolbar()->Button(QStringLiteral("btnDetails"))->click();
        QVERIFY2(details.startsWith(QStringLiteral("Τίτλος: ") + opened + QStringLiteral("\r\n")),
                 qPrintable(details));
        w.Toolbar()->Button(QStringLiteral("btnEdit"))->click();
        QCOMPARE(rt::Forms::get<frmMessage_Edit>().Message()->Title(), opened);
    }

    // More rows than the list shows: the vertical scroll bar takes its width from the
    // columns, so the title column gives it up; no horizontal scroll bar, the last column
    // whole.
    void theColumnsFitBesideTheScrollBar()
    {
        for (int i = 1; i <= 60; ++i)
            addSaved(QStringLiteral("Μήνυμα %1").arg(i), QStringLiteral("κείμενο"),
                     QStringLiteral("2024-03-01"),
                     QStringLiteral("09:%1").arg(i % 60, 2, 10, QLatin1Char('0')));
        frmMessage_Saved& w = openList();
        rt::ListView* list = w.Message();
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
            mainWindow().grab().save(testsupport::picturePath(QStringLiteral("saved-columns.png")));
    }

    void nothingSelectedAsksNothing()
    {
        addFive();
        frmMessage_Saved& w = openList();
        w.Message()->ListItems().Item(1).setSelected(false);
        w.DeleteMessage();
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QCOMPARE(savedIds().size(), 5);
    }

    void aFailingDeleteKeepsTheRestAndSaysSo()
    {
        addFive();
        frmMessage_Saved& w = openList();
        for (const rt::ListItem item : w.Message()->ListItems())
            rt::ListItem(item).setSelected(true);
        QVERIFY(
            mdlDataBase::MainDatabase().execute({QStringLiteral("DROP TABLE saved_messages"), {}}));
        w.DeleteMessage();
        QCOMPARE(m_fx.boxes().shown().size(), 2);
        QVERIFY(m_fx.boxes().shown().at(1).text.startsWith(QStringLiteral("Σφάλμα: ")));
        QCOMPARE(w.Message()->ListItems().Count(), 5);
        QVERIFY(!w.Message()->isHidden());
    }

    void openingASavedMessage_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("toolbar") << QStringLiteral("btnEdit");
        QTest::newRow("context menu") << QStringLiteral("mnOpen");
    }
    void openingASavedMessage()
    {
        QFETCH(QString, how);
        addFive();
        frmMessage_Saved& w = openList();
        w.Message()->ListItems().Item(1).setSelected(false);
        w.Message()->setSelectedItem(w.Message()->ListItems().Item(4));
        if (how.startsWith(QLatin1String("btn")))
            w.Toolbar()->Button(how)->click();
        else
            chooseMenuItem(w, how);

        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Saved")));
        QVERIFY(!panel(QStringLiteral("frmMessage_Saved")));
        QVERIFY(mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Edit")));
        QCOMPARE(mdlMain::ChildForms().Item(1)->Name(), QStringLiteral("frmMessage_Edit"));
        frmMessage_Edit& editor = rt::Forms::get<frmMessage_Edit>();
        QCOMPARE(editor.Message()->Text(), QStringLiteral("κείμενο 4"));
        QCOMPARE(editor.Message()->Title(), QStringLiteral("Τέταρτο"));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void detailsOfTheSelectedMessage_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("toolbar") << QStringLiteral("btnDetails");
        QTest::newRow("context menu") << QStringLiteral("mnDetails");
    }
    void detailsOfTheSelectedMessage()
    {
        QFETCH(QString, how);
        addFive();
        frmMessage_Saved& w = openList();
        w.Message()->ListItems().Item(1).setSelected(false);
        w.Message()->setSelectedItem(w.Message()->ListItems().Item(4));
        QString shown;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Properties&>(form);
            shown = dialog.HeaderText();
            dialog.cmdOK_Click();
        });
        if (how.startsWith(QLatin1String("btn")))
            w.Toolbar()->Button(how)->click();
        else
            chooseMenuItem(w, how);
        QCOMPARE(m_fx.modals().shownNames(), QStringList{QStringLiteral("frmMessage_Properties")});
        QVERIFY2(shown.startsWith(QStringLiteral("Τίτλος: Τέταρτο\r\n")), qPrintable(shown));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Properties")));
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
    }

    void detailsOfAMessageThatCannotBeReadAreNotShown()
    {
        addFive();
        frmMessage_Saved& w = openList();
        QVERIFY(
            mdlDataBase::MainDatabase().execute({QStringLiteral("DROP TABLE saved_messages"), {}}));
        w.Toolbar()->Button(QStringLiteral("btnDetails"))->click();
        QVERIFY(m_fx.modals().shownNames().isEmpty());
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Properties")));
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
    }
};

QTEST_MAIN(tst_frmmessage_saved)
#include "tst_frmmessage_saved.moc"
