#include "platform/Convert.h"
#include "platform/Err.h"

#include <QTest>

class tst_convert : public QObject {
    Q_OBJECT
private slots:
    void integer_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("error");
        QTest::newRow("digits") << QVariant(QStringLiteral("80")) << 80 << 0;
        QTest::newRow("blanks and sign") << QVariant(QStringLiteral("  -1 ")) << -1 << 0;
        QTest::newRow("plus") << QVariant(QStringLiteral("+7")) << 7 << 0;
        QTest::newRow("lowest") << QVariant(QStringLiteral("-32768")) << -32768 << 0;
        QTest::newRow("number") << QVariant(123) << 123 << 0;
        QTest::newRow("too large") << QVariant(QStringLiteral("32768")) << 0 << 6;
        QTest::newRow("very long") << QVariant(QStringLiteral("99999999999999999999999")) << 0 << 6;
        QTest::newRow("long with letter")
            << QVariant(QStringLiteral("9999999999999999999x")) << 0 << 13;
        QTest::newRow("empty") << QVariant(QString()) << 0 << 13;
        QTest::newRow("letters") << QVariant(QStringLiteral("http")) << 0 << 13;
        QTest::newRow("fraction") << QVariant(QStringLiteral("80.5")) << 0 << 13;
        QTest::newRow("inner blank") << QVariant(QStringLiteral("8 0")) << 0 << 13;
        QTest::newRow("sign only") << QVariant(QStringLiteral("-")) << 0 << 13;
    }
    void integer() {
        QFETCH(QVariant, value);
        QFETCH(int, expected);
        QFETCH(int, error);
        try {
            const int result = rt::CInt(value);
            QCOMPARE(error, 0);
            QCOMPARE(result, expected);
        } catch (const rt::RuntimeError& e) {
            QCOMPARE(e.number(), error);
        }
    }

    void ranges() {
        QCOMPARE(rt::CLng(QStringLiteral("-2147483648")), qint32(-2147483647 - 1));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, rt::CLng(QStringLiteral("2147483648")));
        QCOMPARE(rt::CByte(QStringLiteral("255")), quint8(255));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, rt::CByte(QStringLiteral("256")));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, rt::CByte(QStringLiteral("-1")));
    }
};

QTEST_APPLESS_MAIN(tst_convert)
#include "tst_convert.moc"
