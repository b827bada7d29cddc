// Times the phone list of a message sent to many ticked members: the list as the program
// builds it (numbers looked up by entry), the same over the suffix automaton of the whole
// text (the way taken when a stored number holds a comma), and the rule done literally
// (one substring search of the whole list per member), on the same numbers, checking
// that all give the same list.
// Run: build/bench/bench_phonelist [--literal-all]
// (--literal-all runs the literal rule on 50,000 and 100,000 members too; it takes
// minutes.)
#include "compose/PhoneListText.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

namespace {

constexpr int kMembers = 100000;
constexpr int kExtras = 25;

double timed(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

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

// Mobile numbers as an address book holds them: ten digits from 69, a few written with
// the country code, a few shared by two members, a few missing.
QStringList memberNumbers(std::mt19937& random, int count)
{
    std::uniform_int_distribution<int> digits(0, 99999999);
    std::uniform_int_distribution<int> percent(0, 99);
    QStringList numbers;
    numbers.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int roll = percent(random);
        if (roll < 3 && !numbers.isEmpty())
            numbers << numbers.at(
                std::uniform_int_distribution<int>(0, int(numbers.size()) - 1)(random));
        else if (roll < 4)
            numbers << QString();
        else if (roll < 8)
            numbers << QStringLiteral("3069%1").arg(digits(random), 8, 10, QLatin1Char('0'));
        else
            numbers << QStringLiteral("69%1").arg(digits(random), 8, 10, QLatin1Char('0'));
    }
    return numbers;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool literalAll = argc > 1 && std::strcmp(argv[1], "--literal-all") == 0;
    std::mt19937 random(1976);
    const QStringList extras = memberNumbers(random, kExtras);
    const QString extraList = extras.join(QLatin1Char(','));
    const QStringList numbers = memberNumbers(random, kMembers);

    std::printf("%-10s %12s %14s %12s %6s\n", "members", "by entry ms", "whole text ms",
                "literal ms", "same");
    for (const int count : {1000, 5000, 20000, 50000, kMembers}) {
        const QStringList part = numbers.mid(0, count);
        QString byEntry, wholeText, literal;
        const double byEntryMs = timed([&] { byEntry = PhoneListText::Build(extraList, part); });
        const double wholeTextMs =
            timed([&] { wholeText = PhoneListText::BuildOverWholeText(extraList, part); });
        const bool runLiteral = count <= 20000 || literalAll;
        const double literalMs =
            runLiteral ? timed([&] { literal = literalList(extraList, part); }) : -1;
        const bool same = byEntry == wholeText && (!runLiteral || byEntry == literal);
        char literalText[32] = "-";
        if (runLiteral)
            std::snprintf(literalText, sizeof literalText, "%.1f", literalMs);
        std::printf("%-10d %12.1f %14.1f %12s %6s   (list of %lld characters)\n", count, byEntryMs,
                    wholeTextMs, literalText, same ? "yes" : "NO",
                    static_cast<long long>(byEntry.size()));
        if (!same)
            return 1;
    }
    return 0;
}
