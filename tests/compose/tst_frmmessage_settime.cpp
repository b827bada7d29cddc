#include "compose/ClockControl.h"
#include "compose/frmMessage_SetTime.h"
#include "platform/Clock.h"
#include "platform/Form.h"
#include "platform/Formats.h"
#include "platform/MonthView.h"
#include "tests/support/Seams.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Dialog {
    explicit Dialog(frmMessage_SetTime& form)
        : clock(form.findChild<ClockControl*>(QStringLiteral("SendTime"))),
          calendar(form.findChild<rt::MonthView*>(QStringLiteral("SendDate"))),
          remove(form.findChild<QCheckBox*>(QStringLiteral("chkRemoveTimer"))),
          ok(form.findChild<QPushButton*>(QStringLiteral("cmdOK"))),
          cancel(form.findChild<QPushButton*>(QStringLiteral("cmdCancel")))
    {
    }
    ClockControl* clock;
    rt::MonthView* calendar;
    QCheckBox* remove;
    QPushButton* ok;
    QPushButton* cancel;
};

} // namespace

class tst_frmmessage_settime : public QObject {
    Q_OBJECT

private:
    const QDateTime m_now{QDate(2024, 5, 17), QTime(14, 7, 41)};
    rt::TestClock m_clock{m_now};

    // Opens the dialog as the message window does, with its schedule (both "" for none).
    frmMessage_SetTime& open(const QString& sendTime, const QString& sendDate)
    {
        frmMessage_SetTime& form = rt::Forms::get<frmMessage_SetTime>();
        form.SetMessageTime(sendTime,
                            sendDate.isEmpty() ? rt::Date() : *rt::ParseShortDate(sendDate));
        return form;
    }

private slots:
    void init()
    {
        m_clock.set(m_now);
        rt::setClock(&m_clock);
    }
    void cleanup()
    {
        rt::Forms::discardAll();
        rt::setClock(nullptr);
    }

    void withoutScheduleItShowsNow()
    {
        frmMessage_SetTime& form = open(QString(), QString());
        QSignalSpy chosen(&form, &frmMessage_SetTime::ScheduleChosen);
        Dialog d(form);
        QVERIFY(d.clock && d.calendar && d.remove && d.ok && d.cancel);
        QCOMPARE(form.windowTitle(), QStringLiteral("Προγραμματισμός Αποστολής Μηνύματος"));
        QCOMPARE(d.clock->GetHour() + u':' + d.clock->GetMinutes(), QStringLiteral("14:07"));
        QCOMPARE(d.calendar->Value(), QDate(2024, 5, 17));
        QVERIFY(!d.remove->isEnabled());

        d.ok->click();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("14:07"));
        QCOMPARE(chosen.at(0).at(1).toString(), QStringLiteral("17/05/2024"));
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmMessage_SetTime")));
    }

    void openingAtTenFiftyEightShowsTen()
    {
        m_clock.set(QDateTime(QDate(2024, 5, 17), QTime(10, 58)));
        frmMessage_SetTime& form = open(QString(), QString());
        QSignalSpy chosen(&form, &frmMessage_SetTime::ScheduleChosen);
        Dialog d(form);
        QCOMPARE(d.clock->GetHour() + u':' + d.clock->GetMinutes(), QStringLiteral("10:00"));
    }

    void aScheduleIsShownAndCanBeRemoved()
    {
        frmMessage_SetTime& form = open(QStringLiteral("18:30"), QStringLiteral("24/12/2024"));
        QSignalSpy chosen(&form, &frmMessage_SetTime::ScheduleChosen);
        Dialog d(form);
        QCOMPARE(d.clock->GetHour() + u':' + d.clock->GetMinutes(), QStringLiteral("18:30"));
        QCOMPARE(d.clock->HourLine().X2, d.clock->MinLine().X2); // both hands on six
        QCOMPARE(d.calendar->Value(), QDate(2024, 12, 24));
        QVERIFY(d.remove->isEnabled());

        d.remove->setChecked(true);
        d.ok->click();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), QString());
        QCOMPARE(chosen.at(0).at(1).toString(), QString());
    }

    void okWritesTheChangedChoice()
    {
        frmMessage_SetTime& form = open(QStringLiteral("09:05"), QStringLiteral("01/03/2025"));
        QSignalSpy chosen(&form, &frmMessage_SetTime::ScheduleChosen);
        Dialog d(form);
        d.clock->SetClock(21, 45);
        d.calendar->setValue(QDate(2025, 3, 2));
        d.ok->click();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("21:45"));
        QCOMPARE(chosen.at(0).at(1).toString(), QStringLiteral("02/03/2025"));
    }

    void closingWithoutOkWritesNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Escape") << true;
    }
    void closingWithoutOkWritesNothing()
    {
        QFETCH(bool, escape);
        frmMessage_SetTime& form = open(QStringLiteral("18:30"), QStringLiteral("24/12/2024"));
        QSignalSpy chosen(&form, &frmMessage_SetTime::ScheduleChosen);
        testsupport::ModalScript modal;
        modal.then([escape](rt::Form& shown) {
            Dialog d(static_cast<frmMessage_SetTime&>(shown));
            d.clock->SetClock(7, 0);
            if (escape)
                QTest::keyClick(d.remove, Qt::Key_Escape);
            else
                d.cancel->click();
        });
        rt::Forms::showModal(form);
        QCOMPARE(modal.shownNames(), QStringList{"frmMessage_SetTime"});
        QCOMPARE(chosen.count(), 0);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmMessage_SetTime")));
    }

    void eachOpeningStartsAfresh()
    {
        open(QStringLiteral("18:30"), QStringLiteral("24/12/2024"));
        rt::Forms::unload<frmMessage_SetTime>();
        frmMessage_SetTime& again = open(QString(), QString());
        Dialog d(again);
        QCOMPARE(d.clock->GetHour() + u':' + d.clock->GetMinutes(), QStringLiteral("14:07"));
        QCOMPARE(d.calendar->Value(), QDate(2024, 5, 17));
    }
};

QTEST_MAIN(tst_frmmessage_settime)
#include "tst_frmmessage_settime.moc"
