#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "messages/frmMessage_Properties.h"
#include "platform/Err.h"
#include "platform/MultiLineTextBox.h"
#include "sending/mdlInternet.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

const QString crlf = QStringLiteral("\r\n");

qint64 insert(const QString& table, const QStringList& columns, const QVariantList& values)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    rt::Database& db = mdlDataBase::MainDatabase();
    const rt::DbResult done =
        db.execute({QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                        columns.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                        marks.join(QLatin1Char(',')) + QStringLiteral(")"),
                    values});
    if (!done)
        return -1;
    return testsupport::lastMessageId(table);
}

const QStringList sendColumns = {
    QStringLiteral("msg_title"), QStringLiteral("msg_text"),      QStringLiteral("msg_originator"),
    QStringLiteral("msg_flash"), QStringLiteral("msg_phonelist"), QStringLiteral("msg_date"),
    QStringLiteral("msg_time"),  QStringLiteral("msg_schdate"),   QStringLiteral("msg_schtime")};

} // namespace

// The details dialog: the text block per message table, and how it closes.
class tst_frmmessage_properties : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    frmMessage_Properties& details(qint64 id, const QString& table)
    {
        frmMessage_Properties& dialog = rt::Forms::get<frmMessage_Properties>();
        dialog.ShowDetails(qint32(id), table);
        return dialog;
    }

