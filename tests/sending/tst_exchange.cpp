#include "platform/App.h"
#include "platform/Cp1253.h"
#include "sending/TCPSender.h"
#include "sending/mdlInternet.h"
#include "tests/support/FakeSmsService.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using testsupport::FakeSmsService;
using Answer = FakeSmsService::Answer;
using namespace mdlInternet;

Q_DECLARE_METATYPE(FakeSmsService::Answer)

namespace {

QByteArray reply(qint32 code)
{
    return FakeSmsService::resultReply(QString::number(code));
}

int headLength(const QByteArray& reply)
{
    return int(reply.indexOf("\r\n\r\n")) + 4;
}

} // namespace

// Whole exchanges with the service: what each way a server can answer (or not) becomes.
class tst_exchange : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    FakeSmsService* m_service = nullptr;

    Account account() const
    {
        return Account{m_service->host(), m_service->port(), QStringLiteral("user"),
                       QStringLiteral("secret")};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        rt::App::setPath(m_folder.path());
    }
    void init()
    {
        m_service = new FakeSmsService;
        QVERIFY(m_service->start());
    }
    void cleanup()
    {
        delete m_service;
        m_service = nullptr;
    }

    void requestOnTheWire()
    {
        TCPSender sender;
        m_service->script(Answer::code(41));
        const QString fields =
            BuildSendFields(QStringLiteral("Shop"), QStringLiteral("Καλή χρονιά"),
                            QStringLiteral("6900000001"), QVariant(), QVariant(), false, QString());
        const ExchangeResult result =
            PostToServer(sender, QStringLiteral("send.php"), fields, account());
        QCOMPARE(result.ServerResultCode, 41);
        QCOMPARE(result.ReplyText, QString::fromLatin1(reply(41)));
        const QByteArray body = "UID=user&PWD=secret&&O=Shop&R=306900000001"
                                "&M=K\xE1\xEB\xDE%20\xF7\xF1\xEF\xED\xE9\xDC&F=0&VIA=0";
        QCOMPARE(m_service->requests(),
                 QList<QByteArray>{"POST /prog/send.php HTTP/1.0\r\n"
                                   "HOST: 127.0.0.1\r\n"
                                   "Content-Length: " +
                                   QByteArray::number(body.size()) +
                                   "\r\n"
                                   "Content-Type: application/x-www-form-urlencoded\r\n"
                                   "\r\n" +
                                   body});
    }

    void serverAnswers_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("code");
        // A complete reply gets a limit far beyond the time it takes to arrive, so that a
        // loaded machine does not cut it; the rows that fail read on to a short one.
        QTest::addColumn<int>("limitMs");
        const QByteArray r = reply(12);
        QTest::newRow("message id") << Answer::code(12) << 12 << 20000;
        QTest::newRow("server code") << Answer::code(-700) << -700 << 20000;
        QTest::newRow("empty result") << Answer::result(QString()) << -32000 << 400;
        QTest::newRow("no result element")
            << Answer::raw(FakeSmsService::httpReply("OK")) << -32000 << 400;
        QTest::newRow("no closing tag, server closes")
            << Answer::raw(FakeSmsService::httpReply("<result>12")) << -32000 << 400;
        QTest::newRow("no head") << Answer::raw("<result>7</result>") << 7 << 20000;
        // An accepted (and charged) message must not read as a failure because the network
        // cut its reply.
        QTest::newRow("split after the head")
            << Answer::split(r, headLength(r), 300) << 12 << 20000;
        QTest::newRow("split inside the tag")
            << Answer::split(r, int(r.size()) - 10, 200) << 12 << 20000;
        QTest::newRow("one byte at a time") << Answer::drip(r, 1) << 12 << 20000;
        QTest::newRow("never answers") << Answer::never() << -31000 << 400;
        QTest::newRow("head, then silence") << Answer::split(r, headLength(r), -1) << -32000 << 400;
        QTest::newRow("closed without a byte") << Answer::closeAfterRequest() << -31000 << 400;
        QTest::newRow("closed at once") << Answer::closeAtAccept() << -31000 << 400;
        QTest::newRow("reset") << Answer::reset() << -31000 << 400;
        QTest::newRow("oversized") << Answer::oversized(200000) << -32000 << 400;
        QTest::newRow("result beyond character 32,767")
            << Answer::raw(FakeSmsService::httpReply(QByteArray(40000, ' ') + "<result>5</result>"))
            << -32000 << 400;
    }
    void serverAnswers()
    {
        QFETCH(Answer, answer);
        QFETCH(int, code);
        QFETCH(int, limitMs);
        TCPSender sender;
        sender.setReplyLimitMs(limitMs);
        m_service->script(answer);
        QCOMPARE(PostToServer(sender, QStringLiteral("credits.php"), QString(), account())
                     .ServerResultCode,
                 code);
        QCOMPARE(sender.ConnectionState(), 0);
    }

    void refusedConnection()
    {
        TCPSender sender;
        Account closed = account();
        closed.port = FakeSmsService::unusedPort();
        QCOMPARE(
            PostToServer(sender, QStringLiteral("credits.php"), QString(), closed).ServerResultCode,
            -31000);
    }

    void invalidPort()
    {
        TCPSender sender;
        Account bad = account();
        bad.port = 70000;
        QCOMPARE(
            PostToServer(sender, QStringLiteral("credits.php"), QString(), bad).ServerResultCode,
            -31000);
    }

    void cancelDuringTheWait()
    {
        TCPSender sender;
        m_service->script(Answer::never());
        QTimer::singleShot(200, &sender, [&sender] {
            if (sender.Busy())
                sender.CloseConnection();
        });
        const ExchangeResult result =
            PostToServer(sender, QStringLiteral("credits.php"), QString(), account());
        QCOMPARE(result.ServerResultCode, -31000);
        QVERIFY(result.ReplyText.isEmpty());
    }

    void addressImport()
    {
        const QString inner =
            QStringLiteral("<groups>1</groups><group><id>7</id><name>Πελάτες</name>"
                           "<numbers>6900000001,6900000002</numbers><parent>0</parent></group>");
        WebImportReply.clear();
        TCPSender sender;
        m_service->script(Answer::result(inner));
        QVERIFY(PostToServer(sender, QStringLiteral("addressget.php"), QString(), account())
                    .ServerResultCode >= 0);
        QCOMPARE(WebImportReply, inner);
        QVERIFY(m_service->requests().first().startsWith("POST /prog/addressget.php HTTP/1.0\r\n"));
        WebImportReply.clear();
    }

    void oneConnectionPerExchange()
    {
        TCPSender sender;
        m_service->script(Answer::code(1));
        m_service->script(Answer::code(2));
        QCOMPARE(PostToServer(sender, QStringLiteral("credits.php"), QString(), account())
                     .ServerResultCode,
                 1);
        QCOMPARE(PostToServer(sender, QStringLiteral("credits.php"), QString(), account())
                     .ServerResultCode,
                 2);
        QCOMPARE(m_service->connectionCount(), 2);
    }
};

QTEST_MAIN(tst_exchange)
#include "tst_exchange.moc"
