#include "platform/Formats.h"

#include <cmath>

namespace rt {

namespace {
const QDate serialEpoch(1899, 12, 30);
}

QString ShortDate(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString ShortTime(const QTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}

std::optional<QDate> ParseShortDate(const QString& text)
{
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
    if (date.isValid())
        return date;
    const QDate loose = QDate::fromString(text.trimmed(), QStringLiteral("d/M/yyyy"));
    return loose.isValid() ? std::optional<QDate>(loose) : std::nullopt;
}

std::optional<QTime> ParseShortTime(const QString& text)
{
    for (const QString& pattern : {QStringLiteral("HH:mm"), QStringLiteral("H:mm"),
                                   QStringLiteral("HH:mm:ss"), QStringLiteral("H:mm:ss")}) {
        const QTime time = QTime::fromString(text.trimmed(), pattern);
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

QString SingleText(float value)
{
    if (value == 0.0f)
        return QStringLiteral("0");
    QString text = QString::number(static_cast<double>(value), 'g', 7);
    // The runtime writes exponents as E+08 / E-05 and never a leading "+".
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        const QChar sign = exponent.at(0) == QLatin1Char('-') ? QLatin1Char('-') : QLatin1Char('+');
        if (exponent.at(0) == QLatin1Char('-') || exponent.at(0) == QLatin1Char('+'))
            exponent.remove(0, 1);
        while (exponent.size() < 2)
            exponent.prepend(QLatin1Char('0'));
        text = mantissa + QLatin1Char('E') + sign + exponent;
    }
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString Format(const QDateTime& value, const QString& code)
{
    QString out;
    bool afterHour = false;
    const QDate d = value.date();
    const QTime t = value.time();
    qsizetype i = 0;
    while (i < code.size()) {
        const QChar c = code.at(i).toLower();
        qsizetype run = 1;
        while (i + run < code.size() && code.at(i + run).toLower() == c)
            ++run;
        auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
        if (c == QLatin1Char('y')) {
            out += run >= 3 ? QString::number(d.year()) : two(d.year() % 100);
            afterHour = false;
        } else if (c == QLatin1Char('d')) {
            out += run >= 2 ? two(d.day()) : QString::number(d.day());
            afterHour = false;
        } else if (c == QLatin1Char('m')) {
            const int n = afterHour ? t.minute() : d.month();
            out += run >= 2 ? two(n) : QString::number(n);
            afterHour = false;
        } else if (c == QLatin1Char('n')) {
            out += run >= 2 ? two(t.minute()) : QString::number(t.minute());
            afterHour = false;
        } else if (c == QLatin1Char('h')) {
            out += run >= 2 ? two(t.hour()) : QString::number(t.hour());
            afterHour = true;
        } else if (c == QLatin1Char('s')) {
            out += run >= 2 ? two(t.second()) : QString::number(t.second());
            afterHour = false;
        } else {
            // Separators keep a pending hour: "h.m" and "hh:mm" give minutes.
            out += code.mid(i, run);
        }
        i += run;
    }
    return out;
}

int DateSerialNumber(const QDate& date) { return static_cast<int>(serialEpoch.daysTo(date)); }

QDate DateFromSerialNumber(int serial) { return serialEpoch.addDays(serial); }

} // namespace rt
