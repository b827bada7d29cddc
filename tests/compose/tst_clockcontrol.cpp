#include "compose/ClockControl.h"
#include "platform/TextBox.h"
#include "platform/Twips.h"
#include "platform/UpDown.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

ClockLine expectedLine(QPoint from, QPoint to)
{
    const int t = rt::twipsPerPixel();
    return {from.x() * t, from.y() * t, to.x() * t, to.y() * t};
}

bool sameLine(const ClockLine& a, const ClockLine& b)
{
    return a.X1 == b.X1 && a.Y1 == b.Y1 && a.X2 == b.X2 && a.Y2 == b.Y2;
}

} // namespace

class tst_clockcontrol : public QObject {
    Q_OBJECT

private slots:
    void startsAtMidnight()
    {
        ClockControl clock;
        QCOMPARE(clock.GetHour(), QStringLiteral("00"));
        QCOMPARE(clock.GetMinutes(), QStringLiteral("00"));
        QVERIFY(sameLine(clock.HourLine(), expectedLine({63, 63}, {63, 30})));
        QVERIFY(sameLine(clock.MinLine(), expectedLine({63, 63}, {63, 9})));
    }

    void setClock_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("shownHour");
        QTest::addColumn<QString>("shownMinute");
        QTest::addColumn<int>("hourPosition");
        QTest::addColumn<int>("minutePosition");
        QTest::newRow("18:30") << 18 << 30 << "18"
                               << "30" << 6 << 6;
        QTest::newRow("10:58 shows 10:00") << 10 << 58 << "10"
                                           << "00" << 10 << 0;
        QTest::newRow("56 shows 00 and the hand agrees") << 9 << 56 << "09"
                                                         << "00" << 9 << 0;
        QTest::newRow("noon at twelve") << 12 << 0 << "12"
                                        << "00" << 0 << 0;
        QTest::newRow("a minute off the steps is kept") << 0 << 37 << "00"
                                                        << "37" << 0 << 7;
        QTest::newRow("minute 3 is nearest position 1") << 13 << 3 << "13"
                                                        << "03" << 1 << 1;
        QTest::newRow("minute 2 is nearest position 0") << 23 << 2 << "23"
                                                        << "02" << 11 << 0;
        QTest::newRow("the last five minutes") << 7 << 55 << "07"
                                               << "55" << 7 << 11;
    }
    void setClock()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QString, shownHour);
        QFETCH(QString, shownMinute);
        QFETCH(int, hourPosition);
        QFETCH(int, minutePosition);
        ClockControl clock;
        clock.SetClock(hour, minute);
        QCOMPARE(clock.GetHour(), shownHour);
        QCOMPARE(clock.GetMinutes(), shownMinute);
        const QPoint hourTip = ClockControl::HourHandTip(hourPosition);
        const QPoint minuteTip = ClockControl::MinuteHandTip(minutePosition);
        QVERIFY(sameLine(clock.HourLine(), expectedLine({63, 63}, hourTip)));
        QVERIFY(sameLine(clock.MinLine(), expectedLine({63, 63}, minuteTip)));
        QVERIFY(sameLine(clock.HourShadow(), expectedLine({64, 65}, hourTip + QPoint(1, 2))));
        QVERIFY(sameLine(clock.MinShadow(), expectedLine({64, 65}, minuteTip + QPoint(1, 2))));
        QCOMPARE(clock.findChild<QWidget*>(QStringLiteral("imgClock"))->toolTip(),
                 shownHour + u':' + shownMinute);
    }

    void tipsOfTheQuarters()
    {
        QCOMPARE(ClockControl::MinuteHandTip(3), QPoint(118, 63));
        QCOMPARE(ClockControl::HourHandTip(6), QPoint(63, 96));
        QCOMPARE(ClockControl::HourHandTip(10), QPoint(34, 46));
    }

    void spinnersGoRound_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("spinner");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("hourPosition");
        QTest::addColumn<int>("minutePosition");
        QTest::newRow("minute down from 00") << 8 << 0 << "MUpDown" << false << "08:55" << 8 << 11;
        QTest::newRow("minute up from 55, the hour stays")
            << 8 << 55 << "MUpDown" << true << "08:00" << 8 << 0;
        QTest::newRow("hour down from 00") << 0 << 15 << "HUpDown" << false << "23:15" << 11 << 3;
        QTest::newRow("hour up from 23") << 23 << 15 << "HUpDown" << true << "00:15" << 0 << 3;
        QTest::newRow("minute up steps by five from 37")
            << 8 << 37 << "MUpDown" << true << "08:42" << 8 << 8;
        QTest::newRow("minute down below 0 from 02")
            << 8 << 2 << "MUpDown" << false << "08:55" << 8 << 11;
        QTest::newRow("minute up past 55 from 53")
            << 8 << 53 << "MUpDown" << true << "08:00" << 8 << 0;
    }
    void spinnersGoRound()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QString, spinner);
        QFETCH(bool, up);
        QFETCH(QString, time);
        QFETCH(int, hourPosition);
        QFETCH(int, minutePosition);
        ClockControl clock;
        clock.SetClock(hour, minute);
        auto* updown = clock.findChild<rt::UpDown*>(spinner);
        QVERIFY(updown);
        (up ? updown->upButton() : updown->downButton())->click();
        QCOMPARE(clock.GetHour() + u':' + clock.GetMinutes(), time);
        QVERIFY(sameLine(clock.HourLine(),
                         expectedLine({63, 63}, ClockControl::HourHandTip(hourPosition))));
        QVERIFY(sameLine(clock.MinLine(),
                         expectedLine({63, 63}, ClockControl::MinuteHandTip(minutePosition))));
    }

    // From the keyboard, which reaches the boxes and never the spinners: Up and Down in a
    // box step its spinner as its arrows do, to the same time, hands and change events.
    void upAndDownInABoxStepItsSpinner_data() { spinnersGoRound_data(); }
    void upAndDownInABoxStepItsSpinner()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QString, spinner);
        QFETCH(bool, up);
        QFETCH(QString, time);
        QFETCH(int, hourPosition);
        QFETCH(int, minutePosition);
        ClockControl clicked;
        clicked.SetClock(hour, minute);
        auto* arrows = clicked.findChild<rt::UpDown*>(spinner);
        QSignalSpy clickChanges(arrows, &rt::UpDown::Change);
        (up ? arrows->upButton() : arrows->downButton())->click();

        ClockControl typed;
        typed.SetClock(hour, minute);
        typed.show();
        QVERIFY(QTest::qWaitForWindowActive(&typed));
        auto* box = typed.findChild<rt::TextBox*>(spinner == QLatin1String("HUpDown")
                                                      ? QStringLiteral("txtHour")
                                                      : QStringLiteral("txtMin"));
        QVERIFY(box);
        QCOMPARE(box->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        QCOMPARE(typed.findChild<rt::UpDown*>(spinner)->upButton()->focusPolicy(), Qt::NoFocus);
        box->setFocus();
        QVERIFY(box->hasFocus());
        QSignalSpy keyChanges(typed.findChild<rt::UpDown*>(spinner), &rt::UpDown::Change);
        QTest::keyClick(box, up ? Qt::Key_Up : Qt::Key_Down);

        QCOMPARE(typed.GetHour() + u':' + typed.GetMinutes(), time);
        QCOMPARE(keyChanges.count(), clickChanges.count());
        QVERIFY(sameLine(typed.HourLine(),
                         expectedLine({63, 63}, ClockControl::HourHandTip(hourPosition))));
        QVERIFY(sameLine(typed.MinLine(),
                         expectedLine({63, 63}, ClockControl::MinuteHandTip(minutePosition))));
        QCOMPARE(typed.findChild<QWidget*>(QStringLiteral("imgClock"))->toolTip(), time);
        QCOMPARE(clicked.GetHour() + u':' + clicked.GetMinutes(), time);
    }

    void boxesCannotBeTypedInto()
    {
        ClockControl clock;
        auto* hour = clock.findChild<rt::TextBox*>(QStringLiteral("txtHour"));
        QVERIFY(hour && hour->Locked());
        QCOMPARE(hour->ToolTipText(), QStringLiteral("Ώρα"));
        QCOMPARE(clock.findChild<rt::TextBox*>(QStringLiteral("txtMin"))->ToolTipText(),
                 QStringLiteral("Λεπτά"));
    }

    void sizeFollowsTheFaceAndTheBoxes()
    {
        ClockControl clock;
        clock.resize(400, 400);
        auto* face = clock.findChild<QWidget*>(QStringLiteral("imgClock"));
        auto* minute = clock.findChild<QWidget*>(QStringLiteral("txtMin"));
        QCOMPARE(clock.width(), face->width());
        QCOMPARE(clock.height(), minute->geometry().bottom() + 1);
    }
};

QTEST_MAIN(tst_clockcontrol)
#include "tst_clockcontrol.moc"
