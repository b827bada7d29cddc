#include "app/frmError_Log.h"
#include "app/mdlDialogs.h"
#include "platform/App.h"
#include "platform/Clock.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/StatusBar.h"
#include "tests/support/Seams.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

class frmSplash : public rt::Form {
public:
    frmSplash() : rt::Form(QStringLiteral("frmSplash")) {}
};

class frmMain : public rt::Form {
public:
    frmMain() : rt::Form(QStringLiteral("frmMain")) {}
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setErr(int number, const QString& description, const QVariant& source)
{
    rt::Err().Number = number;
    rt::Err().Description = description;
    rt::Err().Source = source;
}

} // namespace

class tst_dialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    rt::TestClock m_clock{QDateTime(QDate(2023, 3, 15), QTime(9, 5, 30))};
    QString logPath() const { return m_dir.filePath(QStringLiteral("ERROR.LOG")); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        rt::App::setPath(m_dir.path());
        rt::setClock(&m_clock);
        QFile::remove(logPath());
        rt::Err().Clear();
    }
    void cleanup()
    {
        rt::Forms::discardAll();
        rt::setClock(nullptr);
        rt::App::setPath(QString());
    }

    void settingsBoxesAreNotLogged_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("missing") << -1
                                 << QStringLiteral("Το αρχείο ρυθμίσεων του προγράμματος δεν βρέθηκε..");
        QTest::newRow("foreign")
            << -2 << QStringLiteral("Ο Τύπος του αρχείου ρυθμίσεων του προγράμματος δεν είναι σωστός.");
        QTest::newRow("unreadable")
            << -3 << QStringLiteral("Παρουσιάστηκε κάποιο σφάλμα κατά την ανάγνωση των ρυθμίσεων");
    }
    void settingsBoxesAreNotLogged()
    {
        QFETCH(int, code);
        QFETCH(QString, firstLine);
        testsupport::ScriptedMessageBoxes boxes;
        setErr(53, QStringLiteral("File not found"), QStringLiteral("Vantrel"));
        QCOMPARE(mdlDialogs::ShowErrorMessage(code), int(rt::mb::OK));
        QCOMPARE(boxes.shown().size(), 1);
        const testsupport::ShownBox box = boxes.shown().first();
        QCOMPARE(box.icon(), int(rt::mb::Critical));
        QCOMPARE(box.buttons(), int(rt::mb::OKOnly));
        QCOMPARE(box.title, QStringLiteral("Vantrel"));
        const QStringList lines = box.text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.first(), firstLine);
        QCOMPARE(lines.last(),
                 QStringLiteral("Επικοινωνήστε με την Nerq για περισσότερες πληροφορίες."));
        QVERIFY(!QFile::exists(logPath()));
    }

    void settingsSaveFailureLogsTheCurrentError()
    {
        testsupport::ScriptedMessageBoxes boxes;
        setErr(75, QStringLiteral("Path/File\naccess error"), QStringLiteral("mdlSettings"));
        mdlDialogs::ShowErrorMessage(-4);
        const QStringList lines = boxes.shown().first().text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.last(), QStringLiteral("Αν το πρόβλημα επιμείνει επικοινωνήστε με την Nerq"));
        QCOMPARE(readAll(logPath()),
                 QByteArray("\"15/03/2023\",\"09:05\",\"Error: 75\",\"Descr: Path/File access "
                            "error\",\"Source: mdlSettings\"\r\n"));
    }

    void otherCodesShowAndLogTheRunTimeError()
    {
        testsupport::ScriptedMessageBoxes boxes;
        setErr(3024, QStringLiteral("Αδύνατη η εύρεση του αρχείου SMS.mdb"), QStringLiteral("DAO"));
        mdlDialogs::ShowErrorMessage(0);
        const testsupport::ShownBox box = boxes.shown().first();
        QCOMPARE(box.icon(), int(rt::mb::Exclamation));
        QCOMPARE(box.text, QStringLiteral("Σφάλμα: 3024\nΑδύνατη η εύρεση του αρχείου SMS.mdb"));
        const QByteArray expected = rt::cp1253::fromUnicode(QStringLiteral(
            "\"15/03/2023\",\"09:05\",\"Error: 0\",\"Descr: Σφάλμα: 3024 Αδύνατη η εύρεση του "
            "αρχείου SMS.mdb\",\"Source: DAO\"\r\n"));
        QCOMPARE(readAll(logPath()), expected);
    }

    void logAppendsAndWritesEmptyFieldForNullSource()
    {
        mdlDialogs::WriteErrorLog(-700, QVariant(), QStringLiteral("a \"quoted\" text"));
        mdlDialogs::WriteErrorLog(1, QStringLiteral("x"), QStringLiteral("second"));
        const QList<QByteArray> lines = readAll(logPath()).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0),
                 QByteArray("\"15/03/2023\",\"09:05\",\"Error: -700\",\"Descr: a \"quoted\" "
                            "text\",\"\"\r"));
        QVERIFY(lines.at(1).startsWith("\"15/03/2023\",\"09:05\",\"Error: 1\""));
    }

    void logFileIsFoundWithoutRegardToCase()
    {
        QFile other(m_dir.filePath(QStringLiteral("Error.log")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        mdlDialogs::WriteErrorLog(1, QVariant(), QStringLiteral("x"));
        QVERIFY(readAll(m_dir.filePath(QStringLiteral("Error.log"))).contains("Error: 1"));
        QFile::remove(m_dir.filePath(QStringLiteral("Error.log")));
    }

    void boxesUnloadTheSplash()
    {
        testsupport::ScriptedMessageBoxes boxes;
        rt::Forms::get<frmSplash>();
        boxes.onShow([](const testsupport::ShownBox&) {
            QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSplash")));
        });
        mdlDialogs::ShowErrorMessage(-1);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSplash")));
        rt::Forms::get<frmSplash>();
        mdlDialogs::AskUser(1);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSplash")));
    }

    void fixedQuestions()
    {
        testsupport::ScriptedMessageBoxes boxes;
        boxes.answer(rt::mb::No);
        QCOMPARE(mdlDialogs::AskUser(1), int(rt::mb::No));
        const testsupport::ShownBox first = boxes.shown().at(0);
        QCOMPARE(first.buttons(), int(rt::mb::YesNo));
        QCOMPARE(first.icon(), int(rt::mb::Question));
        const QStringList lines = first.text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(1), QStringLiteral("Μπορείτε να συμπληρώσετε  τα στοιχεία αργότερα από "
                                             "το μενού \"Εργαλεία\""));
        QCOMPARE(lines.at(2), QStringLiteral("επιλέγοντας το \"Παράμετροι Προγράμματος\"."));
        QCOMPARE(lines.at(4), QString());
        QCOMPARE(lines.at(5), QStringLiteral("Θέλετε να συμπληρώσετε αυτά τα στοιχεία τώρα;"));

        QCOMPARE(mdlDialogs::AskUser(2), int(rt::mb::OK));
        QCOMPARE(boxes.shown().at(1).text, QStringLiteral("Ο κωδικός που δώσατε δεν είναι σωστός.\n"));
        QCOMPARE(boxes.shown().at(1).icon(), int(rt::mb::Critical));

        mdlDialogs::AskUser(9);
        QCOMPARE(boxes.shown().at(2).text, QString());
        QCOMPARE(boxes.shown().at(2).title, QStringLiteral("Vantrel"));
    }

    void historyWindowShowsTheLog()
    {
        QFile file(logPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rt::cp1253::fromUnicode(
            QStringLiteral("\"15/03/2023\",\"09:05\",\"Error: 0\",\"Descr: a,b\",\"\"\r\n")));
        file.close();
        frmError_Log& log = rt::Forms::get<frmError_Log>();
        QCOMPARE(log.windowTitle(), QStringLiteral("NerqSMS - Ιστορικό Σφαλμάτων"));
        QCOMPARE(log.txtLog()->toPlainText(),
                 QStringLiteral("15/03/2023, 09:05, Error: 0, Descr: a, b, \n"));
        QCOMPARE(log.SBar()->Panel(1)->Text(),
                 QStringLiteral("Αρχείο: ") + m_dir.path() + QStringLiteral("/Error.LOG"));
        QCOMPARE(log.txtLog()->textCursor().position(), log.txtLog()->toPlainText().size());
    }

    void clearingTheLogAsksFirst()
    {
        mdlDialogs::WriteErrorLog(0, QVariant(), QStringLiteral("x"));
        frmError_Log& log = rt::Forms::get<frmError_Log>();
        testsupport::ScriptedMessageBoxes boxes;
        boxes.answer(rt::mb::No);
        log.mnClearLog_Click();
        QCOMPARE(boxes.shown().first().title, QStringLiteral("ΚΑΘΑΡΙΣΜΟΣ ΙΣΤΟΡΙΚΟΥ"));
        QCOMPARE(boxes.shown().first().text,
                 QStringLiteral("Θέλετε να \"αδειάσετε\" το Ιστορικό Σφαλμάτων;"));
        QVERIFY(!log.txtLog()->toPlainText().isEmpty());
        QVERIFY(QFile::exists(logPath()));
        boxes.answer(rt::mb::Yes);
        log.mnClearLog_Click();
        QVERIFY(log.txtLog()->toPlainText().isEmpty());
        QVERIFY(!QFile::exists(logPath()));
    }

    void historyOpensOverTheMainWindow_data()
    {
        QTest::addColumn<QPoint>("mainAt");
        QTest::newRow("upper left") << QPoint(10, 20);
        QTest::newRow("lower right") << QPoint(150, 120);
    }
    void historyOpensOverTheMainWindow()
    {
        QFETCH(QPoint, mainAt);
        frmMain& main = rt::Forms::get<frmMain>();
        main.setGeometry(QRect(mainAt, QSize(660, 460)));
        main.show();
        QTRY_COMPARE(main.geometry().topLeft(), mainAt);
        frmError_Log& log = rt::Forms::get<frmError_Log>();
        log.show();
        const QPoint offset = log.frameGeometry().center() - main.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }

    void missingLogLeavesTheWindowEmpty()
    {
        frmError_Log& log = rt::Forms::get<frmError_Log>();
        QVERIFY(log.txtLog()->toPlainText().isEmpty());
        log.show();
        log.resize(300, 200);
        QVERIFY(log.txtLog()->width() == 300);
        QVERIFY(log.txtLog()->geometry().bottom() < log.SBar()->geometry().top());
        log.resize(1, 1); // a tiny window is harmless
        log.mnClose_Click();
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmError_Log")));
    }
};

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
