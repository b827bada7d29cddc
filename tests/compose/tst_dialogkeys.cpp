// The message window and its dialogs driven with real key events and a real drop-down: a
// key of a menu or of the calendar's year editor stays there, Enter on a focused command
// button presses it, and a typed beginning stays as typed.

#include "app/frmMain.h"
#include "compose/CharacterMap.h"
#include "compose/MessageEditor.h"
#include "compose/frmMessage_Edit.h"
#include "compose/frmMessage_Save.h"
#include "compose/frmMessage_SetTime.h"
#include "platform/AxButton.h"
#include "platform/Clock.h"
#include "platform/ListView.h"
#include "platform/MonthView.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/UpDown.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using testsupport::mainWindow;
using testsupport::RealWindows;

namespace {

QPushButton* button(QWidget& form, const char* name)
{
    return form.findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class tst_dialogkeys : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    rt::TestClock m_clock{QDateTime(QDate(2024, 5, 17), QTime(14, 7, 41))};

    frmMessage_Edit& messageWindow()
    {
        mainWindow().mnNewMessage_Click();
        return rt::Forms::get<frmMessage_Edit>();
    }
    void toolbarClick(frmMessage_Edit& w, const char* key)
    {
        w.Toolbar()->Button(QLatin1String(key))->click();
    }

private slots:
    void init()
    {
        rt::setClock(&m_clock);
        QVERIFY2(m_fx.start({.controlLibrary = true, .boxes = false}), qPrintable(m_fx.error()));
        mainWindow().show();
        mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
    }
    void cleanup()
    {
        m_fx.stop();
        rt::setClock(nullptr);
    }

    // Escape in the calendar's month drop-down closes the drop-down only; the schedule
    // dialog stays, and its own Escape then closes it without writing a time.
    void escapeInTheMonthDropDownClosesItOnly()
    {
        frmMessage_Edit& w = messageWindow();
        RealWindows windows;
        bool openAfterMenu = false;
        windows.thenClosed([&](QWidget& dialog) {
            auto* month = dialog.findChild<rt::MonthView*>(QStringLiteral("SendDate"))
                              ->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
            QVERIFY(month);
            QTest::mouseClick(month, Qt::LeftButton);
            openAfterMenu =
                rt::IsFormLoaded(QStringLiteral("frmMessage_SetTime")) && dialog.isVisible();
            RealWindows::pressKeys(dialog, {Qt::Key_Escape});
        });
        windows.thenClosed([](QWidget& menu) { RealWindows::pressKeys(menu, {Qt::Key_Escape}); });
        toolbarClick(w, "btnMsgTimer");
        QCOMPARE(windows.shown(),
                 (QStringList{QStringLiteral("frmMessage_SetTime"), QStringLiteral("QMenu")}));
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(openAfterMenu);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmMessage_SetTime")));
        QCOMPARE(w.SendTime, QString());
        QCOMPARE(w.SendDate, QString());
    }

    // Escape in the calendar's year editor ends the year edit only: the schedule dialog
    // stays with the time and the day the user chose, and OK then schedules them.
    void escapeInTheYearEditorEndsItOnly()
    {
        frmMessage_Edit& w = messageWindow();
        RealWindows windows;
        bool openAfterEscape = false;
        int yearAfterEscape = 0;
        windows.thenClosed([&](QWidget& dialog) {
            auto* calendar = dialog.findChild<rt::MonthView*>(QStringLiteral("SendDate"));
            auto* minutes = dialog.findChild<rt::UpDown*>(QStringLiteral("MUpDown"));
            QVERIFY(calendar && minutes);
            // 14:07 becomes 14:12; 17 May becomes 20 May, by keys in the day grid.
            QTest::mouseClick(minutes->findChild<QToolButton*>(QStringLiteral("up")),
                              Qt::LeftButton);
            calendar->setFocus();
            RealWindows::pressKeys(dialog, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right});
            QTest::mouseClick(
                calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton")),
                Qt::LeftButton);
            auto* year = calendar->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"));
            QVERIFY(year && year->hasFocus());
            RealWindows::pressKeys(dialog, {Qt::Key_Up, Qt::Key_Escape});
            openAfterEscape =
                rt::IsFormLoaded(QStringLiteral("frmMessage_SetTime")) && dialog.isVisible();
            yearAfterEscape = calendar->yearShown();
            if (!openAfterEscape)
                return;
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->setFocus();
            RealWindows::pressKeys(dialog, {Qt::Key_Return});
        });
        toolbarClick(w, "btnMsgTimer");
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmMessage_SetTime")});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(openAfterEscape);
        QCOMPARE(yearAfterEscape, 2024);
        QCOMPARE(w.SendTime, QStringLiteral("14:12"));
        QCOMPARE(w.SendDate, QStringLiteral("20/05/2024"));
    }

