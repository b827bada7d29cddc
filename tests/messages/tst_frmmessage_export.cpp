#include "app/mdlDataBase.h"
#include "messages/frmMessage_Export.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/MultiLineTextBox.h"
#include "platform/StatusBar.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using testsupport::ScriptedFileDialogs;
using testsupport::ScriptedMessageBoxes;

namespace {

const QString crlf = QStringLiteral("\r\n");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// The message export: the text of the file, the choice of the file with its overwrite
// question, and that only Export writes.
class tst_frmmessage_export : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    qint64 addMessage(const QString& table, const QVariant& title, bool flash,
                      const QVariant& schDate, const QVariant& schTime, const QString& text,
                      const QString& phones)
    {
        rt::Database& db = mdlDataBase::MainDatabase();
        const rt::DbResult done = db.execute(
            {QStringLiteral("INSERT INTO ") + table +
                 QStringLiteral(" (msg_title, msg_text, msg_originator, msg_flash, "
                                "msg_phonelist, msg_date, msg_time, msg_schdate, msg_schtime) "
                                "VALUES (?, ?, 'Κατάστημα', ?, ?, '2024-03-05', '09:07', ?, ?)"),
             {title, text, flash ? 1 : 0, phones, schDate, schTime}});
        if (!done)
            return -1;
        return testsupport::lastMessageId(table);
    }
    qint64 plainMessage(const QVariant& title = QStringLiteral("Προσφορά"))
    {
        return addMessage(QStringLiteral("outbox_messages"), title, false, QVariant(), QVariant(),
                          QStringLiteral("Καλημέρα"), QStringLiteral(",6911111111"));
    }
    // The preview, when it shows, is answered by pressing that button.
    void pressInPreview(const char* button, QString* statusText = nullptr)
    {
        m_fx.modals().then([=](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Export&>(form);
            if (statusText)
                *statusText = dialog.SBar()->Panel(1)->Text();
            dialog.findChild<QPushButton*>(QLatin1String(button))->click();
        });
    }
    void exportMessage(qint64 id, const QString& table = QStringLiteral("outbox_messages"))
    {
        rt::Forms::get<frmMessage_Export>().ExportMessage(table, qint32(id));
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.modals = true, .fileDialogs = true, .errorReporter = false}),
                 qPrintable(m_fx.error()));
    }
    void cleanup() { m_fx.stop(); }

    void recipientsLine_data()
    {
        QTest::addColumn<QString>("phones");
        QTest::addColumn<QString>("line");
        QTest::newRow("no extra numbers") << ",6911111111,6922222222"
                                          << ",6911111111,6922222222";
        QTest::newRow("a fixed number") << "2101234567,0210123456"
                                        << "2101234567,30210123456";
        QTest::newRow("empty places stay") << "0,,6"
                                           << "30,,6";
        QTest::newRow("none") << ""
                              << "";
    }
    void recipientsLine()
    {
        QFETCH(QString, phones);
        QFETCH(QString, line);
        QCOMPARE(frmMessage_Export::FormatRecipients(phones), line);
    }

    void exportTextPerMessage_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("flash");
        QTest::addColumn<QVariant>("schDate");
        QTest::addColumn<QVariant>("schTime");
        QTest::addColumn<QString>("typeLine");
        QTest::addColumn<QString>("scheduleLine");
        QTest::newRow("out-box, at once")
            << "outbox_messages" << false << QVariant() << QVariant() << "Τύπος Μηνύματος: Normal"
            << "Προγρ/μένη Ημ/νία: Άμεση";
        QTest::newRow("sent, flash, scheduled")
            << "sended_messages" << true << QVariant(QStringLiteral("2024-03-06"))
            << QVariant(QStringLiteral("18:30")) << "Τύπος Μηνύματος: Flash"
            << "Προγρ/μένη Ημ/νία: 06/03/2024 - 18:30";
    }
    void exportTextPerMessage()
    {
        QFETCH(QString, table);
        QFETCH(bool, flash);
        QFETCH(QVariant, schDate);
        QFETCH(QVariant, schTime);
        QFETCH(QString, typeLine);
        QFETCH(QString, scheduleLine);
        const qint64 id = addMessage(table, QStringLiteral("Τ"), flash, schDate, schTime,
                                     QStringLiteral("Γραμμή 1\r\nΓραμμή 2"),
                                     QStringLiteral(",6911111111,0210123456"));
        const QString path = m_fx.folder().file(QStringLiteral("out.txt"));
        m_fx.files().answer(path);
        pressInPreview("cmdExport");
        exportMessage(id, table);

        const QString expected =
            QStringLiteral("Αποστολέας: Κατάστημα") + crlf + crlf + typeLine + crlf + crlf +
            scheduleLine + crlf + crlf + QStringLiteral("Μήνυμα: ") + crlf +
            QStringLiteral("Γραμμή 1\r\nΓραμμή 2") + crlf + crlf + QStringLiteral("Παραλήπτες: ") +
            crlf + QStringLiteral(",6911111111,30210123456") + crlf;
        // Greek in the code page's single bytes: the file equals the preview and a CR LF.
        QCOMPARE(readAll(path), rt::cp1253::fromUnicode(expected));
        QCOMPARE(readAll(path).left(2), QByteArray("\xC1\xF0"));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Export")));
    }

    void previewShowsTheTextAndTheNewFile()
    {
        const QString path = m_fx.folder().file(QStringLiteral("new.txt"));
        m_fx.files().answer(path);
        QString status;
        QString shown;
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Export&>(form);
            status = dialog.SBar()->Panel(1)->Text();
            shown = dialog.txtMsg()->Text();
            QVERIFY(dialog.isVisible());
            QVERIFY(!QFile::exists(path)); // nothing before Export
            dialog.cmdCancel()->click();
        });
        exportMessage(plainMessage());
        QCOMPARE(status, path);
        QVERIFY(shown.startsWith(QStringLiteral("Αποστολέας: Κατάστημα\n\n")));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Export")));
    }

    void theTitleProposesTheFileName_data()
    {
        QTest::addColumn<QVariant>("title");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("titled") << QVariant(QStringLiteral("Προσφορά")) << "Προσφορά.txt";
        QTest::newRow("no title") << QVariant() << ".txt";
        // What a name here cannot hold, and the double quote, which the save dialog reads
        // as the start of a list of names, become "_".
        QTest::newRow("a slash") << QVariant(QStringLiteral("Προσφορά 1/2")) << "Προσφορά 1_2.txt";
        QTest::newRow("slashes at both ends and twice")
            << QVariant(QStringLiteral("/Α//Β/")) << "_Α__Β_.txt";
        QTest::newRow("only a slash") << QVariant(QStringLiteral("/")) << "_.txt";
        QTest::newRow("double quotes")
            << QVariant(QStringLiteral("Προσφορά \"Πάσχα\"")) << "Προσφορά _Πάσχα_.txt";
        QTest::newRow("a NUL from another program")
            << QVariant(QStringLiteral("Α") + QChar::Null + QStringLiteral("Β")) << "Α_Β.txt";
        // Every other character stands in a name here, and the dialog keeps it.
        QTest::newRow("kept as they stand")
            << QVariant(QStringLiteral("Α\\Β:Γ*Δ?Ε<Ζ>Η|Θ 'Ι' . ")) << "Α\\Β:Γ*Δ?Ε<Ζ>Η|Θ 'Ι' . .txt";
        QTest::newRow("dots") << QVariant(QStringLiteral("..")) << "...txt";
    }
    void theTitleProposesTheFileName()
    {
        QFETCH(QVariant, title);
        QFETCH(QString, fileName);
        exportMessage(plainMessage(title)); // the save dialog is cancelled
        QCOMPARE(m_fx.files().requests().size(), 1);
        QCOMPARE(m_fx.files().requests().first().kind, rt::FileDialogRequest::Save);
        QCOMPARE(m_fx.files().requests().first().fileName, fileName);
        QCOMPARE(m_fx.files().requests().first().filter, QStringLiteral("Text (*.txt)|*.txt"));
        QVERIFY(m_fx.modals().shownNames().isEmpty());
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Export")));
    }

    void existingFileAsksAndNoAsksForAnotherName()
    {
        const QString old = m_fx.folder().file(QStringLiteral("old.txt"));
        const QString other = m_fx.folder().file(QStringLiteral("other.txt"));
        QVERIFY(writeFile(old, "keep"));
        m_fx.files().answer(old);
        m_fx.files().answer(other);
        m_fx.boxes().answer(rt::mb::No);
        QString status;
        pressInPreview("cmdExport", &status);
        exportMessage(plainMessage());
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Υπάρχει ήδη κάποιο αρχείο με αυτό το όνομα.\n"
                                "Θέλετε να το αντικαταστήσετε;"));
        QCOMPARE(m_fx.boxes().shown().first().style, 35);
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("Εξαγωγή Μηνύματος σε Αρχείο"));
        QCOMPARE(m_fx.files().requests().size(), 2);
        QCOMPARE(readAll(old), QByteArray("keep"));
        QCOMPARE(status, other);
        QVERIFY(readAll(other).startsWith(rt::cp1253::fromUnicode(QStringLiteral("Αποστολέας"))));
    }

    void existingFileYesReplacesItWithAnEmptyStatusBar()
    {
        const QString old = m_fx.folder().file(QStringLiteral("old.txt"));
        QVERIFY(writeFile(old, QByteArray(5000, 'z')));
        m_fx.files().answer(old);
        m_fx.boxes().answer(rt::mb::Yes);
        QString status = QStringLiteral("unset");
        pressInPreview("cmdExport", &status);
        exportMessage(plainMessage());
        QCOMPARE(status.trimmed(), QString());
        QVERIFY(readAll(old).startsWith(rt::cp1253::fromUnicode(QStringLiteral("Αποστολέας"))));
        QVERIFY(!readAll(old).contains('z'));
    }

    void existingFileCancelEndsWithoutPreview()
    {
        const QString old = m_fx.folder().file(QStringLiteral("old.txt"));
        QVERIFY(writeFile(old, "keep"));
        m_fx.files().answer(old);
        m_fx.boxes().answer(rt::mb::Cancel);
        exportMessage(plainMessage());
        QCOMPARE(m_fx.files().requests().size(), 1);
        QVERIFY(m_fx.modals().shownNames().isEmpty());
        QCOMPARE(readAll(old), QByteArray("keep"));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Export")));
    }

    // Any file that is there is replaced only after Yes, hidden ones too (every name that
    // begins with a dot); No keeps its bytes and shows the save dialog again (cancelled
    // here). A name that differs in letter case alone is another file on this system.
    void anExistingFileIsReplacedOnlyAfterYes_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("answer"); // 0: no question wanted
        QTest::newRow("plain, No") << "old.txt"
                                   << "old.txt" << int(rt::mb::No);
        QTest::newRow("plain, Yes") << "old.txt"
                                    << "old.txt" << int(rt::mb::Yes);
        QTest::newRow("hidden, No") << ".hidden.txt"
                                    << ".hidden.txt" << int(rt::mb::No);
        QTest::newRow("hidden, Yes") << ".hidden.txt"
                                     << ".hidden.txt" << int(rt::mb::Yes);
        QTest::newRow("another letter case") << "Old.txt"
                                             << "old.txt" << 0;
    }
    void anExistingFileIsReplacedOnlyAfterYes()
    {
        QFETCH(QString, existing);
        QFETCH(QString, chosen);
        QFETCH(int, answer);
        const QString old = m_fx.folder().file(existing);
        const QString path = m_fx.folder().file(chosen);
        QVERIFY(writeFile(old, "keep"));
        m_fx.files().answer(path);
        m_fx.files().answer(std::nullopt); // the dialog again, after No
        if (answer != 0)
            m_fx.boxes().answer(answer);
        pressInPreview("cmdExport");
        exportMessage(plainMessage());

        QCOMPARE(m_fx.boxes().shown().size(), answer != 0 ? 1 : 0);
        if (answer != 0) {
            QCOMPARE(m_fx.boxes().shown().first().style, 35);
            QCOMPARE(m_fx.files().requests().size(), answer == rt::mb::No ? 2 : 1);
        }
        const bool replaced = answer != rt::mb::No;
        QCOMPARE(m_fx.modals().shownNames().size(), replaced ? 1 : 0);
        QCOMPARE(readAll(path).startsWith(rt::cp1253::fromUnicode(QStringLiteral("Αποστολέας"))),
                 replaced);
        if (!replaced || old != path)
            QCOMPARE(readAll(old), QByteArray("keep"));
    }

    void aHiddenFileIsNotReplacedWithoutTheQuestion()
    {
        // A message without a title proposes ".txt", a hidden file on this platform.
        const QString hidden = m_fx.folder().file(QStringLiteral(".txt"));
        QVERIFY(writeFile(hidden, "keep"));
        m_fx.files().answer(hidden);
        m_fx.boxes().answer(rt::mb::Cancel);
        exportMessage(plainMessage(QVariant()));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(readAll(hidden), QByteArray("keep"));
    }

    void aFileThatCannotBeWrittenIsShownAndTheDialogCloses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << QStringLiteral("missing/folder/out.txt");
        QTest::newRow("a folder") << QStringLiteral("folder");
    }
    void aFileThatCannotBeWrittenIsShownAndTheDialogCloses()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(m_fx.folder().path()).mkdir(QStringLiteral("folder")));
        m_fx.files().answer(m_fx.folder().file(name));
        pressInPreview("cmdExport");
        exportMessage(plainMessage());
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Σφάλμα: 75\nPath/File access error"));
        QCOMPARE(m_fx.boxes().shown().first().style, 48);
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("Εξαγωγή Μηνύματος σε Αρχείο"));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Export")));
    }

    // A disk that fills up while the file is written is named as such, and the file
    // that was there stays as it was. The file-size limit makes the full disk (it binds
    // root too); SIGXFSZ is ignored so that the write fails instead of ending the test.
    void aFullDiskIsShownAndKeepsTheOldFile()
    {
        const QString path = m_fx.folder().file(QStringLiteral("full.txt"));
        QVERIFY(writeFile(path, "old"));
        m_fx.files().answer(path);
        m_fx.boxes().answer(rt::mb::Yes);
        m_fx.boxes().answer(rt::mb::OK);
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_fx.modals().then([&](rt::Form& form) {
            rlimit limit = before;
            limit.rlim_cur = 16;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
            form.findChild<QPushButton*>(QStringLiteral("cmdExport"))->click();
            setrlimit(RLIMIT_FSIZE, &before);
        });
        exportMessage(plainMessage());
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(m_fx.boxes().shown().size(), 2);
        QCOMPARE(m_fx.boxes().shown().at(1).text, QStringLiteral("Σφάλμα: 61\nDisk full"));
        QCOMPARE(m_fx.boxes().shown().at(1).style, 48);
        QCOMPARE(readAll(path), QByteArray("old"));
        QCOMPARE(QDir(m_fx.folder().path())
                     .entryList({QStringLiteral("*full*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("full.txt")});
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Export")));
    }

    void aMissingRowReachesTheCaller()
    {
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, exportMessage(4711));
        QVERIFY(m_fx.files().requests().isEmpty());
        QVERIFY_THROWS_EXCEPTION(
            rt::RuntimeError, exportMessage(plainMessage(), QStringLiteral("outbox_messages x")));
    }

    void previewLayout()
    {
        const QString path = m_fx.folder().file(QStringLiteral("new.txt"));
        m_fx.files().answer(path);
        m_fx.modals().then([&](rt::Form& form) {
            auto& dialog = static_cast<frmMessage_Export&>(form);
            QVERIFY(!dialog.txtMsg()->geometry().intersects(dialog.frButtons()->geometry()));
            QVERIFY(!dialog.frButtons()->geometry().intersects(dialog.SBar()->geometry()));
            QVERIFY(dialog.rect().contains(dialog.frButtons()->geometry()));
            QVERIFY(QFontMetrics(dialog.cmdExport()->font()).inFont(QChar(0x0395)));
            if (qEnvironmentVariableIsSet("VANTREL_GRAB"))
                dialog.grab().save(
                    testsupport::picturePath(QStringLiteral("frmMessage_Export.png")));
            dialog.cmdCancel()->click();
        });
        exportMessage(plainMessage());
    }
};

QTEST_MAIN(tst_frmmessage_export)
#include "tst_frmmessage_export.moc"
