#include "platform/Database.h"
#include "platform/DatabaseCreation.h"
#include "platform/DbDates.h"
#include "platform/Like.h"
#include "platform/Recordset.h"
#include "platform/Transaction.h"
#include "tests/support/MomentaryLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sqlite3.h>

using rt::Query;
using rt::RecordsetType;

Q_DECLARE_METATYPE(rt::RecordsetType)

namespace {

QString schemaSql() {
    QFile f(qEnvironmentVariable("VANTREL_SOURCE_DIR") + QStringLiteral("/db/schema.sql"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool createDatabase(const QString& path, const QString& sql) {
    return rt::createDatabaseFromSql(path, sql.toUtf8());
}

// What the user is told of the failures a user can meet.
const QString unfinished = QStringLiteral(
    "Η εργασία δεν ολοκληρώθηκε και η αλλαγή που βρισκόταν σε εξέλιξη δεν αποθηκεύτηκε.");
const QString inUse =
    QStringLiteral("Η βάση δεδομένων χρησιμοποιείται από άλλο πρόγραμμα.\n") + unfinished;
const QString readOnly = QStringLiteral("Η βάση δεδομένων δεν μπορεί να τροποποιηθεί, γιατί το "
                                        "αρχείο της ή ο φάκελός της επιτρέπει μόνο ανάγνωση.\n") +
                         unfinished;
const QString diskFull =
    QStringLiteral("Δεν υπάρχει ελεύθερος χώρος στον δίσκο για τη βάση δεδομένων.\n") + unfinished;
const QString ioError = QStringLiteral("Παρουσιάστηκε σφάλμα κατά την ανάγνωση ή την εγγραφή του "
                                       "αρχείου της βάσης δεδομένων.\n") +
                        unfinished;
const QString damaged =
    QStringLiteral("Το αρχείο της βάσης δεδομένων έχει καταστραφεί ή δεν είναι βάση δεδομένων.");
const QString cannotOpen =
    QStringLiteral("Το αρχείο της βάσης δεδομένων δεν βρέθηκε ή δεν μπορεί να ανοιχτεί.");

QStringList folderListing(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

class tst_database : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openFailsWithoutCreatingAFile_data();
    void openFailsWithoutCreatingAFile();
    void failuresAUserCanMeetAreToldInGreek_data();
    void failuresAUserCanMeetAreToldInGreek();
    void failuresOfTheFileAreToldInGreek_data();
    void failuresOfTheFileAreToldInGreek();
    void missingTableFailsAtFirstStatement();
    void executeReportsRowsAffected();
    void executeRejectsBadStatements_data();
    void executeRejectsBadStatements();
    void executeEachWritesEveryRowAndStopsAtAFailure_data();
    void executeEachWritesEveryRowAndStopsAtAFailure();

    void boundTextIsLiteral_data();
    void boundTextIsLiteral();
    void likeFoldsCaseButKeepsAccents_data();
    void likeFoldsCaseButKeepsAccents();
    void likeWithNullOrBadEscape();
    void greekCollation();

    void nullRoundTrip();
    void idsAreNeverReused();
    void transactionRollsBackUnlessCommitted();
    void nestedTransactionLeavesOuterAlone();
    void aMomentaryLockIsWaitedFor_data();
    void aMomentaryLockIsWaitedFor();
    void aLockHeldPastTheWaitFails();

    void snapshotKeepsItsRowsWhileTableChanges();
    void dynasetKeepsItsRowSetButReadsCurrentValues();
    void fieldNamesIgnoreLetterCase_data();
    void fieldNamesIgnoreLetterCase();
    void navigation_data();
    void navigation();
    void deleteThenMoveNext();
    void lastModifiedIsTheRowWritten();
    void snapshotIsReadOnly();
    void dynasetNeedsOneTableWithItsId_data();
    void dynasetNeedsOneTableWithItsId();
    void recordsetOutlivesItsDatabase();

    void shortDatesToDatabase_data();
    void shortDatesToDatabase();
    void shortTimesToDatabase_data();
    void shortTimesToDatabase();
    void datesBindAsIsoText();

private:
    void addMember(const QString& lastName);
    QStringList column(const Query& query);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    rt::Database m_db;
};

void tst_database::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const QString schema = schemaSql();
    QVERIFY2(!schema.isEmpty(), "db/schema.sql not found through VANTREL_SOURCE_DIR");
    m_path = m_dir->filePath(QStringLiteral("SMS.mdb"));
    QVERIFY(createDatabase(m_path, schema));
    const rt::DbResult r = m_db.open(m_path);
    QVERIFY2(r.ok, qPrintable(r.description));
}

void tst_database::cleanup() {
    m_db.close();
    m_dir.reset();
}

void tst_database::addMember(const QString& lastName) {
    const rt::DbResult r =
        m_db.execute({QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {lastName}});
    QVERIFY2(r.ok, qPrintable(r.description));
}

// The first column of every row, as text.
QStringList tst_database::column(const Query& query) {
    QStringList out;
    rt::Recordset rs = m_db.openRecordset(query, RecordsetType::Snapshot);
    if (!rs.isOpen()) {
        qWarning("%s", qPrintable(rs.status().description));
        return {QStringLiteral("<failed>")};
    }
    for (; !rs.eof(); rs.moveNext())
        out.append(rs.field(0).toString());
    return out;
}

// --- opening ---------------------------------------------------------------------

void tst_database::openFailsWithoutCreatingAFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file") << "missing" << SQLITE_CANTOPEN << cannotOpen;
    QTest::newRow("URI-looking name") << "uri" << SQLITE_CANTOPEN << cannotOpen;
    QTest::newRow("folder") << "folder" << SQLITE_CANTOPEN << cannotOpen;
    QTest::newRow("empty path") << "empty path" << SQLITE_CANTOPEN << cannotOpen;
    QTest::newRow("text file") << "text" << SQLITE_NOTADB << damaged;
    QTest::newRow("empty file") << "empty" << SQLITE_NOTADB << damaged;
}

void tst_database::openFailsWithoutCreatingAFile() {
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, text);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString cwd = QDir::currentPath();
    QString path = folder.filePath(QStringLiteral("SMS.mdb"));
    if (kind == u"uri") {
        // Relative on purpose: SQLite reads "file:" names as URIs, and mode=rwc creates.
        QVERIFY(QDir::setCurrent(folder.path()));
        path = QStringLiteral("file:SMS.mdb?mode=rwc");
    } else if (kind == u"folder") {
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("SMS.mdb")));
    } else if (kind == u"empty path") {
        QVERIFY(QDir::setCurrent(folder.path()));
        path.clear();
    } else if (kind == u"text" || kind == u"empty") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (kind == u"text")
            f.write(QByteArray("Last name,First name\r\n").repeated(40));
    }
    const QStringList before = folderListing(folder.path());

    rt::Database db;
    const rt::DbResult r = db.open(path);
    // The user is told which file it was (the start-up box).
    const QString named = path.isEmpty()
                              ? QString()
                              : QStringLiteral("\nΑρχείο: ") +
                                    QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QDir::setCurrent(cwd);

    QVERIFY(!r.ok);
    QCOMPARE(r.number, number);
    QCOMPARE(r.description, text + named);
    QVERIFY(!db.isOpen());
    QCOMPARE(folderListing(folder.path()), before);
    QVERIFY(!db.execute({QStringLiteral("SELECT 1"), {}}).ok);
}

