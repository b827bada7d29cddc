#include "platform/UpDown.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class tst_updown : public QObject {
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("changes");
        // Min 0, Max 10, Increment 3.
        QTest::newRow("up within the limits") << 3 << true << false << 6 << 1;
        QTest::newRow("up past Max stops at Max") << 9 << true << false << 10 << 1;
        QTest::newRow("up at Max changes nothing") << 10 << true << false << 10 << 0;
        QTest::newRow("down past Min stops at Min") << 2 << false << false << 0 << 1;
        QTest::newRow("up past Max wraps to Min") << 9 << true << true << 0 << 1;
        QTest::newRow("down past Min wraps to Max") << 2 << false << true << 10 << 1;
    }
    void steps()
    {
        QFETCH(int, start);
        QFETCH(bool, up);
        QFETCH(bool, wrap);
        QFETCH(int, value);
        QFETCH(int, changes);
        rt::UpDown spinner;
        spinner.setMin(0);
        spinner.setMax(10);
        spinner.setIncrement(3);
        spinner.setWrap(wrap);
        spinner.setValue(start);
        QSignalSpy changed(&spinner, &rt::UpDown::Change);
        (up ? spinner.upButton() : spinner.downButton())->click();
        QCOMPARE(spinner.Value(), value);
        QCOMPARE(changed.count(), changes);
    }

    void valueFromCodeIsClampedAndRaisesChangeOnce()
    {
        rt::UpDown spinner;
        spinner.setMin(-1);
        spinner.setMax(24);
        QSignalSpy changed(&spinner, &rt::UpDown::Change);
        spinner.setValue(30);
        QCOMPARE(spinner.Value(), 24);
        spinner.setValue(24);
        QCOMPARE(changed.count(), 1);
        spinner.setValue(-7);
        QCOMPARE(spinner.Value(), -1);
        QCOMPARE(changed.count(), 2);
    }

    void aHandlerMayChangeTheValueInsideChange()
    {
        rt::UpDown spinner;
        spinner.setMin(-1);
        spinner.setMax(24);
        QList<int> seen;
        connect(&spinner, &rt::UpDown::Change, &spinner, [&] {
            if (spinner.Value() > 23)
                spinner.setValue(0);
            seen.append(spinner.Value());
        });
        spinner.setValue(23);
        spinner.stepUp();
        QCOMPARE(spinner.Value(), 0);
        QCOMPARE(seen, (QList<int>{23, 0, 0}));
    }
};

QTEST_MAIN(tst_updown)
#include "tst_updown.moc"
