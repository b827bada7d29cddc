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
// and (with a comma among the symbols) straddle the commas as often as possible.
QString randomWord(QRandomGenerator& random, const QString& symbols, int minLength, int maxLength)
{
    const int length = random.bounded(minLength, maxLength + 1);
    QString word;
    for (int i = 0; i < length; ++i)
        word += symbols.at(random.bounded(int(symbols.size())));
    return word;
}

QString randomWord(QRandomGenerator& random, int maxLength)
{
    return randomWord(random, QStringLiteral("690,3"), 0, maxLength);
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

    void buildsTheSameListAsTheLiteralRule_data()
    {
        QTest::addColumn<QString>("symbols");
        QTest::addColumn<int>("minLength");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("mostNumbers");
        QTest::newRow("digits, pieces of each other") << "6903" << 0 << 5 << 12;
        QTest::newRow("commas in some numbers") << "690,3" << 0 << 5 << 12;
        QTest::newRow("Greek letters and blanks") << QStringLiteral("αΑ 6") << 0 << 4 << 12;
        QTest::newRow("numbers longer than any entry looked up") << "69" << 58 << 70 << 6;
        QTest::newRow("numbers of many lengths") << "690" << 0 << 24 << 40;
    }
    void buildsTheSameListAsTheLiteralRule()
    {
        QFETCH(QString, symbols);
        QFETCH(int, minLength);
        QFETCH(int, maxLength);
        QFETCH(int, mostNumbers);
        QRandomGenerator random(7);
        for (int round = 0; round < 2000; ++round) {
            // The extra numbers may hold commas of their own: the editor takes a member's
            // stored number as it is.
            QStringList extras;
            for (int i = random.bounded(4); i > 0; --i)
                extras << randomWord(random, QStringLiteral("690,3"), 0, 5);
            QStringList numbers;
            for (int i = random.bounded(mostNumbers); i > 0; --i)
                numbers << randomWord(random, symbols, minLength, maxLength);
            const QString extraList = extras.join(QLatin1Char(','));
            const QString literal = literalList(extraList, numbers);
            QCOMPARE(PhoneListText::Build(extraList, numbers), literal);
            QCOMPARE(PhoneListText::BuildOverWholeText(extraList, numbers), literal);
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
        QTest::newRow("inside a member's number added before")
            << "" << QStringList{"306912345678", "6912345678"} << ",306912345678";
        QTest::newRow("holding a member's number added before")
            << "" << QStringList{"6912345678", "306912345678"} << ",6912345678,306912345678";
        QTest::newRow("twice, once") << "69111" << QStringList{"6922", "", "6922"} << "69111,6922";
        QTest::newRow("a stored number with a comma among plain ones")
            << "6911" << QStringList{"2269", "11,22", "1,2", "3"} << "6911,2269,3";
    }
    void numbersInsideOthersAndAcrossCommas()
    {
        QFETCH(QString, extraList);
        QFETCH(QStringList, numbers);
        QFETCH(QString, list);
        QCOMPARE(PhoneListText::Build(extraList, numbers), list);
        QCOMPARE(PhoneListText::BuildOverWholeText(extraList, numbers), list);
        QCOMPARE(literalList(extraList, numbers), list);
    }
};

QTEST_APPLESS_MAIN(tst_phonelisttext)
#include "tst_phonelisttext.moc"