void tst_database::failuresAUserCanMeetAreToldInGreek_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("busy") << SQLITE_BUSY << inUse;
    QTest::newRow("busy, extended") << SQLITE_BUSY_SNAPSHOT << inUse;
    QTest::newRow("locked") << SQLITE_LOCKED << inUse;
    QTest::newRow("locked, extended") << SQLITE_LOCKED_SHAREDCACHE << inUse;
    QTest::newRow("read-only") << SQLITE_READONLY << readOnly;
    QTest::newRow("read-only, extended") << SQLITE_READONLY_DBMOVED << readOnly;
    QTest::newRow("full") << SQLITE_FULL << diskFull;
    QTest::newRow("I/O error") << SQLITE_IOERR << ioError;
    QTest::newRow("I/O error, extended") << SQLITE_IOERR_WRITE << ioError;
    QTest::newRow("not a database") << SQLITE_NOTADB << damaged;
    QTest::newRow("damaged") << SQLITE_CORRUPT << damaged;
    QTest::newRow("damaged, extended") << SQLITE_CORRUPT_INDEX << damaged;
    QTest::newRow("cannot open") << SQLITE_CANTOPEN << cannotOpen;
    QTest::newRow("cannot open, extended") << SQLITE_CANTOPEN_ISDIR << cannotOpen;
    // Any other failure is a fault of the program's own statement: the engine's text.
    QTest::newRow("syntax") << SQLITE_ERROR << QString();
    QTest::newRow("constraint") << SQLITE_CONSTRAINT << QString();
    QTest::newRow("constraint, extended") << SQLITE_CONSTRAINT_UNIQUE << QString();
    QTest::newRow("out of memory") << SQLITE_NOMEM << QString();
}

void tst_database::failuresAUserCanMeetAreToldInGreek()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    const QString engine = QString::fromUtf8(sqlite3_errstr(code));
    const rt::DbResult r = rt::DbResult::fromSqlite(code, engine);
    QVERIFY(!r.ok);
    QCOMPARE(r.number, code);
    QCOMPARE(r.description, text.isNull() ? engine : text);
}

// The failures as the file gives them, each told the way the table says.
void tst_database::failuresOfTheFileAreToldInGreek_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("read-only") << "read-only" << SQLITE_READONLY << readOnly;
    QTest::newRow("disk full") << "full" << SQLITE_FULL << diskFull;
    QTest::newRow("damaged") << "damaged" << SQLITE_CORRUPT << damaged;
}

void tst_database::failuresOfTheFileAreToldInGreek()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, text);
    for (int i = 0; i < 20; ++i)
        addMember(QStringLiteral("member %1").arg(i));
    const Query insert{QStringLiteral("INSERT INTO members (LastName) VALUES (?)"),
                       {QString(20000, QLatin1Char('x'))}};
    rt::DbResult r;
    if (kind == u"read-only") {
        QVERIFY(m_db.execute({QStringLiteral("PRAGMA query_only = 1"), {}}).ok);
        r = m_db.execute(insert);
    } else if (kind == u"full") {
        // No page beyond those it has: the long name needs more.
        QVERIFY(m_db.execute({QStringLiteral("PRAGMA max_page_count = 1"), {}}).ok);
        r = m_db.execute(insert);
    } else {
        const QStringList root =
            column({QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = ?"),
                    {QStringLiteral("members")}});
        const QStringList pageSize = column({QStringLiteral("PRAGMA page_size"), {}});
        QCOMPARE(root.size(), 1);
        m_db.close();
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 size = pageSize.value(0).toLongLong();
        QVERIFY(file.seek((root.first().toLongLong() - 1) * size));
        QCOMPARE(file.write(QByteArray(size, '\xff')), size);
        file.close();
        QVERIFY(m_db.open(m_path).ok);
        r = m_db.openRecordset({QStringLiteral("SELECT * FROM members"), {}},
                               RecordsetType::Snapshot)
                .status();
    }
    QVERIFY(!r.ok);
    QCOMPARE(r.number, number);
    QCOMPARE(r.description, text);
}

