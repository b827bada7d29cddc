#include "platform/ControlPointer.h"
#include "platform/WindowServices.h"

#include <QCursor>
#include <QLabel>
#include <QTest>
#include <QWidget>

// Docking windows into others and the per-control mouse pointer.
class tst_controlwindows : public QObject {
    Q_OBJECT

private slots:
    void dockingATopLevelWindow_data()
    {
        QTest::addColumn<bool>("shownBefore");
        QTest::newRow("not yet shown") << false;
        QTest::newRow("already on screen") << true;
    }
    void dockingATopLevelWindow()
    {
        QFETCH(bool, shownBefore);
        QWidget host;
        host.resize(400, 300);
        host.show();
        auto* window = new QWidget;
        window->setWindowTitle(QStringLiteral("Κατάλογος"));
        if (shownBefore)
            window->show();
        rt::SetParent(*window, &host);
        QCOMPARE(window->parentWidget(), &host);
        QVERIFY(!window->isWindow());
        QCOMPARE(window->isVisible(), shownBefore);
        QVERIFY(window->autoFillBackground());
        window->show();
        QVERIFY(window->isVisible());
    }

    void aChildKeepsItsPlaceAndStaysShown()
    {
        QWidget first;
        QWidget second;
        first.show();
        second.show();
        auto* bar = new QWidget(&first);
        bar->setGeometry(10, 5, 80, 20);
        bar->show();
        rt::SetParent(*bar, &second);
        QCOMPARE(bar->parentWidget(), &second);
        QCOMPARE(bar->geometry(), QRect(10, 5, 80, 20));
        QVERIFY(bar->isVisible());
        rt::SetParent(*bar, &first);
        QCOMPARE(bar->parentWidget(), &first);
        QVERIFY(bar->isVisible());
    }

    void withoutAParentAWindowStandsAlone()
    {
        QWidget host;
        auto* child = new QWidget(&host);
        rt::SetParent(*child, nullptr);
        QVERIFY(child->isWindow());
        delete child;
    }

    void controlPointer_data()
    {
        QTest::addColumn<int>("pointer");
        QTest::addColumn<bool>("withIcon");
        QTest::addColumn<int>("shape");
        QTest::newRow("default") << 0 << true << int(Qt::ArrowCursor);
        QTest::newRow("hourglass") << 11 << false << int(Qt::WaitCursor);
        QTest::newRow("custom") << 99 << true << int(Qt::PointingHandCursor);
        QTest::newRow("custom without icon") << 99 << false << int(Qt::ArrowCursor);
    }
    void controlPointer()
    {
        QFETCH(int, pointer);
        QFETCH(bool, withIcon);
        QFETCH(int, shape);
        QLabel control;
        if (withIcon)
            rt::SetControlMouseIcon(control, QCursor(Qt::PointingHandCursor));
        rt::SetControlPointer(control, pointer);
        QCOMPARE(rt::ControlPointer(control), pointer);
        QCOMPARE(int(control.cursor().shape()), shape);
        rt::SetControlPointer(control, 0);
        QCOMPARE(rt::ControlPointer(control), 0);
        QCOMPARE(control.cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(tst_controlwindows)
#include "tst_controlwindows.moc"
