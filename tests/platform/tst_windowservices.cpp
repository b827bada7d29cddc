#include "platform/WindowServices.h"

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
};

QTEST_MAIN(tst_windowservices)
#include "tst_windowservices.moc"
