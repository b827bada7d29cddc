#include "platform/StatusBar.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QTest>

class tst_statusbar : public QObject {
    Q_OBJECT
private slots:
    void panelsInsertAtTheirPosition()
    {
        rt::StatusBar bar;
        bar.Add(0, QStringLiteral("pnlSMSAvailable"), QStringLiteral("Άγνωστο"));
        bar.Add(0, QStringLiteral("pnlConnection"));
        bar.Add(1, QStringLiteral("frmMember_List"), QStringLiteral("12 Μέλη"));
        bar.Add(bar.IndexOf(QStringLiteral("pnlSMSAvailable")), QStringLiteral("pnlCharCount"));
        QCOMPARE(bar.Keys(), (QStringList{"frmMember_List", "pnlCharCount", "pnlSMSAvailable",
                                          "pnlConnection"}));
        QCOMPARE(bar.Panel(QStringLiteral("frmMember_List"))->Text(), QStringLiteral("12 Μέλη"));
        QCOMPARE(bar.Panel(3)->Key(), QStringLiteral("pnlSMSAvailable"));
        QVERIFY(bar.Panel(0) == nullptr);
        QVERIFY(bar.Panel(5) == nullptr);
    }

    void keysAreUniqueAndRemovable()
    {
        rt::StatusBar bar;
        QVERIFY(bar.Add(0, QStringLiteral("a")));
        QVERIFY(bar.Add(0, QStringLiteral("a")) == nullptr);
        QCOMPARE(bar.Count(), 1);
        QVERIFY(bar.Remove(QStringLiteral("a")));
        QVERIFY(!bar.Remove(QStringLiteral("a")));
        QCOMPARE(bar.Count(), 0);
        QCOMPARE(bar.IndexOf(QStringLiteral("a")), 0);
    }

    // As drawn: panels sized to their contents fit their text (and no less than their
    // minimum), the others keep their widths, the blank room is left at the right, and
    // a change of text resizes the panel.
    void panelsTakeTheirOwnWidths()
    {
        rt::StatusBar bar;
        bar.resize(700, 24);
        rt::StatusPanel* count = bar.Add(0, QStringLiteral("pnlCharCount"), QStringLiteral(" 160"));
        rt::StatusPanel* blank = bar.Add(0, QStringLiteral("pnlSMSCount"), QStringLiteral(" "));
        for (rt::StatusPanel* panel : {count, blank}) {
            panel->setMinWidth(17);
            panel->setAutoSize(rt::StatusPanel::Contents);
        }
        rt::StatusPanel* fixed = bar.Add(0, QStringLiteral("pnlSMSAvailable"));
        rt::StatusPanel* wide = bar.Add(0, QStringLiteral("pnlConnection"));
        wide->setWidth(150);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        const QImage drawn = bar.grab().toImage();

        const QLabel* text = count->findChildren<QLabel*>().last();
        QCOMPARE(text->text(), QStringLiteral(" 160"));
        QVERIFY(text->width() >= text->fontMetrics().horizontalAdvance(text->text()));
        QVERIFY(count->width() < 60);
        QCOMPARE(blank->width(), 17);
        QCOMPARE(fixed->width(), rt::toPixels(1440));
        QCOMPARE(wide->width(), 150);
        // Left to right with the bar's spacing, and each panel's frame drawn where it is.
        QCOMPARE(count->x(), 2);
        QCOMPARE(blank->x(), count->geometry().right() + 3);
        QCOMPARE(fixed->x(), blank->geometry().right() + 3);
        QCOMPARE(wide->x(), fixed->geometry().right() + 3);
        const QRgb frame = bar.palette().color(QPalette::Mid).rgb();
        for (const rt::StatusPanel* panel : {count, blank, fixed, wide}) {
            QCOMPARE(drawn.pixel(panel->x(), 12), frame);
            QCOMPARE(drawn.pixel(panel->geometry().right(), 12), frame);
        }
        const QRgb ground = drawn.pixel(699, 12);
        QVERIFY(ground != frame);
        for (int x = wide->geometry().right() + 1; x < 700; ++x)
            QCOMPARE(drawn.pixel(x, 12), ground);

        const int before = count->width();
        count->setText(QStringLiteral(" 160 χαρακτήρες"));
        QVERIFY(count->width() > before);
        count->setText(QString());
        QCOMPARE(count->width(), 17);
    }

    void aSpringTakesTheRoomLeft()
    {
        rt::StatusBar bar;
        bar.resize(500, 24);
        rt::StatusPanel* spring = bar.Add(0, QStringLiteral("path"));
        spring->setAutoSize(rt::StatusPanel::Spring);
        rt::StatusPanel* fixed = bar.Add(0, QStringLiteral("fixed"));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(fixed->width(), rt::toPixels(1440));
        QCOMPARE(fixed->geometry().right(), 500 - 3);
        QCOMPARE(spring->width(), 500 - 4 - 2 - fixed->width());
    }

    void panelCarriesPictureAndTooltip()
    {
        rt::StatusBar bar;
        rt::StatusPanel* panel = bar.Add(0, QStringLiteral("pnlConnection"));
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        panel->setPicture(QIcon(pixmap));
        panel->setToolTipText(QStringLiteral("Σύνδεση"));
        QVERIFY(!panel->Picture().isNull());
        QCOMPARE(panel->ToolTipText(), QStringLiteral("Σύνδεση"));
        panel->setPicture(QIcon());
        QVERIFY(panel->Picture().isNull());
    }
};

QTEST_MAIN(tst_statusbar)
#include "tst_statusbar.moc"
