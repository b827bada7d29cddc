#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlSettings.h"
#include "messages/frmMessage_OutBox.h"
#include "messages/frmMessage_Properties.h"
#include "platform/App.h"
#include "platform/Cp1253.h"
#include "platform/ListView.h"
#include "platform/Recordset.h"
#include "sending/frmSendMessages.h"
#include "sending/mdlInternet.h"
#include "sending/mdlUnrecorded.h"
#include "tests/crash/Scenarios.h"
#include "tests/support/Fixture.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using testsupport::FakeSmsService;
using Answer = FakeSmsService::Answer;

namespace {

// What became of one run of the helper.
struct HelperRun {
    bool crashed = false;
    int exitCode = -1;
    QString output;

    bool killedAt(const QString& step, int occurrence) const
    {
        return crashed &&
               output.contains(QStringLiteral("killed at %1 %2\n").arg(step).arg(occurrence));
    }
    bool finished() const
    {
        return !crashed && exitCode == 0 && output.contains(QLatin1String("finished"));
    }
};

// Runs the helper while this process's events go on (the loopback service answers from
// here), bounded so that a helper that hangs fails the test instead of stalling it.
HelperRun runHelper(const QString& scenario, const QString& folder, const QString& step,
                    int occurrence, quint16 port = 0)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(120000);
    process.start(QStringLiteral(CRASH_HELPER),
                  {scenario, folder, step, QString::number(occurrence), QString::number(port)});
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    HelperRun run;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        run.output = QStringLiteral("(the helper did not end in time)\n");
    }
    run.output += QString::fromUtf8(process.readAll());
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    return run;
}

QStringList column(rt::Database& db, const QString& sql, const QVariantList& values = {})
{
    QStringList out;
    rt::Recordset rs = db.openRecordset({sql, values}, rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        return {QStringLiteral("failed: ") + rs.status().description};
    for (; !rs.eof(); rs.moveNext())
        out << (rs.field(0).isNull() ? QStringLiteral("NULL") : rs.field(0).toString());
    return out;
}

// The address book's rows, each as its columns joined by "|".
QStringList addressBook(rt::Database& db)
{
    return column(db, QStringLiteral("SELECT 'group ' || group_id || '|' || group_name || '|' || "
                                     "subgroup_of FROM groups ORDER BY group_id")) +
           column(db,
                  QStringLiteral("SELECT 'member ' || member_id || '|' || "
                                 "coalesce(LastName, 'NULL') || '|' || "
                                 "coalesce(FirstName, 'NULL') || '|' || "
                                 "coalesce(Occupation, 'NULL') || '|' || "
                                 "coalesce(mobile_no, 'NULL') || '|' || "
                                 "coalesce(member_of, 'NULL') FROM members ORDER BY member_id"));
}

QString integrity(rt::Database& db)
{
    return column(db, QStringLiteral("PRAGMA integrity_check")).join(QLatin1Char(' '));
}

// Where a message of the send batch is: "outbox" (with " marked" when its row says it may
// have gone without an answer, " error N" for another code) or "sent"; every other
// answer means it is in neither box or in both.
QString whereIs(rt::Database& db, const QString& text)
{
    const QStringList out = column(
        db, QStringLiteral("SELECT msg_error FROM outbox_messages WHERE msg_text = ?"), {text});
    const QStringList sent = column(
        db, QStringLiteral("SELECT msg_SID FROM sended_messages WHERE msg_text = ?"), {text});
    if (out.size() + sent.size() != 1)
        return QStringLiteral("in %1 out-box and %2 sent rows").arg(out.size()).arg(sent.size());
    if (!sent.isEmpty())
        return QStringLiteral("sent");
    if (out.first() == QLatin1String("NULL"))
        return QStringLiteral("outbox");
    if (out.first() == QString::number(mdlInternet::NoReply))
        return QStringLiteral("outbox marked");
    return QStringLiteral("outbox error ") + out.first();
}

QString messageText(const QByteArray& request)
{
    const int start = int(request.indexOf("&M=")) + 3;
    return rt::cp1253::toUnicode(request.mid(start, request.indexOf('&', start) - start));
}

QStringList temporaryFiles(const QString& folder)
{
    return QDir(folder).entryList(
        {QLatin1Char('.') + mdlSettings::SettingsFileName + QLatin1String(".*")},
        QDir::Files | QDir::Hidden);
}

QStringList settingsValues()
{
    return {mdlSettings::Originator,
            mdlSettings::ServerURL,
            QString::number(mdlSettings::ServerPort),
            mdlSettings::UserName,
            mdlSettings::Password,
            QString::number(mdlSettings::AvailableSMS),
            QString::number(mdlSettings::EnableSecurity),
            QString::number(mdlSettings::AskOnStartUp),
            QString::number(mdlSettings::AskOnSend)};
}

bool copyFolder(const QString& from, const QString& to)
{
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files | QDir::Hidden)) {
        if (!QFile::copy(source.filePath(name), QDir(to).filePath(name)))
            return false;
    }
    return true;
}

} // namespace

