#include "platform/StatusBar.h"

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