void tst_database::missingTableFailsAtFirstStatement() {
    const QString path = m_dir->filePath(QStringLiteral("partial.mdb"));
    QVERIFY(createDatabase(path, QStringLiteral("CREATE TABLE groups (group_id INTEGER PRIMARY "
                                                "KEY AUTOINCREMENT, group_name TEXT);")));
    rt::Database db;
    QVERIFY(db.open(path).ok);

    const rt::DbResult r = db.execute({QStringLiteral("DELETE FROM members"), {}});
    QVERIFY(!r.ok);
    QCOMPARE(r.number, SQLITE_ERROR);
    QVERIFY2(r.description.contains(u"members"), qPrintable(r.description));

    const rt::Recordset rs =
        db.openRecordset({QStringLiteral("SELECT * FROM members"), {}}, RecordsetType::Snapshot);
    QVERIFY(!rs.isOpen());
    QVERIFY(rs.status().description.contains(u"members"));

    QVERIFY(db.execute({QStringLiteral("DELETE FROM groups"), {}}).ok);
}

// --- statements ------------------------------------------------------------------

void tst_database::executeReportsRowsAffected() {
    addMember(QStringLiteral("Α"));
    addMember(QStringLiteral("Β"));
    addMember(QStringLiteral("Γ"));
    const rt::DbResult r = m_db.execute(
        {QStringLiteral("UPDATE members SET FirstName = ? WHERE LastName <> ?"), {"x", "Β"}});
    QVERIFY(r.ok);
    QCOMPARE(r.rowsAffected, 2);
}

void tst_database::executeRejectsBadStatements_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<int>("number");
    QTest::newRow("syntax error") << "DELETE members" << QVariantList{} << SQLITE_ERROR;
    QTest::newRow("too few values") << "DELETE FROM members WHERE LastName = ? OR FirstName = ?"
                                    << QVariantList{"a"} << SQLITE_RANGE;
    QTest::newRow("too many values") << "DELETE FROM members" << QVariantList{"a"} << SQLITE_RANGE;
    QTest::newRow("second statement")
        << "DELETE FROM groups; DELETE FROM members" << QVariantList{} << SQLITE_MISUSE;
    QTest::newRow("no statement") << " -- nothing" << QVariantList{} << SQLITE_MISUSE;
    QTest::newRow("type without a column form")
        << "DELETE FROM members WHERE LastName = ?"
        << QVariantList{QDateTime(QDate(2024, 1, 1), QTime(0, 0))} << SQLITE_MISMATCH;
}

void tst_database::executeRejectsBadStatements() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, values);
    QFETCH(int, number);
    addMember(QStringLiteral("a"));

    const rt::DbResult r = m_db.execute({sql, values});
    QVERIFY(!r.ok);
    QCOMPARE(r.number, number);
    QVERIFY(!r.description.isEmpty());
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members"), {}}), QStringList{"a"});
}

void tst_database::executeEachWritesEveryRowAndStopsAtAFailure_data()
{
    QTest::addColumn<QVariantList>("rows");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<int>("number"); // 0: every row written
    QTest::addColumn<int>("affected");
    // Each row's values replace the last one's, a Null after a text included.
    QTest::newRow("every row with its own values")
        << QVariantList{QVariantList{1, "O'Brien", "Άννα"}, QVariantList{2, "Παπάς", QVariant()},
                        QVariantList{3, "x", ""}}
        << QStringList{"1|O'Brien|Άννα", "2|Παπάς|<null>", "3|x|"} << 0 << 3;
    QTest::newRow("no rows") << QVariantList{} << QStringList{} << 0 << 0;
    QTest::newRow("too few values stop at that row")
        << QVariantList{QVariantList{1, "a", "b"}, QVariantList{2, "c"}, QVariantList{3, "d", "e"}}
        << QStringList{"1|a|b"} << SQLITE_RANGE << 0;
    QTest::newRow("a refused row stops there")
        << QVariantList{QVariantList{1, "a", "b"}, QVariantList{1, "c", "d"},
                        QVariantList{3, "e", "f"}}
        << QStringList{"1|a|b"} << SQLITE_CONSTRAINT << 0;
}

void tst_database::executeEachWritesEveryRowAndStopsAtAFailure()
{
    QFETCH(QVariantList, rows);
    QFETCH(QStringList, stored);
    QFETCH(int, number);
    QFETCH(int, affected);

    qsizetype next = 0;
    const rt::DbResult r = m_db.executeEach(
        QStringLiteral("INSERT INTO members (member_id, LastName, FirstName) VALUES (?, ?, ?)"),
        [&](QVariantList& values) {
            if (next == rows.size())
                return false;
            values = rows.at(next++).toList();
            return true;
        });
    QCOMPARE(r.ok, number == 0);
    QCOMPARE(r.number, number);
    if (r.ok)
        QCOMPARE(r.rowsAffected, affected);
    QCOMPARE(column({QStringLiteral("SELECT member_id || '|' || ifnull(LastName, '<null>') || "
                                    "'|' || ifnull(FirstName, '<null>') FROM members ORDER BY "
                                    "member_id"),
                     {}}),
             stored);
}

