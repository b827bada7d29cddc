#include "app/mdlDataBase.h"
#include "platform/Form.h"
#include "platform/Query.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/Seams.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
class frmSplash : public rt::Form {
public:
    frmSplash() : rt::Form(QStringLiteral("frmSplash")) {}
};
} // namespace

class tst_database_module : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        rt::Forms::discardAll();
        mdlDataBase::MainDatabase().close();
    }

    void nullHelpers()
    {
        QCOMPARE(mdlDataBase::NullToEmpty(QVariant()), QVariant(QString()));
        QCOMPARE(mdlDataBase::NullToEmpty(QString()), QVariant(QString()));
        QCOMPARE(mdlDataBase::NullToEmpty(0), QVariant(0));
        QCOMPARE(mdlDataBase::NullToEmpty(QStringLiteral("x")), QVariant(QStringLiteral("x")));
        QVERIFY(!mdlDataBase::EmptyToNull(QString()).isValid());
        QCOMPARE(mdlDataBase::EmptyToNull(QStringLiteral(" ")), QVariant(QStringLiteral(" ")));
        QVERIFY(!mdlDataBase::EmptyToNull(QVariant()).isValid());
        QCOMPARE(mdlDataBase::EmptyToNull(0), QVariant(0));
    }

    void isFormLoadedIsCaseSensitive()
    {
        rt::Forms::get<frmSplash>();
        QVERIFY(mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash")));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmsplash")));
    }

    void opensTheProgramFoldersDatabase()
    {
        testsupport::ProgramFolder folder;
        QVERIFY(folder.isValid());
        mdlDataBase::OpenDatabase();
        QVERIFY(mdlDataBase::MainDatabase().isOpen());
        QVERIFY(mdlDataBase::MainDatabase().execute(
            {QStringLiteral("INSERT INTO groups (group_name, subgroup_of) VALUES (?, 0)"),
             {QStringLiteral("Φίλοι")}}));
    }

    void missingDatabaseShowsCodeZeroLogsAndEnds()
    {
        testsupport::ProgramFolder folder(false);
        rt::Forms::get<frmSplash>();
        testsupport::ScriptedMessageBoxes boxes;
        testsupport::EndCatcher end;
        QVERIFY_THROWS_EXCEPTION(rt::ProgramEnded, mdlDataBase::OpenDatabase());
        QCOMPARE(end.count(), 1);
        QCOMPARE(boxes.shown().size(), 1);
        // What is wrong, in Greek, and with which file.
        QCOMPARE(boxes.shown().first().text.split(QLatin1Char('\n')),
                 (QStringList{QStringLiteral("Σφάλμα: 14"),
                              QStringLiteral("Το αρχείο της βάσης δεδομένων δεν βρέθηκε ή δεν "
                                             "μπορεί να ανοιχτεί."),
                              QStringLiteral("Αρχείο: ") +
                                  QDir::toNativeSeparators(folder.databasePath())}));
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSplash")));
        QFile log(folder.file(QStringLiteral("ERROR.LOG")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> logLines = log.readAll().split('\n');
        QCOMPARE(logLines.size(), 2);
        QVERIFY(logLines.first().contains("\"Error: 0\",\"Descr: \xD3\xF6\xDC\xEB\xEC\xE1: "));
        QVERIFY(!QFile::exists(folder.databasePath()));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"ERROR.LOG"});
    }
};

QTEST_MAIN(tst_database_module)
#include "tst_database_module.moc"
