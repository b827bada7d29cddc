#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

namespace rt {

// The runtime's regional formats, pinned: the toolkit's Greek locale differs from what
// the program was written for.
QString ShortDate(const QDate& date);          // dd/MM/yyyy
QString ShortTime(const QTime& time);          // HH:mm, 24-hour
std::optional<QDate> ParseShortDate(const QString& text);
std::optional<QTime> ParseShortTime(const QString& text);

// A single-precision number as the runtime prints it: decimal comma, no grouping, at
// most 7 significant digits (3723.5 gives "3723,5").
QString SingleText(float value);

// The runtime's Format with a date code: "dd/mm/yyyy", "yyyy.mm.dd.h.m", "hh:nn" ...
// m and mm are the month, or the minute when they follow h or hh.
QString Format(const QDateTime& value, const QString& code);

// Day numbers counted from 1899-12-30 (2023-03-15 is 45000).
int DateSerialNumber(const QDate& date);
QDate DateFromSerialNumber(int serial);

} // namespace rt
