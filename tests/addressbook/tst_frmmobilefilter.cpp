#include "addressbook/PhoneField.h"
#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_Edit.h"
#include "addressbook/frmMember_List.h"
#include "addressbook/frmMobileFilter.h"
#include "app/frmMain.h"
#include "compose/frmMessage_Edit.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/TreeView.h"
#include "platform/ProgressBar.h"
#include "platform/TextBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"
#include "tests/support/Views.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

using testsupport::exec;
using testsupport::mainWindow;

class tst_frmmobilefilter : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    void addNumbers(const QStringList& numbers)
    {
        for (const QString& number : numbers)
            exec(QStringLiteral("INSERT INTO members (LastName, mobile_no) VALUES ('Μέλος', ?)"),
                 {number});
    }
    QStringList numbers()
    {
        QStringList out;
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT mobile_no FROM members ORDER BY member_id"), {}},
            rt::RecordsetType::Snapshot);
        for (; !rs.eof(); rs.moveNext())
            out << rs.field(0).toString();
        return out;
    }
    frmMobileFilter& openWith(const QString& oldCode, const QString& newCode)
    {
        frmMobileFilter& dialog = rt::Forms::get<frmMobileFilter>();
        dialog.show();
        dialog.txtCode()->setText(oldCode);
        dialog.txtNewCode()->setText(newCode);
        return dialog;
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .modals = true}), qPrintable(m_fx.error()));
    }
    void cleanup() { m_fx.stop(); }

    void looksAsDesigned()
    {
        frmMobileFilter& dialog = rt::Forms::get<frmMobileFilter>();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Αλλαγή Αριθμών Κλήσης"));
        QVERIFY(dialog.lblInstr()->text().startsWith(
            QStringLiteral("Πληκτρολογήστε τον αριθμό τηλεφώνου που θέλετε να αντικαταστήσετε.")));
        QCOMPARE(dialog.cmdOK()->text(), QStringLiteral("Αλλαγή Αριθμού"));
        QCOMPARE(dialog.cmdCancel()->text(), QStringLiteral("Ακύρωση"));
        QVERIFY(!dialog.cmdOK()->isEnabled());
        QVERIFY(dialog.fraProgress()->isHidden());
        QVERIFY(!dialog.isModal());
        dialog.show();
        dialog.grab().save(testsupport::picturePath(QStringLiteral("frmMobileFilter.png")));
    }

    void okNeedsBothCodes()
    {
        frmMobileFilter& dialog = openWith(QStringLiteral("0944"), QString());
        QVERIFY(!dialog.cmdOK()->isEnabled());
        dialog.txtNewCode()->setText(QStringLiteral("0945"));
        QVERIFY(dialog.cmdOK()->isEnabled());
        dialog.txtCode()->setText(QString());
        QVERIFY(!dialog.cmdOK()->isEnabled());
    }

    void rewritesTheLeadingDigits_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("oldCode");
        QTest::addColumn<QString>("newCode");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("count");
        QTest::newRow("same length")
            << QStringList{"0944123456", "0945123456", "6944123456", "0944000001"} << "0944"
            << "0945" << QStringList{"0945123456", "0945123456", "6944123456", "0945000001"} << 2;
        QTest::newRow("longer new code") << QStringList{"0944123456", "0911"} << "0944"
                                         << "69441" << QStringList{"69441123456", "0911"} << 1;
        QTest::newRow("shorter new code") << QStringList{"0944123456"} << "0944"
                                          << "6" << QStringList{"6123456"} << 1;
        QTest::newRow("short and equal numbers")
            << QStringList{"094", "0944", "09445"} << "0944"
            << "0945" << QStringList{"094", "0945", "09455"} << 2;
        QTest::newRow("wildcards are characters")
            << QStringList{"09%1", "0912", "0_12", "0312"} << "09%"
            << "77" << QStringList{"771", "0912", "0_12", "0312"} << 1;
        QTest::newRow("underscore") << QStringList{"0_12", "0312"} << "0_"
                                    << "5" << QStringList{"512", "0312"} << 1;
        QTest::newRow("apostrophe") << QStringList{"0'12", "012"} << "0'"
                                    << "6" << QStringList{"612", "012"} << 1;
    }
    void rewritesTheLeadingDigits()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, oldCode);
        QFETCH(QString, newCode);
        QFETCH(QStringList, after);
        QFETCH(int, count);
        addNumbers(before);
        frmMobileFilter& dialog = openWith(oldCode, newCode);
        m_fx.boxes().answer(rt::mb::Yes);
        dialog.cmdOK()->click();
        QCOMPARE(numbers(), after);
        QCOMPARE(m_fx.boxes().shown().size(), 2);
        const testsupport::ShownBox ask = m_fx.boxes().shown().at(0);
        QCOMPARE(ask.text, QStringLiteral("ΠΡΟΣΟΧΗ! Πρόκειται να αντικατασταθούν ") +
                               QString::number(count) +
                               QStringLiteral(" αριθμοί. Η διαδικασία\nαυτή δεν είναι "
                                              "ανατρέψιμη. Θέλετε να συνεχίσετε;"));
        QCOMPARE(ask.style, rt::mb::YesNo | rt::mb::Exclamation);
        QCOMPARE(ask.title, QStringLiteral("ΑΝΤΙΚΑΤΑΣΤΑΣΗ ΑΡΙΘΜΩΝ"));
        const testsupport::ShownBox done = m_fx.boxes().shown().at(1);
        QCOMPARE(done.text, QStringLiteral("Η λειτουργία τελείωσε επιτυχώς. Αντικαταστάθηκαν ") +
                                QString::number(count) + QStringLiteral(" αριθμοί."));
        QCOMPARE(done.style, int(rt::mb::Information));
        QCOMPARE(done.title, QStringLiteral("Vantrel"));
        // Idle again and still open for another rewrite.
        QVERIFY(dialog.fraProgress()->isHidden());
        QVERIFY(dialog.cmdOK()->isEnabled());
        QVERIFY(dialog.cmdCancel()->isEnabled());
        QVERIFY(rt::Forms::find<frmMobileFilter>());
        QCOMPARE(dialog.PrgBar()->Max(), count);
    }

    void answeringNoChangesNothing()
    {
        addNumbers({"0944123456", "0944999999"});
        frmMobileFilter& dialog = openWith(QStringLiteral("0944"), QStringLiteral("0945"));
        m_fx.boxes().answer(rt::mb::No);
        dialog.cmdOK()->click();
        QCOMPARE(numbers(), (QStringList{"0944123456", "0944999999"}));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(dialog.cmdOK()->isEnabled());
        QVERIFY(dialog.fraProgress()->isHidden());
    }

    void noMatchSaysSo()
    {
        addNumbers({"6944123456"});
        frmMobileFilter& dialog = openWith(QStringLiteral("0944"), QStringLiteral("0945"));
        dialog.cmdOK()->click();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Δεν βρέθηκαν αριθμοί που να αρχίζουν με αυτά τα ψηφία."));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Information));
        QCOMPARE(numbers(), QStringList{"6944123456"});
    }

    void aFailedRowLeavesEveryNumberAsItWas()
    {
        addNumbers({"0944000001", "0944000002", "0944000003"});
        exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON members "
                            "WHEN OLD.member_id = 2 BEGIN SELECT RAISE(ABORT, 'locked row'); END"));
        frmMobileFilter& dialog = openWith(QStringLiteral("0944"), QStringLiteral("0945"));
        m_fx.boxes().answer(rt::mb::Yes);
        dialog.cmdOK()->click();
        QCOMPARE(numbers(), (QStringList{"0944000001", "0944000002", "0944000003"}));
        QCOMPARE(m_fx.boxes().shown().size(), 2);
        QVERIFY(m_fx.boxes().shown().at(1).text.contains(QStringLiteral("locked row")));
        QVERIFY(!m_fx.boxes().shown().at(1).text.contains(QStringLiteral("επιτυχώς")));
        QVERIFY(dialog.fraProgress()->isHidden());
        QVERIFY(dialog.cmdCancel()->isEnabled());
    }

    // The rewrite while a window that holds members is docked: the window shows the new
    // numbers, and an edit there (only the occupation changed) keeps them in the database.
    // An organiser member edited before the rewrite keeps a number the user typed; one
    // whose other fields only were edited takes the rewritten number.
    void aDockedWindowKeepsTheRewrittenNumbers_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("before"); // the organiser's unsaved edit
        QTest::addColumn<QString>("shown");
        QTest::newRow("member list") << "frmMember_List"
                                     << ""
                                     << "0945111111";
        QTest::newRow("organiser") << "frmGroup_Organize"
                                   << ""
                                   << "0945111111";
        QTest::newRow("organiser, occupation edited before") << "frmGroup_Organize"
                                                             << "occupation"
                                                             << "0945111111";
        QTest::newRow("organiser, number edited before") << "frmGroup_Organize"
                                                         << "number"
                                                         << "6999000000";
    }
    void aDockedWindowKeepsTheRewrittenNumbers()
    {
        QFETCH(QString, window);
        QFETCH(QString, before);
        QFETCH(QString, shown);
        testsupport::addGroup(1, QStringLiteral("Φίλοι"), 0);
        testsupport::addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("Άννα"),
                               QStringLiteral("Λογιστής"), QStringLiteral("0944111111"),
                               QStringLiteral("\\1\\"));
        testsupport::addMember(2, QStringLiteral("Βασιλείου"), QStringLiteral("Βασίλης"),
                               QVariant(), QStringLiteral("0944222222"), QVariant());
        mainWindow().show();
        const bool organiser = window == QLatin1String("frmGroup_Organize");
        rt::ListView* list = nullptr;
        std::function<rt::ListItem(qint64)> rowOf;
        if (organiser) {
            frmGroup_Organize& w = rt::Forms::get<frmGroup_Organize>();
            w.show();
            list = w.Members();
            rowOf = [list](qint64 id) {
                return list->ListItems().Item(QStringLiteral("MEMBER_%1").arg(id));
            };
            if (!before.isEmpty()) {
                const bool number = before == QLatin1String("number");
                w.UpdateMember(QStringLiteral("MEMBER_1"), QStringLiteral("GRP_0"),
                               QStringLiteral("Αλεξίου"), QStringLiteral("Άννα"),
                               number ? QStringLiteral("Λογιστής") : QStringLiteral("Ταμίας"),
                               number ? QStringLiteral("6999000000")
                                      : QStringLiteral("0944111111"));
            }
        } else {
            frmMember_List& w = rt::Forms::get<frmMember_List>();
            w.show();
            list = w.Members();
            rowOf = [list](qint64 id) {
                return list->FindItem(QString::number(id), rt::ListView::lvwTag);
            };
        }
        QVERIFY(rowOf(1) && rowOf(2));

        frmMobileFilter& dialog = openWith(QStringLiteral("0944"), QStringLiteral("0945"));
        m_fx.boxes().answer(rt::mb::Yes);
        dialog.cmdOK()->click();
        QCOMPARE(numbers(), (QStringList{"0945111111", "0945222222"}));
        QCOMPARE(rowOf(1).SubItems(3), shown);
        QCOMPARE(rowOf(2).SubItems(3), QStringLiteral("0945222222"));

        // An edit of the occupation alone, through the member dialog of the window.
        list->setSelectedItem(rowOf(1));
        QString offered;
        m_fx.modals().then([&offered](rt::Form& form) {
            auto& edit = static_cast<frmMember_Edit&>(form);
            offered = edit.txtPhone()->Text();
            edit.cmbOccup()->setCurrentText(QStringLiteral("Ταμίας"));
            edit.cmdOK_Click();
        });
        mainWindow().MenuItem(QStringLiteral("mn_EditMember"))->trigger();
        QCOMPARE(m_fx.modals().shownNames(), QStringList{QStringLiteral("frmMember_Edit")});
        QCOMPARE(offered, shown);
        if (organiser)
            QVERIFY(rt::Forms::get<frmGroup_Organize>().SaveChanges());

        QCOMPARE(numbers(), (QStringList{shown, "0945222222"}));
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT Occupation FROM members WHERE member_id = 1"), {}},
            rt::RecordsetType::Snapshot);
        QCOMPARE(rs.field(0).toString(), QStringLiteral("Ταμίας"));
    }

    // The rewrite while the message window is docked: a message sent to a group goes to
    // the rewritten numbers.
    void aDockedMessageWindowSendsToTheRewrittenNumbers()
    {
        testsupport::addGroup(1, QStringLiteral("Φίλοι"), 0);
        testsupport::addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("Άννα"), QVariant(),
                               QStringLiteral("0944111111"), QStringLiteral("\\1\\"));
        mainWindow().show();
        frmMessage_Edit& message = rt::Forms::get<frmMessage_Edit>();
        message.show();

        frmMobileFilter& dialog = openWith(QStringLiteral("0944"), QStringLiteral("0945"));
        m_fx.boxes().answer(rt::mb::Yes);
        dialog.cmdOK()->click();
        QCOMPARE(numbers(), QStringList{QStringLiteral("0945111111")});

        // The group ticked as a click on its box ticks it; its member is a recipient.
        const QModelIndex group = testsupport::nodeIndex(message.Groups(), QStringLiteral("GRP_1"));
        QVERIFY(group.isValid());
        QVERIFY(message.Groups()->model()->setData(group, Qt::Checked, Qt::CheckStateRole));
        const rt::ListItem recipient =
            message.lstMembers()->ListItems().Item(QStringLiteral("MEMBER_1"));
        QVERIFY(recipient && recipient.Checked());
        QCOMPARE(recipient.SubItems(3), QStringLiteral("0945111111"));
        const rt::ListItem shown = message.Members()->ListItems().Item(QStringLiteral("MEMBER_1"));
        QVERIFY(shown);
        QCOMPARE(shown.SubItems(3), QStringLiteral("0945111111"));
    }

    void enterMovesOnAndEscapeCloses()
    {
        frmMobileFilter& dialog = openWith(QString(), QString());
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.txtCode()->setFocus();
        QTest::keyClick(dialog.txtCode(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.txtNewCode());
        QCOMPARE(dialog.txtCode()->Text(), QString());
        QTest::keyClick(dialog.txtNewCode(), Qt::Key_Escape);
        QVERIFY(!rt::Forms::find<frmMobileFilter>());
    }

    void cancelCloses()
    {
        frmMobileFilter& dialog = openWith(QString(), QString());
        dialog.cmdCancel()->click();
        QVERIFY(!rt::Forms::find<frmMobileFilter>());
    }
};

QTEST_MAIN(tst_frmmobilefilter)
#include "tst_frmmobilefilter.moc"
