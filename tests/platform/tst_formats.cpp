#include "platform/Clock.h"
#include "platform/Cp1253.h"
#include "platform/FileDialog.h"
#include "platform/Formats.h"

#include <QTest>

class tst_formats : public QObject {
    Q_OBJECT
private slots:
    void shortFormats()
    {
        QCOMPARE(rt::ShortDate(QDate(2023, 3, 5)), QStringLiteral("05/03/2023"));
        QCOMPARE(rt::ShortTime(QTime(7, 4)), QStringLiteral("07:04"));
        QCOMPARE(rt::ShortTime(QTime(19, 30)), QStringLiteral("19:30"));
        QCOMPARE(rt::ParseShortDate(QStringLiteral("05/03/2023")).value(), QDate(2023, 3, 5));
        QVERIFY(!rt::ParseShortDate(QStringLiteral("31/02/2023")).has_value());
        QCOMPARE(rt::ParseShortTime(QStringLiteral("19:30")).value(), QTime(19, 30));
        QVERIFY(!rt::ParseShortTime(QStringLiteral("25:00")).has_value());
    }

    void singleText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << 3723.5f << QStringLiteral("3723,5");
        QTest::newRow("whole") << 45000.0f << QStringLiteral("45000");
        QTest::newRow("two decimals") << 50000.12f << QStringLiteral("50000,12");
        QTest::newRow("seven digits") << 86399.99f << QStringLiteral("86399,99");
        QTest::newRow("zero") << 0.0f << QStringLiteral("0");
        QTest::newRow("negative") << -1.5f << QStringLiteral("-1,5");
        QTest::newRow("large") << 1.0e8f << QStringLiteral("1E+08");
    }
    void singleText()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(rt::SingleText(value), text);
    }

    void formatCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("short date") << QStringLiteral("dd/mm/yyyy") << QStringLiteral("05/03/2023");
        QTest::newRow("server date") << QStringLiteral("yyyy.mm.dd.h.m")
                                     << QStringLiteral("2023.03.05.7.4");
        QTest::newRow("hour minute") << QStringLiteral("h.m") << QStringLiteral("7.4");
        QTest::newRow("padded time") << QStringLiteral("hh:mm") << QStringLiteral("07:04");
        QTest::newRow("minutes by n") << QStringLiteral("hh:nn:ss") << QStringLiteral("07:04:09");
        QTest::newRow("short year") << QStringLiteral("d/m/yy") << QStringLiteral("5/3/23");
    }
    void formatCodes()
    {
        QFETCH(QString, code);
        QFETCH(QString, text);
        QCOMPARE(rt::Format(QDateTime(QDate(2023, 3, 5), QTime(7, 4, 9)), code), text);
    }

    void dateSerials()
    {
        QCOMPARE(rt::DateSerialNumber(QDate(2023, 3, 15)), 45000);
        QCOMPARE(rt::DateSerialNumber(QDate(1899, 12, 30)), 0);
        QCOMPARE(rt::DateFromSerialNumber(45000), QDate(2023, 3, 15));
    }

    void testClockAdvancesWhenSleptOn()
    {
        rt::TestClock pinned(QDateTime(QDate(2023, 3, 15), QTime(10, 0, 0)));
        rt::setClock(&pinned);
        QCOMPARE(rt::Timer(), 36000.0f);
        rt::sleepMs(250);
        QCOMPARE(rt::Timer(), 36000.25f);
        QCOMPARE(rt::Date(), QDate(2023, 3, 15));
        rt::setClock(nullptr);
        QVERIFY(rt::Now().isValid());
    }

    void codePageRoundTrip()
    {
        const QString greek = QStringLiteral("ΑΒΓ αβγ ΆΈΉ άέή ΐΰ ς € «»");
        const QByteArray bytes = rt::cp1253::fromUnicode(greek);
        QCOMPARE(bytes.size(), greek.size());
        QCOMPARE(rt::cp1253::toUnicode(bytes), greek);
        QCOMPARE(rt::cp1253::code(QChar(0x03A9)), 217); // Ω
        QCOMPARE(rt::cp1253::code(QChar(0x03B1)), 0xE1); // α
        QCOMPARE(rt::cp1253::code(QChar(0x0386)), 0xA2); // Ά
        QCOMPARE(rt::cp1253::code(QLatin1Char('|')), 124);
        for (int b = 0; b < 256; ++b) {
            const QChar c = rt::cp1253::character(static_cast<unsigned char>(b));
            if (c.unicode() != 0xFFFD)
                QCOMPARE(rt::cp1253::code(c), b);
        }
    }

    void codePageRefusesWhatItCannotHold()
    {
        QVERIFY(!rt::cp1253::canEncode(QChar(0x0416))); // Cyrillic Ж
        QVERIFY(!rt::cp1253::canEncode(QChar(0x00E9))); // é is not in the Greek page
        QCOMPARE(rt::cp1253::fromUnicode(QStringLiteral("aЖb")), QByteArray("a?b"));
        QCOMPARE(rt::cp1253::keepEncodable(QStringLiteral("aЖbé")), QStringLiteral("ab"));
        QCOMPARE(rt::cp1253::character(0xD2).unicode(), char16_t(0xFFFD));
        QCOMPARE(rt::cp1253::character(0xFF).unicode(), char16_t(0xFFFD));
    }

    void dialogFilterTranslation()
    {
        QCOMPARE(rt::toolkitFilter(QStringLiteral("Αρχεία Κειμένου (*.txt)|*.txt|Όλα|*.*")),
                 QStringLiteral("Αρχεία Κειμένου (*.txt);;Όλα (*.*)"));
        QCOMPARE(rt::toolkitFilter(QStringLiteral("Phones|*.phn;*.txt")),
                 QStringLiteral("Phones (*.phn *.txt)"));
    }
};

QTEST_GUILESS_MAIN(tst_formats)
#include "tst_formats.moc"
