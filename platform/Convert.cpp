#include "platform/Convert.h"

#include "platform/Err.h"

#include <optional>

namespace rt {

namespace {

std::optional<qint64> wholeNumber(const QVariant& value) {
    if (value.typeId() != QMetaType::QString) {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    const QString text = value.toString();
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text.at(i) == QLatin1Char(' '))
        ++i;
    while (end > i && text.at(end - 1) == QLatin1Char(' '))
        --end;
    bool negative = false;
    if (i < end && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == end)
        return std::nullopt;
    qint64 number = 0;
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        // Past this every range is exceeded; stop growing but keep checking the digits.
        if (number < 100000000000LL)
            number = number * 10 + (c.unicode() - '0');
    }
    return negative ? -number : number;
}

qint64 convert(const QVariant& value, qint64 min, qint64 max) {
    const std::optional<qint64> number = wholeNumber(value);
    if (!number)
        Raise(13, QStringLiteral("Type mismatch"));
    if (*number < min || *number > max)
        Raise(6, QStringLiteral("Overflow"));
    return *number;
}

} // namespace

qint16 CInt(const QVariant& value) {
    return static_cast<qint16>(convert(value, -32768, 32767));
}

qint32 CLng(const QVariant& value) {
    return static_cast<qint32>(convert(value, -2147483647LL - 1, 2147483647LL));
}

quint8 CByte(const QVariant& value) {
    return static_cast<quint8>(convert(value, 0, 255));
}

} // namespace rt
