#include "platform/PaintPacing.h"

#include <QTest>
#include <QThread>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// Shows a number; remembers how often it painted and the number it painted last.
class Counter : public QWidget {
public:
    int value = 0;
    int paints = 0;
    int painted = -1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        painted = value;
    }
};

} // namespace

class tst_paintpacing : public QObject {
    Q_OBJECT

private slots:
    // A change after a quiet moment is painted at once; a run of changes that follow it
    // quickly is painted together, ending with the last one, with nothing more happening;
    // and the window goes on painting changes after that.
    void aRunOfChangesIsPaintedTogetherEndingWithTheLast_data()
    {
        QTest::addColumn<bool>("repaint");
        QTest::newRow("update") << false;
        QTest::newRow("repaint") << true;
    }

    void aRunOfChangesIsPaintedTogetherEndingWithTheLast()
    {
        QFETCH(bool, repaint);
        constexpr int changes = 100;
        QWidget window;
        auto* counter = new Counter;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(counter);
        window.resize(200, 100);
        rt::PaintPacing::install(window);
        rt::PaintPacing::install(window); // once per window
        QCOMPARE(window.findChildren<rt::PaintPacing*>().size(), 1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(3 * rt::PaintPacing::kGapMs);

        const auto change = [&](int value) {
            counter->value = value;
            if (repaint)
                counter->repaint();
            else
                counter->update();
            QCoreApplication::processEvents();
        };
        const int before = counter->paints;
        change(1);
        QCOMPARE(counter->paints, before + 1);
        QCOMPARE(counter->painted, 1);

        for (int value = 2; value <= changes; ++value)
            change(value);
        const int during = counter->paints - before;
        QVERIFY2(during < changes / 4, qPrintable(QString::number(during)));
        QTRY_COMPARE(counter->painted, changes);

        QTest::qWait(3 * rt::PaintPacing::kGapMs);
        const int after = counter->paints;
        change(changes + 1);
        QCOMPARE(counter->paints, after + 1);
        QCOMPARE(counter->painted, changes + 1);
    }

    // A wait that lets nothing but paints through (no timers run in it) still paints once
    // the gap has passed: the gap's end is not left to a timer that cannot fire.
    void aPaintAfterTheGapIsNotLeftToItsTimer()
    {
        QWidget window;
        auto* counter = new Counter;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(counter);
        window.resize(200, 100);
        rt::PaintPacing::install(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(3 * rt::PaintPacing::kGapMs);

        counter->value = 1;
        counter->repaint();
        counter->value = 2;
        counter->repaint(); // within the gap: held back, the gap's timer started
        QCOMPARE(counter->painted, 1);

        QThread::msleep(2 * rt::PaintPacing::kGapMs); // no event of any kind handled
        counter->value = 3;
        counter->repaint();
        QCOMPARE(counter->painted, 3);
    }
};

QTEST_MAIN(tst_paintpacing)
#include "tst_paintpacing.moc"