    // The time set with the keyboard alone: Tab reaches the hour box and then the minute
    // box, where Up and Down step them as their spinners do (14:07, two hours up, two
    // five-minute steps down past 00); Enter on OK schedules the time shown.
    void scheduleTimeFromTheKeyboard()
    {
        frmMessage_Edit& w = messageWindow();
        RealWindows windows;
        bool hourReached = false;
        bool minuteReached = false;
        QString shown;
        windows.thenClosed([&](QWidget& dialog) {
            auto* hour = dialog.findChild<rt::TextBox*>(QStringLiteral("txtHour"));
            auto* minute = dialog.findChild<rt::TextBox*>(QStringLiteral("txtMin"));
            QVERIFY(hour && minute);
            for (int tab = 0; tab < 20 && QApplication::focusWidget() != hour; ++tab)
                RealWindows::pressKeys(dialog, {Qt::Key_Tab});
            hourReached = QApplication::focusWidget() == hour;
            RealWindows::pressKeys(dialog, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Tab});
            minuteReached = QApplication::focusWidget() == minute;
            RealWindows::pressKeys(dialog, {Qt::Key_Down, Qt::Key_Down});
            shown = hour->Text() + u':' + minute->Text();
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->setFocus();
            RealWindows::pressKeys(dialog, {Qt::Key_Return});
        });
        toolbarClick(w, "btnMsgTimer");
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmMessage_SetTime")});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(hourReached);
        QVERIFY(minuteReached);
        QCOMPARE(shown, QStringLiteral("16:55"));
        QCOMPARE(w.SendTime, QStringLiteral("16:55"));
        QCOMPARE(w.SendDate, QStringLiteral("17/05/2024"));
    }

    // Enter on the message window's own buttons presses them as a click does: the title
    // button "ΜΗΝΥΜΑ" opens the title editor, the expander shows the symbol palette.
    void enterOnTheMessageWindowsButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("title button") << QStringLiteral("btnTitle");
        QTest::newRow("palette expander") << QStringLiteral("cmdExpand");
    }
    void enterOnTheMessageWindowsButtons()
    {
        QFETCH(QString, button);
        frmMessage_Edit& w = messageWindow();
        const bool title = button == QLatin1String("btnTitle");
        rt::AxButton* pressed =
            title ? w.Message()->findChild<rt::AxButton*>(QStringLiteral("btnTitle"))
                  : w.cmdExpand();
        QWidget* opened = title ? w.Message()->findChild<QWidget*>(QStringLiteral("picTitle"))
                                : static_cast<QWidget*>(w.CharMap());
        QVERIFY(pressed && opened);
        QVERIFY(opened->isHidden());
        pressed->setFocus();
        QCOMPARE(QApplication::focusWidget(), pressed);
        RealWindows::pressKeys(mainWindow(), {Qt::Key_Return});
        QVERIFY(!opened->isHidden());
    }

    // The wizard's combos search for what was typed: a typed beginning is not completed
    // to the first listed name, so every member whose value begins with it is found.
    void typedBeginningFindsEveryMatch_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("Ιδιότητα Δ")
            << QStringLiteral("cmbProperty_0") << QStringLiteral("Δ")
            << QStringList{QStringLiteral("Βλάχου"), QStringLiteral("Γεωργίου")};
        QTest::newRow("Όνομα Μα") << QStringLiteral("cmbFName_0") << QStringLiteral("Μα")
                                  << QStringList{QStringLiteral("Αλεξίου"),
                                                 QStringLiteral("Βλάχου")};
    }
    void typedBeginningFindsEveryMatch()
    {
        QFETCH(QString, combo);
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        testsupport::addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("Μαρία"),
                               QStringLiteral("Γιατρός"), QStringLiteral("6911111111"), QVariant());
        testsupport::addMember(2, QStringLiteral("Βλάχου"), QStringLiteral("Μαρίνα"),
                               QStringLiteral("Δάσκαλος"), QStringLiteral("6922222222"),
                               QVariant());
        testsupport::addMember(3, QStringLiteral("Γεωργίου"), QStringLiteral("Νίκος"),
                               QStringLiteral("Δικηγόρος"), QStringLiteral("6933333333"),
                               QVariant());
        frmMessage_Edit& w = messageWindow();
        RealWindows windows;
        QString held;
        QString result;
        QStringList listed;
        windows.thenClosed([&](QWidget& wizard) {
            auto* box = wizard.findChild<QComboBox*>(combo);
            QVERIFY(box);
            box->setFocus();
            RealWindows::typeText(wizard, typed);
            held = box->currentText();
            wizard.findChild<QPushButton*>(QStringLiteral("cmdStep_1"))->setFocus();
            RealWindows::pressKeys(wizard, {Qt::Key_Return});
            result = wizard.findChild<QLabel*>(QStringLiteral("lblResult"))->text();
            auto* results = wizard.findChild<rt::ListView*>(QStringLiteral("lstResults"));
            for (int i = 1; i <= results->ListItems().Count(); ++i)
                listed << results->ListItems().Item(i).Text();
            listed.sort();
            wizard.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->setFocus();
            RealWindows::pressKeys(wizard, {Qt::Key_Return});
        });
        toolbarClick(w, "btnInstantGroup");
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmInstantGroup")});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(held, typed);
        QCOMPARE(listed, found);
        QCOMPARE(result, QStringLiteral("Βρέθηκαν 2 μέλη."));
    }

    // The schedule and save-title dialogs leave Enter to the focused control: on a
    // command button it presses that button, once.
    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::newRow("schedule, OK") << QStringLiteral("schedule") << QStringLiteral("cmdOK");
        QTest::newRow("schedule, Cancel")
            << QStringLiteral("schedule") << QStringLiteral("cmdCancel");
        QTest::newRow("instant group, Cancel")
            << QStringLiteral("instant") << QStringLiteral("cmdCancel");
        QTest::newRow("save title, OK") << QStringLiteral("save") << QStringLiteral("cmdOK");
        QTest::newRow("save title, Cancel")
            << QStringLiteral("save") << QStringLiteral("cmdCancel");
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        frmMessage_Edit& w = messageWindow();
        w.Message()->setText(QStringLiteral("Καλημέρα"));
        RealWindows windows;
        windows.thenClosed([&](QWidget& shown) {
            QPushButton* pressed = ::button(shown, qPrintable(button));
            QVERIFY(pressed);
            pressed->setFocus();
            RealWindows::pressKeys(shown, {Qt::Key_Return});
        });
        const bool ok = button == QLatin1String("cmdOK");
        if (dialog == QLatin1String("schedule")) {
            toolbarClick(w, "btnMsgTimer");
            QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmMessage_SetTime")});
            QCOMPARE(w.SendTime, ok ? QStringLiteral("14:07") : QString());
            QCOMPARE(w.SendDate, ok ? QStringLiteral("17/05/2024") : QString());
        } else if (dialog == QLatin1String("instant")) {
            toolbarClick(w, "btnInstantGroup");
            QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmInstantGroup")});
            QCOMPARE(w.InstantGroupCount(), 0);
        } else {
            toolbarClick(w, "btnSaveMsg");
            QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmMessage_Save")});
            QCOMPARE(testsupport::tableRows(QStringLiteral("saved_messages")).size(), ok ? 1 : 0);
        }
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
    }
};

QTEST_MAIN(tst_dialogkeys)
#include "tst_dialogkeys.moc"
