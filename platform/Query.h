#pragma once

#include <QString>
#include <QVariantList>

namespace rt {

// One SQL statement with its values, bound in order to the statement's `?` markers.
// User text travels only in `values`, never inside `sql`, so an apostrophe or a wildcard
// in a name is just a character. Statements are built and handed around as Query objects
// (e.g. a member list's source) so the values stay with the text that needs them.
//
//     rt::Query q{"SELECT * FROM members WHERE LastName LIKE ? ESCAPE '!'",
//                 {rt::escapeLike(typed) + "%"}};
//
// An invalid QVariant binds SQL NULL; bool binds 0/1; integers, doubles, QString and
// QByteArray bind as themselves; QDate and QTime bind through the date helpers of
// DbDates.h (ISO text). Any other type fails the statement.
struct Query {
    QString sql;
    QVariantList values;
};

} // namespace rt