// A kill at each durable write of the program, in a child process doing the real work:
// what it leaves on disk must be whole, and must tell the truth about what went out.
class tst_crashpoints : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    rt::Database& db() { return mdlDataBase::MainDatabase(); }

    // The helper works on the fixture's folder while this process keeps its hands off
    // the database.
    HelperRun crashAt(const QString& scenario, const QString& step, int occurrence)
    {
        db().close();
        const HelperRun run =
            runHelper(scenario, m_fx.folder().path(), step, occurrence, m_fx.service().port());
        db().open(m_fx.folder().databasePath());
        return run;
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .service = true}), qPrintable(m_fx.error()));
    }
    void cleanup()
    {
        m_fx.stop();
        mdlUnrecorded::Reset();
    }

    // Three messages sent newest first ("third", "second", "first"). The first is marked
    // in a transaction of its own (1); each accepted one is moved in the same transaction
    // that marks the next (2 and 3), the last alone (4). A transaction's "begin" is reached
    // right after the service accepted the message it moves.
    void sendBatch_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<QStringList>("boxes"); // of "first", "second", "third"
        QTest::addColumn<QStringList>("requested");
        const QString out = QStringLiteral("outbox");
        const QString marked = QStringLiteral("outbox marked");
        const QString sent = QStringLiteral("sent");
        const QStringList one{"third"};
        const QStringList two{"third", "second"};
        const QStringList all{"third", "second", "first"};
        QTest::newRow("the first mark, before its commit")
            << "before-commit" << 1 << QStringList{out, out, out} << QStringList{};
        QTest::newRow("the first mark, after its commit")
            << "after-commit" << 1 << QStringList{out, out, marked} << QStringList{};
        QTest::newRow("right after the service accepted the first")
            << "begin" << 2 << QStringList{out, out, marked} << one;
        QTest::newRow("the first move and the second mark, before their commit")
            << "before-commit" << 2 << QStringList{out, out, marked} << one;
        // The second is marked although its request never left: it may have gone, for
        // all the program can tell.
        QTest::newRow("the first move and the second mark, after their commit")
            << "after-commit" << 2 << QStringList{out, marked, sent} << one;
        QTest::newRow("right after the service accepted the second")
            << "begin" << 3 << QStringList{out, marked, sent} << two;
        QTest::newRow("the second move and the third mark, before their commit")
            << "before-commit" << 3 << QStringList{out, marked, sent} << two;
        QTest::newRow("the second move and the third mark, after their commit")
            << "after-commit" << 3 << QStringList{marked, sent, sent} << two;
        QTest::newRow("right after the service accepted the last")
            << "begin" << 4 << QStringList{marked, sent, sent} << all;
        QTest::newRow("the last move, before its commit")
            << "before-commit" << 4 << QStringList{marked, sent, sent} << all;
        QTest::newRow("the last move, after its commit")
            << "after-commit" << 4 << QStringList{sent, sent, sent} << all;
    }
    void sendBatch()
    {
        QFETCH(QString, step);
        QFETCH(int, occurrence);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, requested);
        QVERIFY(crash::prepare(QStringLiteral("send")));
        for (const int sid : {101, 102, 103})
            m_fx.service().script(Answer::code(sid));

        const HelperRun run = crashAt(QStringLiteral("send"), step, occurrence);
        QVERIFY2(run.killedAt(step, occurrence), qPrintable(run.output));

        QCOMPARE(integrity(db()), QStringLiteral("ok"));
        QStringList where;
        for (const QString& text : crash::outboxTexts)
            where << whereIs(db(), text);
        QCOMPARE(where, boxes);
        QStringList texts;
        for (const QByteArray& request : m_fx.service().requests())
            texts << messageText(request);
        QCOMPARE(texts, requested);
    }

    // The user finds the message the service took but the program did not record among
    // the failed ones, with the text for a reply that never came.
    void anAcceptedMessageLeftUnrecordedShowsAsFailed()
    {
        QVERIFY(crash::prepare(QStringLiteral("send")));
        m_fx.service().script(Answer::code(101));
        m_fx.service().script(Answer::code(102));
        const HelperRun run = crashAt(QStringLiteral("send"), QStringLiteral("begin"), 3);
        QVERIFY2(run.killedAt(QStringLiteral("begin"), 3), qPrintable(run.output));
        const qint64 first = column(db(), QStringLiteral("SELECT msg_id FROM outbox_messages "
                                                         "WHERE msg_text = 'first'"))
                                 .value(0)
                                 .toLongLong();
        const qint64 second = column(db(), QStringLiteral("SELECT msg_id FROM outbox_messages "
                                                          "WHERE msg_text = 'second'"))
                                  .value(0)
                                  .toLongLong();
        QVERIFY(first > 0 && second > 0);

        frmMain& main = testsupport::mainWindow();
        main.show();
        QVERIFY(main.FreeChildSpace(QStringLiteral("frmMessage_OutBox")));
        frmMessage_OutBox& list = rt::Forms::get<frmMessage_OutBox>();
        list.show();
        const rt::ListItems items = list.OutList()->ListItems();
        QCOMPARE(items.Count(), 2);
        QCOMPARE(items.Item(QStringLiteral("MSG_%1").arg(second)).SmallIcon(),
                 rt::ImageRef(frmMessage_OutBox::IconFailed));
        QCOMPARE(items.Item(QStringLiteral("MSG_%1").arg(first)).SmallIcon(),
                 rt::ImageRef(frmMessage_OutBox::IconWaiting));

        frmMessage_Properties& details = rt::Forms::get<frmMessage_Properties>();
        details.ShowDetails(qint32(second), QStringLiteral("outbox_messages"));
        QVERIFY2(details.HeaderText().endsWith(QStringLiteral("\r\nΣφάλμα: \r\n") +
                                               mdlInternet::ServerErrorText(mdlInternet::NoReply)),
                 qPrintable(details.HeaderText()));
    }

    // The service accepted the newest message while another program held the database, and
    // the program was killed while keeping that message's number for the next batch. Once
    // the file has its name, the program started again records the message under the
    // number the service gave and sends only the others; killed before that, the row is
    // one whose fate is unknown, marked as possibly sent, and is sent again as such.
    void anAcceptedMessageKeptAcrossAKill_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<QStringList>("recorded"); // text/number, in the sent box's order
        QTest::newRow("the file in place")
            << "after-rename" << true << QStringList{"third", "second", "first"}
            << QStringList{"third/101", "second/102", "first/103"};
        QTest::newRow("the file not yet in place")
            << "before-rename" << false << QStringList{"third", "third", "second", "first"}
            << QStringList{"third/102", "second/103", "first/104"};
    }
    void anAcceptedMessageKeptAcrossAKill()
    {
        QFETCH(QString, step);
        QFETCH(bool, kept);
        QFETCH(QStringList, requested);
        QFETCH(QStringList, recorded);
        QVERIFY(crash::prepare(QStringLiteral("send")));
        for (const int sid : {101, 102, 103, 104})
            m_fx.service().script(Answer::code(sid));
        m_fx.service().script(Answer::code(500));

        const HelperRun run = crashAt(QStringLiteral("send-locked"), step, 1);
        QVERIFY2(run.killedAt(step, 1), qPrintable(run.output));
        QCOMPARE(integrity(db()), QStringLiteral("ok"));
        QCOMPARE(whereIs(db(), QStringLiteral("third")), QStringLiteral("outbox marked"));
        QCOMPARE(whereIs(db(), QStringLiteral("second")), QStringLiteral("outbox"));
        QCOMPARE(QFile::exists(m_fx.folder().file(mdlUnrecorded::FileName)), kept);

        // The program started again, the other program gone: the next batch.
        testsupport::useTestAccount(m_fx.service());
        mdlSettings::AskOnSend = 0;
        testsupport::mainWindow().show();
        rt::Forms::get<frmSendMessages>().SendOutBoxMessages(-1);

        QStringList texts;
        for (const QByteArray& request : m_fx.service().requests()) {
            if (request.contains("/prog/send.php"))
                texts << messageText(request);
        }
        QCOMPARE(texts, requested);
        QCOMPARE(column(db(), QStringLiteral("SELECT msg_text || '/' || msg_SID FROM "
                                             "sended_messages ORDER BY msg_id")),
                 recorded);
        QCOMPARE(column(db(), QStringLiteral("SELECT count(*) FROM outbox_messages")),
                 QStringList{"0"});
        QVERIFY(!QFile::exists(m_fx.folder().file(mdlUnrecorded::FileName)));
    }

    void addressBookWrites_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("allNew");
        for (const char* scenario : {"organiser", "members", "prefix"}) {
            QTest::addRow("%s, before the commit", scenario)
                << scenario << QStringLiteral("before-commit") << false;
            QTest::addRow("%s, after the commit", scenario)
                << scenario << QStringLiteral("after-commit") << true;
        }
    }
    void addressBookWrites()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, step);
        QFETCH(bool, allNew);
        QVERIFY(crash::prepare(scenario));
        const QStringList before = addressBook(db());

        // The same work run to its end on a copy is what "all new" means.
        db().close();
        QTemporaryDir reference;
        QVERIFY(copyFolder(m_fx.folder().path(), reference.path()));
        const HelperRun whole = runHelper(scenario, reference.path(), QStringLiteral("none"), 0);
        QVERIFY2(whole.finished(), qPrintable(whole.output));
        rt::Database done;
        QVERIFY(done.open(reference.filePath(QStringLiteral("SMS.mdb"))));
        const QStringList after = addressBook(done);
        done.close();
        QVERIFY(after != before);

        const HelperRun run = crashAt(scenario, step, 1);
        QVERIFY2(run.killedAt(step, 1), qPrintable(run.output));
        QCOMPARE(integrity(db()), QStringLiteral("ok"));
        QCOMPARE(addressBook(db()), allNew ? after : before);
    }

    void settingsSave_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("saved");
        QTest::newRow("before the rename") << QStringLiteral("before-rename") << false;
        QTest::newRow("after the rename") << QStringLiteral("after-rename") << true;
    }
    void settingsSave()
    {
        QFETCH(QString, step);
        QFETCH(bool, saved);
        crash::setNewSettings();
        const QStringList newValues = settingsValues();
        QVERIFY(crash::prepare(QStringLiteral("settings")));
        const QStringList oldValues = settingsValues();
        QFile file(rt::App::file(mdlSettings::SettingsFileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray oldBytes = file.readAll();
        file.close();

        const HelperRun run = crashAt(QStringLiteral("settings"), step, 1);
        QVERIFY2(run.killedAt(step, 1), qPrintable(run.output));

        // Killed before its rename, the write leaves its synced new bytes beside the old
        // file; after it, nothing.
        QCOMPARE(temporaryFiles(m_fx.folder().path()).size(), saved ? 0 : 1);
        mdlSettings::Originator = QStringLiteral("neither");
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(settingsValues(), saved ? newValues : oldValues);
        if (!saved) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), oldBytes);
            file.close();
        }

        // The next save takes the leftover away.
        crash::setNewSettings();
        QVERIFY(mdlSettings::SaveSettings());
        QCOMPARE(temporaryFiles(m_fx.folder().path()), QStringList{});
        crash::setOldSettings();
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(settingsValues(), newValues);
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }
};

QTEST_MAIN(tst_crashpoints)
#include "tst_crashpoints.moc"
