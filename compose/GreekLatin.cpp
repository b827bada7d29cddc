#include "compose/GreekLatin.h"

QString MapGreekToLatin(const QString& text)
{
    static const QString greek = QStringLiteral("ΑΒΕΖΗΙΚΜΝΟΡΤΥΧ");
    static const QString latin = QStringLiteral("ABEZHIKMNOPTYX");
    QString out = text;
    for (QChar& c : out) {
        const qsizetype at = greek.indexOf(c);
        if (at >= 0)
            c = latin.at(at);
    }
    return out;
}
