#include "app/mdlDataBase.h"
#include "app/mdlMainOutbox.h"
#include "app/mdlSettings.h"
#include "platform/Clock.h"
#include "platform/Cp1253.h"
#include "platform/Database.h"
#include "tests/support/Fixture.h"
#include "tests/support/MomentaryLock.h"
#include "tests/support/Seams.h"

#include <QFile>
#include <QTest>

namespace {

struct OutboxRow {
    qint64 id = 0;
    QVariantMap fields;
};

QList<OutboxRow> outboxRows()
{
    QList<OutboxRow> rows;
    for (const QVariantMap& fields : testsupport::tableRows(QStringLiteral("outbox_messages")))
        rows.append(OutboxRow{fields.value(QStringLiteral("msg_id")).toLongLong(), fields});
    return rows;
}

QString readLog(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? rt::cp1253::toUnicode(file.readAll()) : QString();
}

const QString sendTitle = QStringLiteral("ΑΠΟΣΤΟΛΗ ΜΗΝΥΜΑΤΟΣ");

} // namespace

// The out-box row writer against a real database file.
class tst_outbox_writer : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    rt::TestClock m_clock{QDateTime(QDate(2024, 3, 5), QTime(9, 7, 42))};

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.boxes = false, .errorReporter = false}), qPrintable(m_fx.error()));
        rt::setClock(&m_clock);
        mdlSettings::Originator = QStringLiteral("Shop");
    }
    void cleanup()
    {
        rt::setClock(nullptr);
        m_fx.stop();
        mdlSettings::Originator.clear();
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("phones");
        QTest::addColumn<QString>("box");
        // The text is looked at first.
        QTest::newRow("no text, no recipients")
            << QString() << QString()
            << QStringLiteral("Το μήνυμα που θέλετε να στείλετε δεν περιέχει κέιμενο.\n"
                              "Η αποστολή είναι αδύνατη.");
        QTest::newRow("no text") << QString() << QStringLiteral("6900000001")
                                 << QStringLiteral(
                                        "Το μήνυμα που θέλετε να στείλετε δεν περιέχει κέιμενο.\n"
                                        "Η αποστολή είναι αδύνατη.");
        QTest::newRow("no recipients")
            << QStringLiteral("Γεια") << QString()
            << QStringLiteral("Το μήνυμα που θέλετε να στείλετε δεν περιέχει παραλήπτες.\n"
                              "Η αποστολή είναι αδύνατη.");
    }
    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(QString, phones);
        QFETCH(QString, box);
        testsupport::ScriptedMessageBoxes boxes;
        QCOMPARE(mdlMain::AddOutboxMessage(QStringLiteral("t"), text, QString(), phones, QString(),
                                           QString(), false),
                 0);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().text, box);
        QCOMPARE(boxes.shown().first().style, 48);
        QCOMPARE(boxes.shown().first().title, sendTitle);
        QVERIFY(outboxRows().isEmpty());
    }

    void storedFields_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("originator");
        QTest::addColumn<QString>("settingsOriginator");
        QTest::addColumn<QString>("schDate");
        QTest::addColumn<QString>("schTime");
        QTest::addColumn<bool>("flash");
        QTest::addColumn<QVariantMap>("expected");

        const QVariant null;
        QTest::newRow("at once, default originator")
            << QStringLiteral("Προσφορά") << QString() << QStringLiteral("Shop") << QString()
            << QString() << false
            << QVariantMap{{"msg_title", QStringLiteral("Προσφορά")},
                           {"msg_originator", QStringLiteral("Shop")},
                           {"msg_schdate", null},
                           {"msg_schtime", null},
                           {"msg_flash", 0}};
        QTest::newRow("scheduled, own originator, flash")
            << QStringLiteral("x") << QStringLiteral("Κατάστημα") << QStringLiteral("Shop")
            << QStringLiteral("07/03/2024") << QStringLiteral("18:30") << true
            << QVariantMap{{"msg_originator", QStringLiteral("Κατάστημα")},
                           {"msg_schdate", QStringLiteral("2024-03-07")},
                           {"msg_schtime", QStringLiteral("18:30")},
                           {"msg_flash", 1}};
        // The sending side reads a Null time as "at once".
        QTest::newRow("date without a time")
            << QStringLiteral("x") << QString() << QStringLiteral("Shop")
            << QStringLiteral("07/03/2024") << QString() << false
            << QVariantMap{{"msg_schdate", QStringLiteral("2024-03-07")}, {"msg_schtime", null}};
        QTest::newRow("no originator anywhere")
            << QStringLiteral("x") << QString() << QString() << QString() << QString() << false
            << QVariantMap{{"msg_originator", null}};
        QTest::newRow("empty title stays text")
            << QString() << QString() << QStringLiteral("Shop") << QString() << QString() << false
            << QVariantMap{{"msg_title", QStringLiteral("")}};
    }
    void storedFields()
    {
        QFETCH(QString, title);
        QFETCH(QString, originator);
        QFETCH(QString, settingsOriginator);
        QFETCH(QString, schDate);
        QFETCH(QString, schTime);
        QFETCH(bool, flash);
        QFETCH(QVariantMap, expected);
        mdlSettings::Originator = settingsOriginator;
        testsupport::ScriptedMessageBoxes boxes;

        const qint32 id = mdlMain::AddOutboxMessage(
            title, QStringLiteral("Καλημέρα σας"), originator,
            QStringLiteral(",6900000001,6900000002"), schDate, schTime, flash);
        QVERIFY(boxes.shown().isEmpty());
        const QList<OutboxRow> rows = outboxRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(qint64(id), rows.first().id);
        QVERIFY(id > 0);
        const QVariantMap& row = rows.first().fields;
        QCOMPARE(row.value("msg_text"), QVariant(QStringLiteral("Καλημέρα σας")));
        QCOMPARE(row.value("msg_phonelist"), QVariant(QStringLiteral(",6900000001,6900000002")));
        QCOMPARE(row.value("msg_date"), QVariant(QStringLiteral("2024-03-05")));
        QCOMPARE(row.value("msg_time"), QVariant(QStringLiteral("09:07")));
        QVERIFY(!row.value("msg_error").isValid());
        QVERIFY(!row.value("msg_groups").isValid());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const QVariant actual = row.value(it.key());
            if (!it.value().isValid())
                QVERIFY2(!actual.isValid(), qPrintable(it.key()));
            else
                QCOMPARE(actual.isValid() ? actual.toString() : QStringLiteral("(Null)"),
                         it.value().toString());
        }
    }

    void idOfTheRowJustAdded()
    {
        testsupport::ScriptedMessageBoxes boxes;
        const auto add = [] {
            return mdlMain::AddOutboxMessage(QStringLiteral("t"), QStringLiteral("m"), QString(),
                                             QStringLiteral("6900000001"), QString(), QString(),
                                             false);
        };
        const qint32 first = add();
        m_clock.advanceMs(10 * 1000); // still 09:07
        const qint32 second = add();
        // A deleted last row is not numbered again.
        QVERIFY(mdlDataBase::MainDatabase().execute(
            {QStringLiteral("DELETE FROM outbox_messages WHERE msg_id = ?"), {second}}));
        const qint32 third = add();
        QVERIFY(first > 0);
        QVERIFY(second > first);
        QVERIFY(third > second);
        const QList<OutboxRow> rows = outboxRows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).id, qint64(first));
        QCOMPARE(rows.at(1).id, qint64(third));
        QCOMPARE(rows.at(0).fields.value("msg_time"), rows.at(1).fields.value("msg_time"));
        QCOMPARE(rows.at(0).fields.value("msg_date"), rows.at(1).fields.value("msg_date"));
    }

    void failureIsLoggedAndBoxedWithoutARow_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("schDate");
        QTest::addColumn<int>("number");
        QTest::newRow("table missing")
            << QStringLiteral("DROP TABLE outbox_messages") << QString() << 1;
        QTest::newRow("column missing")
            << QStringLiteral("ALTER TABLE outbox_messages DROP COLUMN msg_flash") << QString()
            << 3265;
        QTest::newRow("value the column refuses")
            << QString() << QStringLiteral("31/02/2024") << 13;
        QTest::newRow("refusing trigger")
            << QStringLiteral("CREATE TRIGGER no_rows BEFORE INSERT ON outbox_messages "
                              "BEGIN SELECT RAISE(ABORT, 'full'); END")
            << QString() << 19;
    }
    void failureIsLoggedAndBoxedWithoutARow()
    {
        QFETCH(QString, setup);
        QFETCH(QString, schDate);
        QFETCH(int, number);
        if (!setup.isEmpty())
            QVERIFY(mdlDataBase::MainDatabase().execute({setup, {}}));
        testsupport::ScriptedMessageBoxes boxes;

        QCOMPARE(mdlMain::AddOutboxMessage(QStringLiteral("t"), QStringLiteral("m"), QString(),
                                           QStringLiteral("6900000001"), schDate,
                                           QStringLiteral("10:00"), false),
                 0);
        QCOMPARE(boxes.shown().size(), 1);
        const testsupport::ShownBox box = boxes.shown().first();
        QCOMPARE(box.style, 16);
        QCOMPARE(box.title, QStringLiteral("Vantrel"));
        QVERIFY2(box.text.startsWith(QStringLiteral("Σφάλμα: ") + QString::number(number) +
                                     QLatin1Char('\n')),
                 qPrintable(box.text));
        const QString description = box.text.section(QLatin1Char('\n'), 1);
        QVERIFY(!description.isEmpty());
        const QString log = readLog(m_fx.folder().file(QStringLiteral("ERROR.LOG")));
        QVERIFY2(log.startsWith(QStringLiteral("\"05/03/2024\",\"09:07\",\"Error: ") +
                                QString::number(number) + QStringLiteral("\",\"Descr: ") +
                                description + QStringLiteral("\",\"Source: ")),
                 qPrintable(log));
        QVERIFY(log.endsWith(QStringLiteral("\r\n")));
        if (!setup.startsWith(QStringLiteral("DROP TABLE")))
            QVERIFY(outboxRows().isEmpty());
    }

    // Another program holding the file for a moment delays the write; it does not fail it.
    void aMomentaryLockIsWaitedFor()
    {
        testsupport::MomentaryLock lock(m_fx.folder().databasePath(), 1000);
        QVERIFY(lock.isHeld());
        testsupport::ScriptedMessageBoxes boxes;
        const qint32 id =
            mdlMain::AddOutboxMessage(QStringLiteral("t"), QStringLiteral("m"), QString(),
                                      QStringLiteral("6900000001"), QString(), QString(), false);
        QVERIFY(lock.waits() > 0);
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(id > 0);
        const QList<OutboxRow> rows = outboxRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().id, qint64(id));
    }

    // Held past the wait: the box, and nothing written.
    void lockedDatabaseWritesNothing()
    {
        rt::Database other;
        QVERIFY(other.open(m_fx.folder().databasePath()));
        QVERIFY(other.execute({QStringLiteral("BEGIN EXCLUSIVE"), {}}));
        testsupport::ScriptedMessageBoxes boxes;
        QCOMPARE(mdlMain::AddOutboxMessage(QStringLiteral("t"), QStringLiteral("m"), QString(),
                                           QStringLiteral("6900000001"), QString(), QString(),
                                           false),
                 0);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().style, 16);
        QVERIFY(other.execute({QStringLiteral("ROLLBACK"), {}}));
        QVERIFY(outboxRows().isEmpty());
    }
};

QTEST_MAIN(tst_outbox_writer)
#include "tst_outbox_writer.moc"
