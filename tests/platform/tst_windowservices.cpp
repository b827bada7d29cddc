#include "platform/WindowServices.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

class tst_windowservices : public QObject {
    Q_OBJECT
private slots:
    void topmostWithoutTakingFocus() {
        QWidget splash;
        rt::ShowTopmostWithoutFocus(splash, QRect(40, 50, 120, 80));
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(splash.isVisible());
        QVERIFY(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(splash.geometry(), QRect(40, 50, 120, 80));
        // What the window system is told: do not hand this window the focus. (The
        // offscreen test platform activates every window it shows, so the focus
        // itself cannot be observed here.)
        QVERIFY(splash.windowHandle());
        QVERIFY(splash.windowHandle()->property("_q_showWithoutActivating").toBool());
    }

    void secondShowKeepsTheWindow() {
        QWidget splash;
        rt::ShowTopmostWithoutFocus(splash, QRect(0, 0, 100, 60));
        rt::ShowTopmostWithoutFocus(splash, QRect(20, 30, 100, 60));
        QVERIFY(splash.isVisible());
        QCOMPARE(splash.geometry(), QRect(20, 30, 100, 60));
    }

    // The window system is told, and the window stays on the screen where it was.
    void topmostChangedInPlace() {
        QWidget splash;
        rt::ShowTopmostWithoutFocus(splash, QRect(40, 50, 120, 80));
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QWindow* native = splash.windowHandle();
        for (const bool topmost : {false, true}) {
            rt::SetTopmost(splash, topmost);
            QVERIFY(splash.isVisible());
            QCOMPARE(splash.windowHandle(), native);
            QCOMPARE(splash.geometry(), QRect(40, 50, 120, 80));
            QCOMPARE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint), topmost);
            QCOMPARE(native->flags().testFlag(Qt::WindowStaysOnTopHint), topmost);
        }
    }

    // Centred over the window, frame over frame, where that leaves it whole on the
    // screen; else moved no further than needed to be whole on it. Over the screen its
    // frame is not known before it shows, which leaves it off by that frame at most.
    void placeOver_data() {
        QTest::addColumn<QRect>("over");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("offCentre"); // -1: not centred
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("over the window")
            << QRect(screen.left() + 100, screen.top() + 80, 400, 300) << QSize(200, 100) << 1;
        QTest::newRow("at the screen's lower right")
            << QRect(screen.right() - 150, screen.bottom() - 100, 200, 150) << QSize(300, 200)
            << -1;
        QTest::newRow("at the screen's upper left")
            << QRect(screen.left() - 100, screen.top() - 100, 150, 120) << QSize(300, 200)
            << -1;
        QTest::newRow("no window") << QRect() << QSize(200, 100) << 4;
    }
    void placeOver() {
        QFETCH(QRect, over);
        QFETCH(QSize, size);
        QFETCH(int, offCentre);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget main;
        if (!over.isNull()) {
            main.setGeometry(over);
            main.show();
            QVERIFY(QTest::qWaitForWindowExposed(&main));
        }
        QWidget dialog;
        dialog.resize(size);
        rt::PlaceOver(dialog, over.isNull() ? nullptr : &main);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect placed = dialog.frameGeometry();
        QVERIFY(screen.contains(placed));
        const QRect around = over.isNull() ? screen : main.frameGeometry();
        const QPoint offset = placed.center() - around.center();
        if (offCentre >= 0) {
            QVERIFY2(offset.manhattanLength() <= offCentre,
                     qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        } else {
            QVERIFY(placed.left() == screen.left() || placed.right() == screen.right());
            QVERIFY(placed.top() == screen.top() || placed.bottom() == screen.bottom());
        }
    }
};

QTEST_MAIN(tst_windowservices)
#include "tst_windowservices.moc"
