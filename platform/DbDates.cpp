#include "platform/DbDates.h"

namespace rt {

namespace {

const QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
const QString shortTimeFormat = QStringLiteral("HH:mm");
const QString isoDateFormat = QStringLiteral("yyyy-MM-dd");
const QString isoTimeFormat = QStringLiteral("HH:mm");
const QString isoTimeSecondsFormat = QStringLiteral("HH:mm:ss");

bool isNull(const QVariant& value) { return !value.isValid() || value.isNull(); }

QTime parseStoredTime(const QString& text) {
    QTime t = QTime::fromString(text, isoTimeFormat);
    if (!t.isValid())
        t = QTime::fromString(text, isoTimeSecondsFormat);
    return t;
}

} // namespace

QVariant dbDateFromShort(const QString& shortDate) {
    return dbDate(QDate::fromString(shortDate.trimmed(), shortDateFormat));
}

QVariant dbDate(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(isoDateFormat)) : QVariant();
}

QString shortDateFromDb(const QVariant& value) {
    if (isNull(value))
        return QString();
    const QString text = value.toString();
    const QDate d = QDate::fromString(text, isoDateFormat);
    return d.isValid() ? d.toString(shortDateFormat) : text;
}

QDate dateFromDb(const QVariant& value) {
    return isNull(value) ? QDate() : QDate::fromString(value.toString(), isoDateFormat);
}

QVariant dbTimeFromShort(const QString& shortTime) {
    return dbTime(QTime::fromString(shortTime.trimmed(), shortTimeFormat));
}

QVariant dbTime(const QTime& time) {
    return time.isValid() ? QVariant(time.toString(isoTimeFormat)) : QVariant();
}

QString shortTimeFromDb(const QVariant& value) {
    if (isNull(value))
        return QString();
    const QString text = value.toString();
    const QTime t = parseStoredTime(text);
    return t.isValid() ? t.toString(shortTimeFormat) : text;
}

QTime timeFromDb(const QVariant& value) {
    return isNull(value) ? QTime() : parseStoredTime(value.toString());
}

} // namespace rt
