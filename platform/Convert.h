#pragma once

#include <QVariant>
#include <QtGlobal>

namespace rt {

// The runtime's conversions to its Integer (16-bit), Long (32-bit) and Byte types, for
// whole numbers: a number, or a text of one (blanks around it and a sign allowed).
// Anything else raises error 13 "Type mismatch"; a number out of the type's range
// raises error 6 "Overflow".
qint16 CInt(const QVariant& value);
qint32 CLng(const QVariant& value);
quint8 CByte(const QVariant& value);

} // namespace rt
