// The message export with its real save dialog, overwrite question and preview, and the
// message details dialog, answered with real key events: one key answers the question,
// the export writes once, and a dialog that opens with the keyboard in its read-only
// text answers Enter and Escape from there.

#include "messages/frmMessage_Export.h"
#include "messages/frmMessage_Properties.h"
#include "platform/Cp1253.h"
#include "platform/MultiLineTextBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>

using testsupport::RealWindows;

class tst_dialogkeys : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.boxes = false}), qPrintable(m_fx.error()));
        testsupport::exec(QStringLiteral("INSERT INTO outbox_messages (msg_title, msg_text, "
                                         "msg_originator, msg_flash, msg_phonelist, msg_date, "
                                         "msg_time) VALUES ('Προσφορά', 'Καλημέρα', 'Κατάστημα', "
                                         "0, ',6911111111', '2024-03-05', '09:07')"));
    }
    void cleanup() { m_fx.stop(); }

    // The preview opens with the keyboard in its read-only text; from there Enter exports
    // (the default button) and Escape leaves without writing, as the close box does.
    void previewAnswersEnterAndEscapeFromItsText_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("exported");
        QTest::newRow("Enter: Εξαγωγή") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape: nothing written") << int(Qt::Key_Escape) << false;
    }
    void previewAnswersEnterAndEscapeFromItsText()
    {
        QFETCH(int, key);
        QFETCH(bool, exported);
        const QString path = m_fx.folder().file(QStringLiteral("preview.txt"));
        QString focusAtOpening;
        RealWindows windows;
        windows.thenClosed([&path](QWidget& files) {
            RealWindows::pressKeys(files,
                                   {QKeyCombination(Qt::ControlModifier, Qt::Key_A).toCombined()});
            RealWindows::typeText(files, path);
            RealWindows::pressKeys(files, {Qt::Key_Return});
        });
        windows.thenClosed([&](QWidget& preview) {
            focusAtOpening =
                QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            RealWindows::pressKeys(preview, {key});
        });
        rt::Forms::get<frmMessage_Export>().ExportMessage(
            QStringLiteral("outbox_messages"),
            qint32(testsupport::lastMessageId(QStringLiteral("outbox_messages"))));
        QCOMPARE(windows.shown().size(), 2);
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(focusAtOpening, QStringLiteral("txtMsg"));
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmMessage_Export")));
        QCOMPARE(QFile::exists(path), exported);
        if (exported) {
            QVERIFY(testsupport::fileBytes(path).endsWith(
                rt::cp1253::fromUnicode(QStringLiteral("Παραλήπτες: \r\n,6911111111\r\n"))));
        }
    }

    // The details dialog opens with the keyboard in its read-only text; from there Enter
    // presses OK, the default button, and Escape closes it too.
    void detailsCloseOnEnterAndEscapeFromTheText_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void detailsCloseOnEnterAndEscapeFromTheText()
    {
        QFETCH(int, key);
        QString focusAtOpening;
        RealWindows windows;
        windows.thenClosed([&](QWidget& details) {
            focusAtOpening =
                QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            RealWindows::pressKeys(details, {key});
        });
        frmMessage_Properties& details = rt::Forms::get<frmMessage_Properties>();
        details.ShowDetails(qint32(testsupport::lastMessageId(QStringLiteral("outbox_messages"))),
                            QStringLiteral("outbox_messages"));
        rt::Forms::showModal(details);
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmMessage_Properties")});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(focusAtOpening, QStringLiteral("txtHeader"));
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmMessage_Properties")));
    }

    // A name typed over an existing file: Enter on the question answers Yes and the preview
    // follows, whose focused Export takes Enter; Escape answers Cancel and nothing follows.
    void overwriteQuestionTakesOneKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("exported");
        QTest::newRow("Enter: Yes") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape: Cancel") << int(Qt::Key_Escape) << false;
    }
    void overwriteQuestionTakesOneKey()
    {
        QFETCH(int, key);
        QFETCH(bool, exported);
        const QString path = m_fx.folder().file(QStringLiteral("export.txt"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\r\n");
        old.close();
        RealWindows windows;
        windows.thenClosed([&path](QWidget& files) {
            // Over the proposed name.
            RealWindows::pressKeys(files, {QKeyCombination(Qt::ControlModifier, Qt::Key_A).toCombined()});
            RealWindows::typeText(files, path);
            RealWindows::pressKeys(files, {Qt::Key_Return});
        });
        windows.thenClosed([key](QWidget& box) { RealWindows::pressKeys(box, {key}); });
        windows.thenClosed([](QWidget& preview) {
            static_cast<frmMessage_Export&>(preview).cmdExport()->setFocus();
            RealWindows::pressKeys(preview, {Qt::Key_Return});
        });
        rt::Forms::get<frmMessage_Export>().ExportMessage(
            QStringLiteral("outbox_messages"),
            qint32(testsupport::lastMessageId(QStringLiteral("outbox_messages"))));
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        QCOMPARE(windows.boxTexts(),
                 QStringList{QStringLiteral("Υπάρχει ήδη κάποιο αρχείο με αυτό το όνομα.\n"
                                            "Θέλετε να το αντικαταστήσετε;")});
        QCOMPARE(windows.shown().size(), exported ? 3 : 2);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmMessage_Export")));
        const QByteArray written = testsupport::fileBytes(path);
        if (exported) {
            QVERIFY(written.startsWith(
                rt::cp1253::fromUnicode(QStringLiteral("Αποστολέας: Κατάστημα"))));
            QVERIFY(written.endsWith(
                rt::cp1253::fromUnicode(QStringLiteral("Παραλήπτες: \r\n,6911111111\r\n"))));
        } else {
            QCOMPARE(written, QByteArray("old\r\n"));
        }
    }
};

QTEST_MAIN(tst_dialogkeys)
#include "tst_dialogkeys.moc"