// --- LIKE and collation ----------------------------------------------------------

void tst_database::boundTextIsLiteral_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("found");

    const QString equals = QStringLiteral("LastName = ?");
    const QString like = QStringLiteral("LastName LIKE ? ESCAPE '!'");
    QTest::newRow("apostrophe") << QStringList{"O'Brien", "OBrien"} << equals << "O'Brien"
                                << QStringList{"O'Brien"};
    QTest::newRow("statement-like text")
        << QStringList{"x'); DELETE FROM members; --", "y"} << equals
        << "x'); DELETE FROM members; --" << QStringList{"x'); DELETE FROM members; --"};
    QTest::newRow("percent") << QStringList{"50% off", "500 off", "50 off"} << like
                             << '%' + rt::escapeLike("50%") + '%' << QStringList{"50% off"};
    QTest::newRow("underscore") << QStringList{"a_c", "abc"} << like << rt::escapeLike("a_") + '%'
                                << QStringList{"a_c"};
    QTest::newRow("escape character")
        << QStringList{"hi!", "hi", "hi!!"} << like << rt::escapeLike("hi!") << QStringList{"hi!"};
    QTest::newRow("membership backslashes")
        << QStringList{"\\13\\", "\\3\\5\\", "\\5\\3\\"} << like
        << '%' + rt::escapeLike("\\3\\") + '%' << QStringList{"\\3\\5\\", "\\5\\3\\"};
    QTest::newRow("Greek prefix in other case")
        << QStringList{"Παπαδόπουλος", "Πετρόπουλος", "Καπάς"} << like
        << rt::escapeLike("ΠΑΠ") + '%' << QStringList{"Παπαδόπουλος"};
}

void tst_database::boundTextIsLiteral() {
    QFETCH(QStringList, stored);
    QFETCH(QString, sql);
    QFETCH(QString, value);
    QFETCH(QStringList, found);
    for (const QString& s : stored)
        addMember(s);

    QCOMPARE(column({"SELECT LastName FROM members WHERE " + sql + " ORDER BY member_id", {value}}),
             found);
    QCOMPARE(column({QStringLiteral("SELECT count(*) FROM members"), {}}),
             QStringList{QString::number(stored.size())});
}

void tst_database::likeFoldsCaseButKeepsAccents_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");
    QTest::newRow("Greek capitals") << "Παπαδόπουλος"
                                    << "ΠΑΠ%" << true;
    QTest::newRow("final sigma") << "ΠΑΠΑΔΌΠΟΥΛΟΣ"
                                 << "παπαδόπουλος" << true;
    QTest::newRow("accent counts") << "Παπαδόπουλος"
                                   << "ΠΑΠΑΔΟΠΟΥΛΟΣ" << false;
    QTest::newRow("one and any") << "Παπαδόπουλος"
                                 << "_απ%ς" << true;
    QTest::newRow("Latin") << "abc"
                           << "ABC" << true;
    QTest::newRow("longer text") << "abcd"
                                 << "abc" << false;
    QTest::newRow("back up after any") << "mississippi"
                                       << "%iss%ppi" << true;
    QTest::newRow("any then literal at end") << "aXbXc"
                                             << "%b%c" << true;
    QTest::newRow("too short for ones") << "ab"
                                        << "a__" << false;
    QTest::newRow("empty text, any") << ""
                                     << "%" << true;
    QTest::newRow("empty text, one") << ""
                                     << "_" << false;
    QTest::newRow("escaped percent") << "100%"
                                     << "100!%" << true;
    QTest::newRow("escaped percent is no wildcard") << "1000"
                                                    << "100!%" << false;
    QTest::newRow("escaped underscore") << "a_b"
                                        << "a!_b" << true;
    QTest::newRow("escaped underscore is no wildcard") << "axb"
                                                       << "a!_b" << false;
    QTest::newRow("escaped escape") << "a!"
                                    << "a!!" << true;
    QTest::newRow("escape at end") << "a"
                                   << "a!" << false;
}

void tst_database::likeFoldsCaseButKeepsAccents() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(column({QStringLiteral("SELECT ? LIKE ? ESCAPE '!'"), {text, pattern}}),
             QStringList{matches ? "1" : "0"});
    if (!pattern.contains(rt::likeEscapeChar))
        QCOMPARE(column({QStringLiteral("SELECT ? LIKE ?"), {text, pattern}}),
                 QStringList{matches ? "1" : "0"});
}

void tst_database::likeWithNullOrBadEscape() {
    rt::Recordset rs = m_db.openRecordset(
        {QStringLiteral("SELECT ? LIKE 'a', 'a' LIKE ?"), {QVariant(), QVariant()}},
        RecordsetType::Snapshot);
    QVERIFY(rs.isOpen());
    QVERIFY(!rs.field(0).isValid());
    QVERIFY(!rs.field(1).isValid());

    const rt::Recordset bad = m_db.openRecordset(
        {QStringLiteral("SELECT 'a' LIKE 'a' ESCAPE '!!'"), {}}, RecordsetType::Snapshot);
    QVERIFY(!bad.isOpen());
    QVERIFY(bad.status().description.contains(u"ESCAPE"));
}

