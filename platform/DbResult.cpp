#include "platform/DbResult.h"

#include <sqlite3.h>

namespace rt {

namespace {

// The failures a user can meet, as the user is told of them. Each is keyed by SQLite's
// primary result code; an extended code (SQLITE_IOERR_WRITE, SQLITE_BUSY_SNAPSHOT ...)
// carries its primary code in its low byte. A statement that fails changes nothing, while
// a task of several steps may have saved the steps before it, so the texts speak of the
// change that was under way.
QString userText(int code)
{
    static const QString unfinished =
        QStringLiteral("Η εργασία δεν ολοκληρώθηκε και η αλλαγή που βρισκόταν σε εξέλιξη "
                       "δεν αποθηκεύτηκε.");
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Η βάση δεδομένων χρησιμοποιείται από άλλο πρόγραμμα.\n") +
               unfinished;
    case SQLITE_READONLY:
        return QStringLiteral("Η βάση δεδομένων δεν μπορεί να τροποποιηθεί, γιατί το αρχείο "
                              "της ή ο φάκελός της επιτρέπει μόνο ανάγνωση.\n") +
               unfinished;
    case SQLITE_FULL:
        return QStringLiteral("Δεν υπάρχει ελεύθερος χώρος στον δίσκο για τη βάση "
                              "δεδομένων.\n") +
               unfinished;
    case SQLITE_IOERR:
        return QStringLiteral("Παρουσιάστηκε σφάλμα κατά την ανάγνωση ή την εγγραφή του "
                              "αρχείου της βάσης δεδομένων.\n") +
               unfinished;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return QStringLiteral("Το αρχείο της βάσης δεδομένων έχει καταστραφεί ή δεν είναι "
                              "βάση δεδομένων.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Το αρχείο της βάσης δεδομένων δεν βρέθηκε ή δεν μπορεί να "
                              "ανοιχτεί.");
    default:
        return QString();
    }
}

} // namespace

DbResult DbResult::fromSqlite(int code, const QString& engineText)
{
    const QString text = userText(code);
    return failure(code, text.isNull() ? engineText : text);
}

} // namespace rt
