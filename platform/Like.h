#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace rt {

// The ESCAPE character of every LIKE pattern that holds user text. It is not "\"
// because membership lists ("\3\12\") are themselves matched with LIKE.
//     "... WHERE LastName LIKE ? ESCAPE '!'"
inline constexpr QChar likeEscapeChar = u'!';

// `userText` with the LIKE wildcards `%`, `_` and the escape character itself escaped
// by likeEscapeChar, so that it matches literally inside a pattern that uses
// `ESCAPE '!'`. Add the wildcards you mean around it: escapeLike(typed) + "%".
QString escapeLike(const QString& userText);

// The LIKE of every connection: `%` any run of characters, `_` one character, letters
// compared through Unicode case folding (so "ΠΑΠ%" matches "Παπαδόπουλος", final sigma
// included) while accents still count, as the old engine compared. `escape` is the
// escape character's code point, 0 for none; an escape at the very end of the pattern
// matches nothing.
bool likeMatch(QStringView pattern, QStringView text, char32_t escape = 0);

} // namespace rt