void tst_database::greekCollation() {
    // Code-point order would put the accented capital first and the small letter last.
    for (const char* name : {"Ζαφειρίου", "αθανασίου", "Έλληνας", "ΓΕΩΡΓΊΟΥ", "Βλάχος"})
        addMember(QString::fromUtf8(name));
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members "
                                    "ORDER BY LastName COLLATE GREEK"),
                     {}}),
             (QStringList{"αθανασίου", "Βλάχος", "ΓΕΩΡΓΊΟΥ", "Έλληνας", "Ζαφειρίου"}));

    QCOMPARE(column({QStringLiteral("SELECT ? = ? COLLATE GREEK"), {"ΠΑΠΑΣ", "παπας"}}),
             QStringList{"1"});
    QCOMPARE(column({QStringLiteral("SELECT ? = ? COLLATE GREEK"), {"Παπάς", "Παπας"}}),
             QStringList{"0"});
}

// --- values, ids, transactions ---------------------------------------------------

void tst_database::nullRoundTrip() {
    QVERIFY(m_db.execute({QStringLiteral("INSERT INTO members (LastName, FirstName, Occupation) "
                                         "VALUES (?, ?, ?)"),
                          {"Α", QVariant(), ""}})
                .ok);
    rt::Recordset rs =
        m_db.openRecordset({QStringLiteral("SELECT * FROM members"), {}}, RecordsetType::Dynaset);
    QVERIFY(rs.isOpen());
    QVERIFY(!rs.field("FirstName").isValid());
    QVERIFY(rs.field("Occupation").isValid());
    QCOMPARE(rs.field("Occupation").toString(), QString());

    QVERIFY(rs.edit().ok);
    QVERIFY(rs.setField("Occupation", QVariant()));
    QVERIFY(rs.setField("FirstName", ""));
    QVERIFY(rs.update().ok);

    rs = m_db.openRecordset({QStringLiteral("SELECT * FROM members"), {}}, RecordsetType::Snapshot);
    QVERIFY(!rs.field("Occupation").isValid());
    QVERIFY(rs.field("FirstName").isValid());
    QCOMPARE(column({QStringLiteral("SELECT count(*) FROM members WHERE Occupation IS NULL"), {}}),
             QStringList{"1"});
}

void tst_database::idsAreNeverReused() {
    rt::Recordset rs =
        m_db.openRecordset({QStringLiteral("SELECT * FROM groups"), {}}, RecordsetType::Dynaset);
    QVERIFY(rs.isOpen());
    QList<qint64> ids;
    for (int i = 0; i < 3; ++i) {
        QVERIFY(rs.addNew().ok);
        QVERIFY(rs.setField("group_name", QString::number(i)));
        QVERIFY(rs.update().ok);
        ids.append(rs.lastModified());
    }
    QVERIFY(
        m_db.execute({QStringLiteral("DELETE FROM groups WHERE group_id = ?"), {ids.last()}}).ok);
    QVERIFY(rs.addNew().ok);
    QVERIFY(rs.update().ok);
    QVERIFY(rs.lastModified() > ids.last());
    ids.append(rs.lastModified());

    QVERIFY(m_db.execute({QStringLiteral("DELETE FROM groups"), {}}).ok);
    QVERIFY(m_db.execute({QStringLiteral("INSERT INTO groups (group_name) VALUES (?)"), {"n"}}).ok);
    QCOMPARE(column({QStringLiteral("SELECT group_id > ? FROM groups"), {ids.last()}}),
             QStringList{"1"});
}

void tst_database::transactionRollsBackUnlessCommitted() {
    addMember(QStringLiteral("before"));
    {
        rt::Transaction tx(m_db);
        QVERIFY(tx.status().ok);
        QVERIFY(m_db.execute({QStringLiteral("UPDATE members SET LastName = ?"), {"changed"}}).ok);
        rt::Recordset rs = m_db.openRecordset({QStringLiteral("SELECT * FROM groups"), {}},
                                              RecordsetType::Dynaset);
        QVERIFY(rs.addNew().ok);
        QVERIFY(rs.update().ok);
        // The failure that makes the caller give up before commit().
        QVERIFY(!m_db.execute({QStringLiteral("INSERT INTO no_such_table VALUES (?)"), {1}}).ok);
    }
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members"), {}}), QStringList{"before"});
    QCOMPARE(column({QStringLiteral("SELECT count(*) FROM groups"), {}}), QStringList{"0"});

    {
        rt::Transaction tx(m_db);
        QVERIFY(m_db.execute({QStringLiteral("UPDATE members SET LastName = ?"), {"kept"}}).ok);
        QVERIFY(tx.commit().ok);
        QVERIFY(!tx.isActive());
    }
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members"), {}}), QStringList{"kept"});
}

void tst_database::nestedTransactionLeavesOuterAlone() {
    rt::Transaction outer(m_db);
    QVERIFY(outer.status().ok);
    addMember(QStringLiteral("inside"));
    {
        rt::Transaction inner(m_db);
        QVERIFY(!inner.status().ok);
        QVERIFY(!inner.commit().ok);
    }
    QVERIFY(outer.isActive());
    QVERIFY(outer.commit().ok);
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members"), {}}), QStringList{"inside"});
}

using Hold = testsupport::MomentaryLock::Hold;
Q_DECLARE_METATYPE(Hold)

