#include "platform/Cp1253.h"

#include <array>

namespace rt::cp1253 {

namespace {

constexpr char16_t undefined = 0xFFFD;

// 0x80 to 0xBF; 0xC0 to 0xFE are U+0390 to U+03CE but for 0xD2, and 0xFF is undefined.
constexpr std::array<char16_t, 64> high = {
    0x20AC, undefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    undefined, 0x2030, undefined, 0x2039, undefined, undefined, undefined, undefined,
    undefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    undefined, 0x2122, undefined, 0x203A, undefined, undefined, undefined, undefined,
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, undefined, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,
};

} // namespace

QChar character(unsigned char byte)
{
    if (byte < 0x80)
        return QChar(byte);
    if (byte < 0xC0)
        return QChar(high[byte - 0x80]);
    if (byte == 0xD2 || byte == 0xFF)
        return QChar(undefined);
    return QChar(static_cast<char16_t>(byte + 0x2D0));
}

int code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u;
    if (u >= 0x0390 && u <= 0x03CE && u != 0x03A2)
        return u - 0x2D0;
    for (int i = 0; i < 64; ++i) {
        if (high[i] == u && u != undefined)
            return 0x80 + i;
    }
    return -1;
}

bool canEncode(QChar c) { return code(c) >= 0; }

QByteArray fromUnicode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const int b = code(c);
        out.append(b >= 0 ? static_cast<char>(b) : '?');
    }
    return out;
}

QString toUnicode(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes)
        out.append(character(static_cast<unsigned char>(b)));
    return out;
}

QString keepEncodable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (canEncode(c))
            out.append(c);
    }
    return out;
}

} // namespace rt::cp1253
