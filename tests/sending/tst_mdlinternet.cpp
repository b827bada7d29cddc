#include "platform/App.h"
#include "platform/Cp1253.h"
#include "sending/mdlInternet.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

using namespace mdlInternet;

namespace {

QByteArray bytes(const QString& text)
{
    return rt::cp1253::fromUnicode(text);
}

const QString head = QStringLiteral("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n");

} // namespace

class tst_mdlinternet : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    const Account m_account{QStringLiteral("h"), 80, QStringLiteral("u"), QStringLiteral("p")};

    QString sendFields(const QString& text, const QString& phones) const
    {
        return BuildSendFields(QStringLiteral("Shop"), text, phones, QVariant(), QVariant(), false,
                               QString());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        rt::App::setPath(m_folder.path());
    }
    void cleanup() { QFile::remove(m_folder.filePath(QStringLiteral("TESTMODE.TST"))); }

    void creditsRequestBytes()
    {
        QCOMPARE(bytes(BuildRequest(QStringLiteral("credits.php"), QString(), m_account)),
                 QByteArray("POST /prog/credits.php HTTP/1.0\r\n"
                            "HOST: h\r\n"
                            "Content-Length: 11\r\n"
                            "Content-Type: application/x-www-form-urlencoded\r\n"
                            "\r\n"
                            "UID=u&PWD=p"));
    }

    void sendRequestBytes()
    {
        // Greek capitals with Latin look-alikes go as Latin; the other Greek letters go as
        // Windows-1253 bytes, counted one per character in Content-Length.
        const Account account{QStringLiteral("sms.example"), 8080, QStringLiteral("user 1"),
                              QStringLiteral("p&ss")};
        const QString fields = BuildSendFields(QString(), QStringLiteral("ΑΓΩ ωά 50% off & more"),
                                               QStringLiteral(",6900000003"), QVariant(),
                                               QVariant(), true, QStringLiteral("Nerq Shop"));
        const QByteArray body = "UID=user 1&PWD=p&ss"
                                "&&O=Nerq%20Shop&R=306900000003"
                                "&M=A\xC3\xD9%20\xF9\xDC%2050%25%20off%20%26%20more&F=1&VIA=0";
        QCOMPARE(bytes(BuildRequest(QStringLiteral("send.php"), fields, account)),
                 "POST /prog/send.php HTTP/1.0\r\n"
                 "HOST: sms.example\r\n"
                 "Content-Length: " +
                     QByteArray::number(body.size()) +
                     "\r\n"
                     "Content-Type: application/x-www-form-urlencoded\r\n"
                     "\r\n" +
                     body);
    }

    void loginFieldsAndBody()
    {
        // The send fields begin with "&", and the request puts one more before them.
        const QString request = BuildRequest(QStringLiteral("send.php"),
                                             sendFields(QStringLiteral("x"), QString()), m_account);
        const QString body = request.mid(request.indexOf(QStringLiteral("\r\n\r\n")) + 4);
        QVERIFY(body.startsWith(QStringLiteral("UID=u&PWD=p&&O=")));
        QVERIFY(body.endsWith(QStringLiteral("&VIA=0")));
        QCOMPARE(BuildLoginFields(m_account), QStringLiteral("UID=u&PWD=p"));
    }

    void sendFields_data()
    {
        QTest::addColumn<QString>("originator");
        QTest::addColumn<QVariant>("date");
        QTest::addColumn<QVariant>("time");
        QTest::addColumn<bool>("flash");
        QTest::addColumn<QString>("fields");
        const QVariant null;
        QTest::newRow("at once") << QStringLiteral("Shop") << null << null << false
                                 << QStringLiteral("&O=Shop&R=306900000001&M=Hi&F=0&VIA=0");
        QTest::newRow("flash") << QStringLiteral("Shop") << null << null << true
                               << QStringLiteral("&O=Shop&R=306900000001&M=Hi&F=1&VIA=0");
        QTest::newRow("scheduled")
            << QStringLiteral("Shop") << QVariant(QDate(2002, 3, 7)) << QVariant(QTime(9, 5))
            << false << QStringLiteral("&O=Shop&R=306900000001&M=Hi&F=0&D=2002.03.07.9.5&VIA=0");
        QTest::newRow("scheduled, stored as text")
            << QStringLiteral("Shop") << QVariant(QStringLiteral("2023-12-31"))
            << QVariant(QStringLiteral("23:59")) << false
            << QStringLiteral("&O=Shop&R=306900000001&M=Hi&F=0&D=2023.12.31.23.59&VIA=0");
        QTest::newRow("a date alone does not schedule")
            << QStringLiteral("Shop") << QVariant(QDate(2002, 3, 7)) << null << false
            << QStringLiteral("&O=Shop&R=306900000001&M=Hi&F=0&VIA=0");
        QTest::newRow("originator from the settings")
            << QString() << null << null << false
            << QStringLiteral("&O=Default%20Name&R=306900000001&M=Hi&F=0&VIA=0");
        QTest::newRow("originator escaped")
            << QStringLiteral("A+B=C #1&Co") << null << null << false
            << QStringLiteral("&O=A%2BB%3DC%20%231%26Co&R=306900000001&M=Hi&F=0&VIA=0");
    }
    void sendFields()
    {
        QFETCH(QString, originator);
        QFETCH(QVariant, date);
        QFETCH(QVariant, time);
        QFETCH(bool, flash);
        QFETCH(QString, fields);
        QCOMPARE(BuildSendFields(originator, QStringLiteral("Hi"), QStringLiteral("6900000001"),
                                 date, time, flash, QStringLiteral("Default Name")),
                 fields);
    }

    void testModeMarker_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::newRow("as named") << QStringLiteral("TESTMODE.TST");
        QTest::newRow("other letter case") << QStringLiteral("testmode.tst");
    }
    void testModeMarker()
    {
        QFETCH(QString, marker);
        QVERIFY(!sendFields(QStringLiteral("x"), QString()).contains(QStringLiteral("&T=1")));
        QFile file(m_folder.filePath(marker));
        QVERIFY(file.open(QIODevice::WriteOnly)); // empty: only its presence counts
        file.close();
        QVERIFY(sendFields(QStringLiteral("x"), QString()).endsWith(QStringLiteral("&T=1&VIA=0")));
        QFile::remove(file.fileName());
        QVERIFY(!sendFields(QStringLiteral("x"), QString()).contains(QStringLiteral("&T=1")));
    }

    void encoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("formValue");
        QTest::addColumn<QString>("messageText");
        QTest::newRow("escapes") << QStringLiteral("50% off & more")
                                 << QStringLiteral("50%25%20off%20%26%20more")
                                 << QStringLiteral("50%25%20off%20%26%20more");
        QTest::newRow("percent first")
            << QStringLiteral("%2B+") << QStringLiteral("%252B%2B") << QStringLiteral("%252B%2B");
        QTest::newRow("all six") << QStringLiteral("a+b=c#d e&f")
                                 << QStringLiteral("a%2Bb%3Dc%23d%20e%26f")
                                 << QStringLiteral("a%2Bb%3Dc%23d%20e%26f");
        QTest::newRow("look-alike capitals")
            << QStringLiteral("ΑΒΕΖΗΙΚΜΝΟΡΤΥΧ") << QStringLiteral("ΑΒΕΖΗΙΚΜΝΟΡΤΥΧ")
            << QStringLiteral("ABEZHIKMNOPTYX");
        QTest::newRow("other Greek as it is")
            << QStringLiteral("ΓΔΘΛΞΠΣΦΨΩ αωά") << QStringLiteral("ΓΔΘΛΞΠΣΦΨΩ%20αωά")
            << QStringLiteral("ΓΔΘΛΞΠΣΦΨΩ%20αωά");
        QTest::newRow("line breaks unchanged")
            << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
    }
    void encoding()
    {
        QFETCH(QString, text);
        QFETCH(QString, formValue);
        QFETCH(QString, messageText);
        QCOMPARE(EncodeFormValue(text), formValue);
        QCOMPARE(EncodeMessageText(text), messageText);
    }

    void phoneList_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("sent");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("leading comma") << QStringLiteral(",6900000003,306900000004")
                                       << QStringLiteral("306900000003,306900000004");
        QTest::newRow("doubled comma") << QStringLiteral("6900000001,,6900000002")
                                       << QStringLiteral("306900000001,306900000002");
        QTest::newRow("trailing comma")
            << QStringLiteral("6900000001,") << QStringLiteral("306900000001");
        QTest::newRow("commas only") << QStringLiteral(",,,") << QString();
        QTest::newRow("other numbers kept")
            << QStringLiteral("2101234567,0030697") << QStringLiteral("2101234567,0030697");
    }
    void phoneList()
    {
        QFETCH(QString, stored);
        QFETCH(QString, sent);
        QCOMPARE(NormalizePhoneList(stored), sent);
        QCOMPARE(sendFields(QStringLiteral("x"), stored),
                 QStringLiteral("&O=Shop&R=") + sent + QStringLiteral("&M=x&F=0&VIA=0"));
    }

    void tagValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value"); // invalid: none
        const QVariant none;
        QTest::newRow("number") << QStringLiteral("<result>1234</result>")
                                << QVariant(QStringLiteral("1234"));
        QTest::newRow("empty element")
            << QStringLiteral("<result></result>") << QVariant(QString(""));
        QTest::newRow("no closing tag") << QStringLiteral("<result>12") << none;
        QTest::newRow("no opening name") << QStringLiteral("12</resul>") << none;
        QTest::newRow("closing tag alone") << QStringLiteral("</result>") << none;
        // The bare name is searched: the first "result" anywhere is the one read.
        QTest::newRow("name in a header") << QStringLiteral("X-result: 1\r\n\r\n<result>5</result>")
                                          << QVariant(QStringLiteral(" 1\r\n\r\n<result>5"));
        QTest::newRow("closing tag ends at 32,767")
            << QString(32756, QLatin1Char('x')) + QStringLiteral("<result>5</result>")
            << QVariant(QStringLiteral("5"));
        QTest::newRow("closing tag beyond 32,767")
            << QString(32757, QLatin1Char('x')) + QStringLiteral("<result>5</result>") << none;
    }
    void tagValue()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        const std::optional<QString> got = GetTagValue(text, QStringLiteral("result"));
        QCOMPARE(got.has_value(), value.isValid());
        if (got)
            QCOMPARE(*got, value.toString());
    }

    void reply_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("code");
        QTest::newRow("nothing") << QString() << -31000;
        QTest::newRow("message id") << head + QStringLiteral("<result>12</result>") << 12;
        QTest::newRow("server code") << head + QStringLiteral("<result>-400</result>") << -400;
        QTest::newRow("zero") << head + QStringLiteral("<result>0</result>") << 0;
        QTest::newRow("blanks around") << head + QStringLiteral("<result> 7\r\n</result>") << 7;
        QTest::newRow("head only") << head << -32000;
        QTest::newRow("empty element") << head + QStringLiteral("<result></result>") << -32000;
        QTest::newRow("no closing tag") << head + QStringLiteral("<result>12") << -32000;
        QTest::newRow("not a number") << head + QStringLiteral("<result>OK</result>") << -32000;
        QTest::newRow("not whole") << head + QStringLiteral("<result>1.5</result>") << -32000;
        QTest::newRow("beyond 32 bits")
            << head + QStringLiteral("<result>2147483648</result>") << -32000;
        QTest::newRow("32-bit limit")
            << head + QStringLiteral("<result>-2147483648</result>") << int(-2147483647 - 1);
        QTest::newRow("letter case") << head + QStringLiteral("<RESULT>5</RESULT>") << -32000;
        QTest::newRow("tag beyond 32,767")
            << head + QString(40000, QLatin1Char(' ')) + QStringLiteral("<result>5</result>")
            << -32000;
    }
    void reply()
    {
        QFETCH(QString, reply);
        QFETCH(int, code);
        WebImportReply = QStringLiteral("untouched");
        QCOMPARE(ReadReply(reply), code);
        QCOMPARE(WebImportReply, QStringLiteral("untouched"));
    }

    void importReply()
    {
        const QString inner =
            QStringLiteral("<groups>1</groups><group><id>7</id><name>Πελάτες</name>"
                           "<numbers>6900000001,6900000002</numbers><parent>0</parent></group>");
        WebImportReply.clear();
        QVERIFY(ReadReply(head + QStringLiteral("<result>") + inner +
                          QStringLiteral("</result>")) >= 0);
        QCOMPARE(WebImportReply, inner);

        // The viewer's reading of it.
        const std::optional<QString> count = GetElement(QStringLiteral("groups"), inner);
        QCOMPARE(count.value_or(QString()), QStringLiteral("<groups>1</groups>"));
        QCOMPARE(StripOuterTag(*count), QStringLiteral("1"));
        const std::optional<QString> group = GetElement(QStringLiteral("group"), inner);
        QVERIFY(group && group->endsWith(QStringLiteral("</parent></group>")));
        QCOMPARE(StripOuterTag(GetElement(QStringLiteral("name"), *group).value_or(QString())),
                 QStringLiteral("Πελάτες"));

        // An import reply whose result cannot be read leaves nothing for the viewer.
        WebImportReply.clear();
        QCOMPARE(ReadReply(head + QStringLiteral("<result><groups>1</groups>")), -32000);
        QVERIFY(WebImportReply.isEmpty());
    }

    void elements_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("element"); // invalid: none
        const QVariant none;
        QTest::newRow("first of two")
            << QStringLiteral("id") << QStringLiteral("a<id>1</id><id>2</id>")
            << QVariant(QStringLiteral("<id>1</id>"));
        QTest::newRow("missing opening tag")
            << QStringLiteral("id") << QStringLiteral("1</id>") << none;
        QTest::newRow("missing closing tag")
            << QStringLiteral("id") << QStringLiteral("<id>1") << none;
        QTest::newRow("closing before opening")
            << QStringLiteral("id") << QStringLiteral("</id><id>") << none;
        QTest::newRow("beyond 32,767")
            << QStringLiteral("id")
            << QString(32767, QLatin1Char(' ')) + QStringLiteral("<id>1</id>") << none;
    }
    void elements()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QFETCH(QVariant, element);
        const std::optional<QString> got = GetElement(tag, text);
        QCOMPARE(got.has_value(), element.isValid());
        if (got)
            QCOMPARE(*got, element.toString());
    }

    void stripOuterTag_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("rest");
        QTest::newRow("id") << QStringLiteral("<id>17</id>") << QStringLiteral("17");
        QTest::newRow("every tag of the name")
            << QStringLiteral("<n>a<n>b</n></n>") << QStringLiteral("ab");
        QTest::newRow("other tags stay")
            << QStringLiteral("<g><id>1</id></g>") << QStringLiteral("<id>1</id>");
        QTest::newRow("no tag") << QStringLiteral("17") << QStringLiteral("17");
    }
    void stripOuterTag()
    {
        QFETCH(QString, element);
        QFETCH(QString, rest);
        QCOMPARE(StripOuterTag(element), rest);
    }

    void serverErrorTexts()
    {
        QCOMPARE(ServerErrorText(-700),
                 QStringLiteral("Παρουσιάστηκε σφάλμα που οφείλεται σε κάποιο απο τους αριθμούς "
                                "τηλεφώνου\r\n"
                                "των παραληπτών που έχετε καταχωρήσει. Σιγουρευτείτε οτι όλοι οι "
                                "αριθμοί\r\n"
                                "που περιέχει το μήνυμα είναι σωστοί (δεν περιέχουν άλλους "
                                "χαρακτήρες εκτώς\r\n"
                                "απο αριθμούς) και προσπαθήστε ξανά."));
        QCOMPARE(ServerErrorText(-31000),
                 QStringLiteral("Η σύνδεση με τον διακομιστή μηνυμάτων απέτυχε.\n"
                                "\n"
                                "Παρακαλώ σιγουρευτείτε ότι η σύνδεσή σας είναι ανοικτή.\n"
                                "Ελέγξτε αν η Διεύθυνση του διακομιστή είναι σωστή απο το\n"
                                "μενού \"Εργαλεία\" - \"Επιλογές Σύνδεσης\"\n"
                                "\n"
                                "Αν το πρόβλημα επιμείνει επικοινωνήστε με την Nerq."));
        QCOMPARE(ServerErrorText(-300),
                 QStringLiteral("Το Όνομα Χρήστη ή ο Κωδικός Πρόσβασης που έχετε δώσει δεν είναι "
                                "σωστά.\r\n"
                                "Απο το μενού \"Εργαλεία\" επιλέξτε το \"Παράμετροι "
                                "Προγράμματος\" και διορθώστε\r\n"
                                "τα στοιχεία σας."));
        QCOMPARE(
            ServerErrorText(-32000),
            QStringLiteral("Παρουσιάστηκε σφάλμα κατά τη λήψη πληροφοριών απο τον διακομιστή."));
        const QList<int> table{-200, -300, -400, -500, -600, -700, -701, -800, -900};
        for (int code : table) {
            // Lines joined by CR LF, no other line break.
            QString text = ServerErrorText(code);
            QVERIFY2(!text.isEmpty(), qPrintable(QString::number(code)));
            text.remove(QStringLiteral("\r\n"));
            QVERIFY(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')));
        }
        QCOMPARE(ServerErrorText(-800).count(QStringLiteral("\r\n")), 0);
        QCOMPARE(ServerErrorText(-900).count(QStringLiteral("\r\n")), 1);
        for (int code : {-1, 5, 0, 12, -100})
            QVERIFY(ServerErrorText(code).isEmpty());
    }

    void settingsComplete_data()
    {
        QTest::addColumn<QString>("originator");
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("complete");
        const QString o = QStringLiteral("Shop"), s = QStringLiteral("h"), u = QStringLiteral("u"),
                      p = QStringLiteral("p");
        QTest::newRow("all given") << o << s << 80 << u << p << true;
        QTest::newRow("no originator") << QString() << s << 80 << u << p << false;
        QTest::newRow("no server") << o << QString() << 80 << u << p << false;
        QTest::newRow("port 0") << o << s << 0 << u << p << false;
        QTest::newRow("no user") << o << s << 80 << QString() << p << false;
        QTest::newRow("no password") << o << s << 80 << u << QString() << false;
    }
    void settingsComplete()
    {
        QFETCH(QString, originator);
        QFETCH(QString, server);
        QFETCH(int, port);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, complete);
        QCOMPARE(ConnectionSettingsComplete(Account{server, port, user, password}, originator),
                 complete);
    }
};

QTEST_MAIN(tst_mdlinternet)
#include "tst_mdlinternet.moc"
