#include "app/cipher.h"

#include "platform/ClassicRandom.h"
#include "platform/Cp1253.h"

namespace {
constexpr int base = 59; // ";"
}

void cipher::setKeyString(const QString& strKey) {
    m_key = rt::cp1253::fromUnicode(strKey);
    SeedFromKey();
}

void cipher::SeedFromKey() {
    // The roundings are part of the sequence: each product is a single before it is
    // passed on, and each reseed takes a single widened to a double.
    rt::Randomize(static_cast<double>(rt::Rnd(-1.0f)));
    for (const char ch : m_key) {
        const auto a = static_cast<float>(static_cast<unsigned char>(ch));
        const float r = rt::Rnd();
        const float x = (-r) * a;
        rt::Randomize(static_cast<double>(rt::Rnd(x)));
    }
}

void cipher::DoXor() {
    for (char& ch : m_text) {
        const int k = static_cast<int>(rt::Rnd() * 256.0f);
        ch = static_cast<char>(static_cast<unsigned char>(ch) ^ k);
    }
}

void cipher::Stretch() {
    const qsizetype n = m_text.size();
    QByteArray out;
    out.reserve(n + (n + 2) / 3);
    int g = 0;
    for (qsizetype i = 1; i <= n; ++i) {
        const int b = static_cast<unsigned char>(m_text.at(i - 1));
        out.append(static_cast<char>((b & 63) + base));
        const int top = b / 64;
        switch (i % 3) {
        case 1:
            g += top << 4;
            break;
        case 2:
            g += top << 2;
            break;
        default:
            g += top;
            out.append(static_cast<char>(g + base));
            g = 0;
            break;
        }
    }
    if (n % 3 != 0)
        out.append(static_cast<char>(g + base));
    m_text = out;
}

void cipher::Shrink() {
    const qsizetype L = m_text.size();
    const qsizetype n = (L - 1) - ((L - 1) / 4);
    if (n <= 0) {
        m_text.clear();
        return;
    }
    // Positions a foreign text cannot fill stay blank.
    QByteArray out(n, ' ');
    auto code = [&](qsizetype pos) -> int {
        return pos >= 1 && pos <= L ? static_cast<unsigned char>(m_text.at(pos - 1)) : -1;
    };
    qsizetype j = 0;
    qsizetype p = 0;
    int hi = 0;
    for (qsizetype i = 1; i <= n; ++i) {
        ++j;
        const int loCode = code(j);
        int top = 0;
        switch (i % 3) {
        case 1: {
            p = qMin(p + 4, L);
            hi = code(p) - base;
            top = ((hi / 16) & 3) * 64;
            break;
        }
        case 2:
            top = ((hi / 4) & 3) * 64;
            break;
        default:
            top = (hi & 3) * 64;
            ++j;
            break;
        }
        if (loCode < 0)
            continue;
        const int lo = loCode - base;
        if (lo < 0)
            continue;
        out[i - 1] = static_cast<char>(lo | top);
    }
    m_text = out;
}