void tst_database::aMomentaryLockIsWaitedFor_data() {
    QTest::addColumn<Hold>("hold");
    QTest::addColumn<bool>("inTransaction");
    QTest::newRow("another writer, a transaction") << Hold::Write << true;
    QTest::newRow("another writer, one statement") << Hold::Write << false;
    // A backup copying the file lets the transaction begin and holds up its commit.
    QTest::newRow("a reader, a transaction") << Hold::Read << true;
}

void tst_database::aMomentaryLockIsWaitedFor() {
    QFETCH(Hold, hold);
    QFETCH(bool, inTransaction);
    testsupport::MomentaryLock lock(m_path, 1000, hold);
    QVERIFY(lock.isHeld());
    const Query insert{QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {"waited"}};
    if (inTransaction) {
        rt::Transaction tx(m_db);
        QVERIFY2(tx.status().ok, qPrintable(tx.status().description));
        QVERIFY(m_db.execute(insert).ok);
        const rt::DbResult committed = tx.commit();
        QVERIFY2(committed.ok, qPrintable(committed.description));
    } else {
        const rt::DbResult done = m_db.execute(insert);
        QVERIFY2(done.ok, qPrintable(done.description));
    }
    QVERIFY(lock.waits() > 0);
    QVERIFY(!lock.isHeld());
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members"), {}}), QStringList{"waited"});
}

void tst_database::aLockHeldPastTheWaitFails() {
    {
        testsupport::MomentaryLock lock(m_path, -1);
        QVERIFY(lock.isHeld());
        const rt::DbResult single =
            m_db.execute({QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {"lost"}});
        QVERIFY(!single.ok);
        QCOMPARE(single.number, SQLITE_BUSY);
        QCOMPARE(single.description, inUse);
        QVERIFY(lock.waits() > 0);
        QVERIFY(lock.isHeld());
    }
    QCOMPARE(column({QStringLiteral("SELECT count(*) FROM members"), {}}), QStringList{"0"});
}

// --- recordsets ------------------------------------------------------------------

void tst_database::snapshotKeepsItsRowsWhileTableChanges() {
    for (const char* name : {"one", "two", "three"})
        addMember(QString::fromLatin1(name));
    rt::Recordset rs = m_db.openRecordset(
        {QStringLiteral("SELECT * FROM members ORDER BY member_id"), {}}, RecordsetType::Snapshot);
    QVERIFY(rs.isOpen());

    rt::Database other;
    QVERIFY(other.open(m_path).ok);
    QVERIFY(other
                .execute({QStringLiteral("UPDATE members SET LastName = ? WHERE LastName = ?"),
                          {"TWO", "two"}})
                .ok);
    QVERIFY(
        other.execute({QStringLiteral("DELETE FROM members WHERE LastName = ?"), {"three"}}).ok);
    QVERIFY(
        other.execute({QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {"four"}}).ok);

    QCOMPARE(rs.recordCount(), 3);
    QStringList seen;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        seen.append(rs.field("LastName").toString());
    QCOMPARE(seen, (QStringList{"one", "two", "three"}));
}

void tst_database::dynasetKeepsItsRowSetButReadsCurrentValues() {
    for (const char* name : {"one", "two", "three"})
        addMember(QString::fromLatin1(name));
    rt::Recordset rs = m_db.openRecordset(
        {QStringLiteral("SELECT * FROM members ORDER BY member_id"), {}}, RecordsetType::Dynaset);
    QVERIFY(rs.isOpen());

    rt::Database other;
    QVERIFY(other.open(m_path).ok);
    QVERIFY(other
                .execute({QStringLiteral("UPDATE members SET LastName = ? WHERE LastName = ?"),
                          {"TWO", "two"}})
                .ok);
    QVERIFY(
        other.execute({QStringLiteral("DELETE FROM members WHERE LastName = ?"), {"three"}}).ok);
    QVERIFY(
        other.execute({QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {"four"}}).ok);

    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(rs.field("LastName").toString(), QStringLiteral("one"));
    rs.moveNext();
    QCOMPARE(rs.field("LastName").toString(), QStringLiteral("TWO"));
    rs.moveNext();
    QVERIFY(!rs.field("LastName").isValid());
    const rt::DbResult r = rs.edit();
    QVERIFY(!r.ok);
    QCOMPARE(r.number, SQLITE_NOTFOUND);
    QVERIFY(!rs.deleteCurrent().ok);
    rs.moveNext();
    QVERIFY(rs.eof());
}

void tst_database::fieldNamesIgnoreLetterCase_data() {
    QTest::addColumn<RecordsetType>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("snapshot, as declared") << RecordsetType::Snapshot << "LastName";
    QTest::newRow("snapshot, lower case") << RecordsetType::Snapshot << "lastname";
    QTest::newRow("dynaset, upper case") << RecordsetType::Dynaset << "LASTNAME";
    QTest::newRow("dynaset, mixed") << RecordsetType::Dynaset << "lAsTnAmE";
}

void tst_database::fieldNamesIgnoreLetterCase() {
    QFETCH(RecordsetType, type);
    QFETCH(QString, name);
    addMember(QStringLiteral("Παπαδόπουλος"));
    rt::Recordset rs = m_db.openRecordset({QStringLiteral("SELECT * FROM members"), {}}, type);
    QVERIFY(rs.isOpen());
    QCOMPARE(rs.field(name).toString(), QStringLiteral("Παπαδόπουλος"));
    QCOMPARE(rs.fieldIndex(name), rs.fieldIndex(QStringLiteral("LastName")));
    QCOMPARE(rs.fieldIndex(QStringLiteral("Last_Name")), -1);
    QVERIFY(!rs.field(QStringLiteral("Last_Name")).isValid());
}

