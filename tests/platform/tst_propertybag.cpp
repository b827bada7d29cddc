#include "platform/PropertyBag.h"

#include <QTest>

class tst_propertybag : public QObject {
    Q_OBJECT

private slots:
    void defaultsAreNotWritten()
    {
        rt::PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Enabled"), true, true);
        bag.WriteProperty(QStringLiteral("MaxLength"), 10, 0);
        bag.WriteProperty(QStringLiteral("Text"), QString(), QString());
        bag.WriteProperty(QStringLiteral("ToolTipText"), QStringLiteral("Κινητό"), QString());
        QCOMPARE(bag.names(),
                 (QStringList{QStringLiteral("MaxLength"), QStringLiteral("ToolTipText")}));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool(), true);
        QCOMPARE(bag.ReadProperty(QStringLiteral("maxlength"), 0).toInt(), 10);
        QCOMPARE(bag.ReadProperty(QStringLiteral("ToolTipText"), QString()).toString(),
                 QStringLiteral("Κινητό"));
        QCOMPARE(
            bag.ReadProperty(QStringLiteral("Caption"), QStringLiteral("Form Title")).toString(),
            QStringLiteral("Form Title"));
    }

    void writingTheDefaultAgainForgetsTheValue()
    {
        rt::PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Locked"), true, false);
        QVERIFY(bag.contains(QStringLiteral("Locked")));
        bag.WriteProperty(QStringLiteral("Locked"), false, false);
        QVERIFY(!bag.contains(QStringLiteral("Locked")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Locked"), false).toBool(), false);
    }
};

QTEST_MAIN(tst_propertybag)
#include "tst_propertybag.moc"
