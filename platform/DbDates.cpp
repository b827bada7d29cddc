#include "platform/DbDates.h"

#include "platform/Formats.h"

namespace rt {

namespace {

const QString isoDateFormat = QStringLiteral("yyyy-MM-dd");
const QString isoTimeFormat = QStringLiteral("HH:mm");
const QString isoTimeSecondsFormat = QStringLiteral("HH:mm:ss");

bool isNull(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

QTime parseStoredTime(const QString& text) {
    QTime t = QTime::fromString(text, isoTimeFormat);
    if (!t.isValid())
        t = QTime::fromString(text, isoTimeSecondsFormat);
    return t;
}

} // namespace

QVariant dbDateFromShort(const QString& shortDate) {
    return dbDate(ParseShortDate(shortDate).value_or(QDate()));
}

QVariant dbDate(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(isoDateFormat)) : QVariant();
}

QString shortDateFromDb(const QVariant& value) {
    if (isNull(value))
        return QString();
    const QString text = value.toString();
    const QDate d = QDate::fromString(text, isoDateFormat);
    return d.isValid() ? ShortDate(d) : text;
}

QDate dateFromDb(const QVariant& value) {
    return isNull(value) ? QDate() : QDate::fromString(value.toString(), isoDateFormat);
}

QVariant dbTimeFromShort(const QString& shortTime) {
    return dbTime(ParseShortTime(shortTime).value_or(QTime()));
}

QVariant dbTime(const QTime& time) {
    return time.isValid() ? QVariant(time.toString(isoTimeFormat)) : QVariant();
}

QString shortTimeFromDb(const QVariant& value) {
    if (isNull(value))
        return QString();
    const QString text = value.toString();
    const QTime t = parseStoredTime(text);
    return t.isValid() ? ShortTime(t) : text;
}

QTime timeFromDb(const QVariant& value) {
    return isNull(value) ? QTime() : parseStoredTime(value.toString());
}

} // namespace rt
