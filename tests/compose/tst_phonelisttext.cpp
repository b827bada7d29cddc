#include "compose/PhoneListText.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The rule as it reads, one substring search of the whole list per number.
QString literalList(const QString& extraList, const QStringList& numbers)
{
    QString s = extraList + QLatin1Char(',');
    for (const QString& m : numbers) {
        if (!s.contains(m))
            s += m + QLatin1Char(',');
    }
    if (!s.isEmpty() && s.endsWith(QLatin1Char(',')))
        s.chop(1);
    return s;
}

// Short words over a few symbols, so that numbers overlap, repeat, sit inside each other
// and straddle the commas as often as possible.
QString randomWord(QRandomGenerator& random, int maxLength)
{
    static const QString symbols = QStringLiteral("690,3");
    const int length = random.bounded(maxLength + 1);
    QString word;
    for (int i = 0; i < length; ++i)
        word += symbols.at(random.bounded(int(symbols.size())));
    return word;
}

} // namespace

class tst_phonelisttext : public QObject {
    Q_OBJECT

private slots:
    void answersAsASubstringSearchOfTheWholeText()
    {
        QRandomGenerator random(20240305);
        for (int round = 0; round < 400; ++round) {
            QString literal = randomWord(random, 6);
            PhoneListText text(literal);
            for (int step = 0; step < 40; ++step) {
                const QString piece = randomWord(random, 7);
                QCOMPARE(text.contains(piece), literal.contains(piece));
                if (random.bounded(2)) {
                    text.append(piece);
                    literal += piece;
                }
            }
            QCOMPARE(text.text(), literal);
        }
    }

    void buildsTheSameListAsTheLiteralRule()
    {
        QRandomGenerator random(7);
        for (int round = 0; round < 2000; ++round) {
            QStringList extras;
            for (int i = random.bounded(4); i > 0; --i)
                extras << randomWord(random, 5);
            QStringList numbers;
            for (int i = random.bounded(12); i > 0; --i)
                numbers << randomWord(random, 5);
            const QString extraList = extras.join(QLatin1Char(','));
            QCOMPARE(PhoneListText::Build(extraList, numbers), literalList(extraList, numbers));
        }
    }

    void numbersInsideOthersAndAcrossCommas_data()
    {
        QTest::addColumn<QString>("extraList");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("list");
        QTest::newRow("inside an extra number")
            << "306912345678" << QStringList{"6912345678"} << "306912345678";
        QTest::newRow("across the comma between two numbers")
            << "6911,2269" << QStringList{"11,22", "1,2", "6911,2269,"} << "6911,2269";
        QTest::newRow("the comma itself occurs") << "" << QStringList{","} << "";
        QTest::newRow("Greek letters are compared exactly")
            << "Αβγ" << QStringList{"αβγ", "βγ"} << "Αβγ,αβγ";
    }
    void numbersInsideOthersAndAcrossCommas()
    {
        QFETCH(QString, extraList);
        QFETCH(QStringList, numbers);
        QFETCH(QString, list);
        QCOMPARE(PhoneListText::Build(extraList, numbers), list);
        QCOMPARE(PhoneListText::Build(extraList, numbers), literalList(extraList, numbers));
    }
};

QTEST_APPLESS_MAIN(tst_phonelisttext)
#include "tst_phonelisttext.moc"