private slots:
    void init() { QVERIFY2(m_fx.start({.errorReporter = false}), qPrintable(m_fx.error())); }
    void cleanup() { m_fx.stop(); }

    void savedMessageShowsTitleOriginatorAndTextOnly()
    {
        const qint64 id = insert(QStringLiteral("saved_messages"),
                                 {QStringLiteral("msg_title"), QStringLiteral("msg_text"),
                                  QStringLiteral("msg_originator"), QStringLiteral("msg_flash"),
                                  QStringLiteral("msg_datecreated")},
                                 {QStringLiteral("Προσφορά"), QStringLiteral("Καλημέρα σας"),
                                  QStringLiteral("Shop"), 0, QStringLiteral("2024-03-05")});
        const frmMessage_Properties& dialog = details(id, QStringLiteral("saved_messages"));
        const QString expected = QStringLiteral("Τίτλος: Προσφορά") + crlf +
                                 QStringLiteral("Αποστολέας: Shop") + crlf + crlf + crlf +
                                 QStringLiteral("Μήνυμα: (12 χαρακτήρες)") + crlf +
                                 QStringLiteral("Καλημέρα σας") + crlf + crlf;
        QCOMPARE(dialog.HeaderText(), expected);
        QCOMPARE(dialog.txtHeader()->Text(), QString(expected).replace(crlf, QStringLiteral("\n")));
        QVERIFY(!dialog.isVisible());
    }

    void failedOutboxMessageEndsWithTheErrorText()
    {
        const qint64 id = insert(
            QStringLiteral("outbox_messages"),
            sendColumns + QStringList{QStringLiteral("msg_error")},
            {QStringLiteral("T"), QStringLiteral("abc"), QStringLiteral("Shop"), 1,
             QStringLiteral(",6911111111,6922222222"), QStringLiteral("2024-03-05"),
             QStringLiteral("09:07"), QStringLiteral("2024-03-06"), QStringLiteral("18:30"), -300});
        const frmMessage_Properties& dialog = details(id, QStringLiteral("outbox_messages"));
        const QString expected =
            QStringLiteral("Τίτλος: T") + crlf + QStringLiteral("Αποστολέας: Shop") + crlf + crlf +
            QStringLiteral("Αποστολή: 05/03/2024 - 09:07") + crlf +
            QStringLiteral("Προγραμματισμός:06/03/2024 - 18:30") + crlf + crlf +
            QStringLiteral("Μήνυμα: (3 χαρακτήρες)") + crlf + QStringLiteral("abc") + crlf + crlf +
            // The count skips the empty place before the first comma; the list stays.
            QStringLiteral("Παραλήπτες: (2)") + crlf + QStringLiteral(",6911111111,6922222222") +
            crlf + crlf + QStringLiteral("Σφάλμα: ") + crlf + mdlInternet::ServerErrorText(-300);
        QCOMPARE(dialog.HeaderText(), expected);
        QVERIFY(!mdlInternet::ServerErrorText(-300).isEmpty());
    }

    void sentAtOnceHasNoScheduleAndNoErrorLine()
    {
        const qint64 id = insert(QStringLiteral("sended_messages"), sendColumns,
                                 {QVariant(), QString(160, QLatin1Char('x')), QVariant(), 0,
                                  QStringLiteral("6911111111"), QStringLiteral("2024-03-05"),
                                  QStringLiteral("09:07"), QVariant(), QVariant()});
        const QString text = details(id, QStringLiteral("sended_messages")).HeaderText();
        QVERIFY(text.startsWith(QStringLiteral("Τίτλος: ") + crlf + QStringLiteral("Αποστολέας: ") +
                                crlf + crlf + QStringLiteral("Αποστολή: 05/03/2024 - 09:07") +
                                crlf + crlf + QStringLiteral("Μήνυμα: (160 χαρακτήρες)") + crlf));
        QVERIFY(!text.contains(QStringLiteral("Προγραμματισμός")));
        QVERIFY(!text.contains(QStringLiteral("Σφάλμα")));
        QVERIFY(text.endsWith(QStringLiteral("Παραλήπτες: (1)") + crlf +
                              QStringLiteral("6911111111") + crlf));
    }

    void aSecondMessageReplacesTheFirst()
    {
        const qint64 first = insert(QStringLiteral("saved_messages"), {QStringLiteral("msg_title")},
                                    {QStringLiteral("Πρώτο")});
        frmMessage_Properties& dialog = details(first, QStringLiteral("saved_messages"));
        // A row gone meanwhile reads nothing; nothing of the earlier message is left.
        dialog.ShowDetails(qint32(first + 1), QStringLiteral("saved_messages"));
        QCOMPARE(dialog.HeaderText(), crlf);
    }

    void onlyTheThreeMessageTablesAreRead()
    {
        frmMessage_Properties& dialog = rt::Forms::get<frmMessage_Properties>();
        QVERIFY_THROWS_EXCEPTION(
            rt::RuntimeError, dialog.ShowDetails(1, QStringLiteral("members; DROP TABLE groups")));
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM groups"), {}}, rt::RecordsetType::Snapshot);
        QVERIFY(rs.isOpen());
    }

    void okAndEscapeClose_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("OK") << false;
        QTest::newRow("Escape") << true;
    }
    void okAndEscapeClose()
    {
        QFETCH(bool, escape);
        const qint64 id = insert(QStringLiteral("saved_messages"), {QStringLiteral("msg_title")},
                                 {QStringLiteral("T")});
        testsupport::ModalScript modals;
        bool shown = false;
        modals.then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Properties&>(form);
            shown = dialog.isVisible();
            if (escape) {
                dialog.cmdOK()->setFocus();
                QTest::keyClick(dialog.cmdOK(), Qt::Key_Escape);
            } else {
                dialog.cmdOK()->click();
            }
        });
        rt::Forms::get<frmMessage_Properties>().ShowDetails(qint32(id),
                                                            QStringLiteral("saved_messages"));
        rt::Forms::showModal(rt::Forms::get<frmMessage_Properties>());
        QVERIFY(shown);
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Properties")));
        QCOMPARE(modals.shownNames(), QStringList{QStringLiteral("frmMessage_Properties")});
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void greekRendersWithoutOverlap()
    {
        const qint64 id = insert(QStringLiteral("saved_messages"),
                                 {QStringLiteral("msg_title"), QStringLiteral("msg_text")},
                                 {QStringLiteral("Τίτλος"), QStringLiteral("Καλημέρα")});
        frmMessage_Properties& dialog = details(id, QStringLiteral("saved_messages"));
        dialog.show();
        QVERIFY(QFontMetrics(dialog.txtHeader()->font()).inFont(QChar(0x03A9)));
        QVERIFY(!dialog.Frame()->geometry().intersects(dialog.cmdOK()->geometry()));
        if (qEnvironmentVariableIsSet("VANTREL_GRAB"))
            dialog.grab().save(testsupport::picturePath(QStringLiteral("frmMessage_Properties.png")));
    }
};

QTEST_MAIN(tst_frmmessage_properties)
#include "tst_frmmessage_properties.moc"