void tst_database::navigation_data() {
    QTest::addColumn<RecordsetType>("type");
    QTest::newRow("snapshot") << RecordsetType::Snapshot;
    QTest::newRow("dynaset") << RecordsetType::Dynaset;
}

void tst_database::navigation() {
    QFETCH(RecordsetType, type);
    rt::Recordset empty = m_db.openRecordset({QStringLiteral("SELECT * FROM members"), {}}, type);
    QVERIFY(empty.isOpen());
    QCOMPARE(empty.recordCount(), 0);
    QVERIFY(empty.bof() && empty.eof());
    QCOMPARE(empty.absolutePosition(), -1);
    empty.moveLast();
    QVERIFY(empty.bof() && empty.eof());

    for (const char* name : {"a", "b", "c"})
        addMember(QString::fromLatin1(name));
    rt::Recordset rs = m_db.openRecordset(
        {QStringLiteral("SELECT LastName, member_id FROM members ORDER BY LastName DESC"), {}},
        type);
    QVERIFY(rs.isOpen());
    QCOMPARE(rs.recordCount(), 3);
    QVERIFY(!rs.bof() && !rs.eof());
    QCOMPARE(rs.absolutePosition(), 0);
    QCOMPARE(rs.field(0).toString(), QStringLiteral("c"));

    rs.movePrevious();
    QVERIFY(rs.bof() && !rs.eof());
    QCOMPARE(rs.absolutePosition(), -1);
    QVERIFY(!rs.field(0).isValid());
    rs.moveNext();
    QCOMPARE(rs.field(0).toString(), QStringLiteral("c"));

    rs.moveLast();
    QCOMPARE(rs.absolutePosition(), 2);
    QCOMPARE(rs.field(0).toString(), QStringLiteral("a"));
    rs.movePrevious();
    QCOMPARE(rs.field(0).toString(), QStringLiteral("b"));
    rs.moveNext();
    rs.moveNext();
    QVERIFY(rs.eof() && !rs.bof());
    QCOMPARE(rs.absolutePosition(), -1);
    rs.moveNext();
    QVERIFY(rs.eof());
    rs.movePrevious();
    QCOMPARE(rs.field(0).toString(), QStringLiteral("a"));
}

void tst_database::deleteThenMoveNext() {
    for (const char* name : {"a", "b", "c"})
        addMember(QString::fromLatin1(name));
    rt::Recordset rs = m_db.openRecordset(
        {QStringLiteral("SELECT * FROM members ORDER BY LastName"), {}}, RecordsetType::Dynaset);
    rs.moveNext();
    QVERIFY(rs.deleteCurrent().ok);
    QVERIFY(!rs.field("LastName").isValid());
    QVERIFY(!rs.eof());
    rs.moveNext();
    QCOMPARE(rs.field("LastName").toString(), QStringLiteral("c"));
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(rs.absolutePosition(), 1);

    QVERIFY(rs.deleteCurrent().ok);
    rs.moveNext();
    QVERIFY(rs.eof());
    rs.movePrevious();
    QCOMPARE(rs.field("LastName").toString(), QStringLiteral("a"));
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members"), {}}), QStringList{"a"});
}

void tst_database::lastModifiedIsTheRowWritten() {
    rt::Recordset rs = m_db.openRecordset(
        {QStringLiteral("SELECT * FROM groups WHERE group_id = ?"), {0}}, RecordsetType::Dynaset);
    QVERIFY(rs.isOpen());
    QCOMPARE(rs.lastModified(), 0);
    QVERIFY(!rs.update().ok);

    QVERIFY(rs.addNew().ok);
    QVERIFY(rs.setField("Group_Name", "Φίλοι"));
    QVERIFY(rs.setField("subgroup_of", 0));
    QVERIFY(!rs.setField("group_id", 99));
    QCOMPARE(rs.field("group_name").toString(), QStringLiteral("Φίλοι"));
    QVERIFY(rs.update().ok);
    const qint64 first = rs.lastModified();
    QCOMPARE(
        column({QStringLiteral("SELECT group_id FROM groups WHERE group_name = ?"), {"Φίλοι"}}),
        QStringList{QString::number(first)});
    QCOMPARE(rs.recordCount(), 1);

    QVERIFY(rs.addNew().ok);
    QVERIFY(rs.setField("group_name", "Συνάδελφοι"));
    QVERIFY(rs.setField("subgroup_of", first));
    QVERIFY(rs.update().ok);
    const qint64 second = rs.lastModified();
    QVERIFY(second != first);
    QCOMPARE(column({QStringLiteral("SELECT group_name FROM groups WHERE group_id = ?"), {second}}),
             QStringList{"Συνάδελφοι"});

    rt::Recordset edit =
        m_db.openRecordset({QStringLiteral("SELECT * FROM groups WHERE group_id = ?"), {first}},
                           RecordsetType::Dynaset);
    QCOMPARE(edit.recordCount(), 1);
    QVERIFY(edit.edit().ok);
    QVERIFY(edit.setField("group_name", "Οικογένεια"));
    QVERIFY(edit.update().ok);
    QCOMPARE(edit.lastModified(), first);
    QCOMPARE(edit.field("group_name").toString(), QStringLiteral("Οικογένεια"));
    QCOMPARE(column({QStringLiteral("SELECT group_name FROM groups ORDER BY group_id"), {}}),
             (QStringList{"Οικογένεια", "Συνάδελφοι"}));
}

