#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

// The one place where dates and times change form between the screen and the database.
// The program shows the pinned short forms "dd/MM/yyyy" and "HH:mm"; the database holds
// ISO text "yyyy-MM-dd" and "HH:mm", which sorts and compares correctly as text.
// Null (an invalid QVariant) stands for "no date" on the database side and the empty
// text on the screen side.
namespace rt {

// "05/03/2024" -> "2024-03-05" (read as rt::ParseShortDate reads); empty or not a
// valid date -> Null.
QVariant dbDateFromShort(const QString& shortDate);
// A valid date -> its ISO text; an invalid date -> Null.
QVariant dbDate(const QDate& date);
// ISO text -> "05/03/2024"; Null -> ""; any other stored text is returned as it stands.
QString shortDateFromDb(const QVariant& value);
// ISO text -> the date; Null or anything else -> an invalid QDate.
QDate dateFromDb(const QVariant& value);

// "09:05" -> "09:05" (read as rt::ParseShortTime reads); empty or not a valid time
// -> Null.
QVariant dbTimeFromShort(const QString& shortTime);
// A valid time -> "HH:mm" (seconds dropped); an invalid time -> Null.
QVariant dbTime(const QTime& time);
// Stored "HH:mm" (or "HH:mm:ss") -> "HH:mm"; Null -> ""; other text as it stands.
QString shortTimeFromDb(const QVariant& value);
// Stored "HH:mm" (or "HH:mm:ss") -> the time; Null or anything else -> an invalid QTime.
QTime timeFromDb(const QVariant& value);

} // namespace rt
