#include "platform/Like.h"

#include <QList>

namespace rt {

QString escapeLike(const QString& userText) {
    QString out;
    out.reserve(userText.size() + 8);
    for (const QChar c : userText) {
        if (c == u'%' || c == u'_' || c == likeEscapeChar)
            out += likeEscapeChar;
        out += c;
    }
    return out;
}

namespace {

struct Token {
    enum Kind { Literal, One, Any } kind;
    char32_t ch;
};

// Folds per code point (simple folding) so that pattern and text fold alike and
// positions of the two never drift apart.
char32_t fold(char32_t c) {
    return QChar::toCaseFolded(c);
}

} // namespace

bool likeMatch(QStringView pattern, QStringView text, char32_t escape) {
    const QList<uint> p = pattern.toUcs4();
    QList<char32_t> s;
    s.reserve(text.size());
    for (const uint c : text.toUcs4())
        s.append(fold(c));

    QList<Token> t;
    t.reserve(p.size());
    for (qsizetype i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (escape != 0 && c == escape) {
            if (++i == p.size())
                return false;
            t.append({Token::Literal, fold(p[i])});
        } else if (c == U'%') {
            if (t.isEmpty() || t.last().kind != Token::Any)
                t.append({Token::Any, 0});
        } else if (c == U'_') {
            t.append({Token::One, 0});
        } else {
            t.append({Token::Literal, fold(c)});
        }
    }

    // Greedy match that backs up to the last `%` only: enough because `%` is the sole
    // variable-length token, and it keeps long texts linear in the common cases.
    qsizetype i = 0, j = 0, star = -1, mark = 0;
    while (i < s.size()) {
        if (j < t.size() &&
            (t[j].kind == Token::One || (t[j].kind == Token::Literal && t[j].ch == s[i]))) {
            ++i;
            ++j;
        } else if (j < t.size() && t[j].kind == Token::Any) {
            star = j++;
            mark = i;
        } else if (star >= 0) {
            j = star + 1;
            i = ++mark;
        } else {
            return false;
        }
    }
    while (j < t.size() && t[j].kind == Token::Any)
        ++j;
    return j == t.size();
}

} // namespace rt