void tst_database::snapshotIsReadOnly() {
    addMember(QStringLiteral("a"));
    rt::Recordset rs =
        m_db.openRecordset({QStringLiteral("SELECT * FROM members"), {}}, RecordsetType::Snapshot);
    QCOMPARE(rs.addNew().number, SQLITE_READONLY);
    QCOMPARE(rs.edit().number, SQLITE_READONLY);
    QCOMPARE(rs.deleteCurrent().number, SQLITE_READONLY);
    QVERIFY(!rs.setField("LastName", "b"));
    QCOMPARE(column({QStringLiteral("SELECT LastName FROM members"), {}}), QStringList{"a"});
}

void tst_database::dynasetNeedsOneTableWithItsId_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("opens");
    QTest::newRow("all columns") << "SELECT * FROM members" << true;
    QTest::newRow("id in other case") << "SELECT LastName, MEMBER_ID FROM Members" << true;
    QTest::newRow("without the id") << "SELECT LastName FROM members" << false;
    QTest::newRow("expression") << "SELECT member_id, upper(LastName) FROM members" << false;
    QTest::newRow("two tables") << "SELECT member_id, group_id FROM members, groups" << false;
}

void tst_database::dynasetNeedsOneTableWithItsId() {
    QFETCH(QString, sql);
    QFETCH(bool, opens);
    const rt::Recordset rs = m_db.openRecordset({sql, {}}, RecordsetType::Dynaset);
    QCOMPARE(rs.isOpen(), opens);
    QCOMPARE(rs.status().ok, opens);
    if (!opens)
        QVERIFY(!rs.status().description.isEmpty());
}

void tst_database::recordsetOutlivesItsDatabase() {
    addMember(QStringLiteral("a"));
    addMember(QStringLiteral("b"));
    rt::Recordset rs =
        m_db.openRecordset({QStringLiteral("SELECT * FROM members"), {}}, RecordsetType::Dynaset);
    QVERIFY(rs.isOpen());
    m_db.close();
    rs.moveNext();
    QVERIFY(!rs.field("LastName").isValid());
    QVERIFY(!rs.edit().ok);
    QVERIFY(!rs.addNew().ok);
    QVERIFY(!rs.deleteCurrent().ok);
}

// --- dates and times -------------------------------------------------------------

void tst_database::shortDatesToDatabase_data() {
    QTest::addColumn<QString>("shortDate");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("date") << "05/03/2024" << QVariant("2024-03-05");
    QTest::newRow("leap day") << "29/02/2024" << QVariant("2024-02-29");
    QTest::newRow("empty") << "" << QVariant();
    QTest::newRow("no such day") << "31/02/2024" << QVariant();
    QTest::newRow("month first") << "03/25/2024" << QVariant();
    QTest::newRow("already ISO") << "2024-03-05" << QVariant();
}

void tst_database::shortDatesToDatabase() {
    QFETCH(QString, shortDate);
    QFETCH(QVariant, stored);
    const QVariant v = rt::dbDateFromShort(shortDate);
    QCOMPARE(v, stored);
    QCOMPARE(v.isValid(), stored.isValid());
    QCOMPARE(rt::shortDateFromDb(v), stored.isValid() ? shortDate : QString());
    QCOMPARE(rt::dbDate(rt::dateFromDb(v)), v);
}

void tst_database::shortTimesToDatabase_data() {
    QTest::addColumn<QString>("shortTime");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("morning") << "09:05" << QVariant("09:05");
    QTest::newRow("last minute") << "23:59" << QVariant("23:59");
    QTest::newRow("empty") << "" << QVariant();
    QTest::newRow("no such hour") << "24:00" << QVariant();
    QTest::newRow("text") << "noon" << QVariant();
}

void tst_database::shortTimesToDatabase() {
    QFETCH(QString, shortTime);
    QFETCH(QVariant, stored);
    const QVariant v = rt::dbTimeFromShort(shortTime);
    QCOMPARE(v, stored);
    QCOMPARE(v.isValid(), stored.isValid());
    QCOMPARE(rt::shortTimeFromDb(v), stored.isValid() ? shortTime : QString());
    QCOMPARE(rt::dbTime(rt::timeFromDb(v)), v);
}

void tst_database::datesBindAsIsoText() {
    QVERIFY(m_db.execute({QStringLiteral("INSERT INTO saved_messages (msg_datecreated, "
                                         "msg_timecreated, msg_flash) VALUES (?, ?, ?)"),
                          {QDate(2024, 3, 5), QTime(14, 7, 59), true}})
                .ok);
    rt::Recordset rs = m_db.openRecordset(
        {QStringLiteral("SELECT msg_datecreated, msg_timecreated, msg_flash FROM saved_messages"),
         {}},
        RecordsetType::Snapshot);
    QCOMPARE(rs.field(0), QVariant("2024-03-05"));
    QCOMPARE(rs.field(1), QVariant("14:07"));
    QCOMPARE(rs.field(2), QVariant(1LL));
    QCOMPARE(rt::dateFromDb(rs.field(0)), QDate(2024, 3, 5));
    QCOMPARE(rt::shortTimeFromDb(rs.field(1)), QStringLiteral("14:07"));
    QCOMPARE(rt::shortDateFromDb(QVariant()), QString());
}

QTEST_GUILESS_MAIN(tst_database)
#include "tst_database.moc"
