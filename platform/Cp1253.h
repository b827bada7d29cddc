#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

namespace rt::cp1253 {

// The Greek ANSI code page: every 8-bit file, request and reply of the program.
// Characters the page cannot hold become '?'; bytes it leaves undefined read as U+FFFD.
QByteArray fromUnicode(const QString& text);
QString toUnicode(const QByteArray& bytes);

bool canEncode(QChar c);
// The byte of a character the page holds, or -1.
int code(QChar c);
// The character of a byte, or U+FFFD for the undefined ones.
QChar character(unsigned char byte);

// Drops every character the page cannot hold (what the runtime's text boxes did).
QString keepEncodable(const QString& text);

} // namespace rt::cp1253
